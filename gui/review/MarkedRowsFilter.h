// What the review window's views show of the table: every row, or only the
// marked ones ("Show only marked"). Sorting is the table's own, so that the
// rows keep the order the table gives them.
#pragma once

#include <QSortFilterProxyModel>

class PilotTableModel;

class MarkedRowsFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit MarkedRowsFilter(PilotTableModel& table, QObject* parent = nullptr);

    void setMarkedOnly(bool markedOnly);
    bool markedOnly() const { return markedOnly_; }

    // Sorts the table itself; the rows shown follow its order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The table's row of a row shown.
    int tableRow(int shownRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    PilotTableModel& table_;
    bool markedOnly_ = false;
};
