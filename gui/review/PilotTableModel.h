// The review window's table: one row per pilot file with the columns of
// vantrel-cli table, after a column that marks the rows to look at.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/reports/PilotTable.h"
#include "gui/review/PilotTableLoader.h"

class PilotTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Column 0 is the mark; column n + 1 is column n of the table.
    static constexpr int kMarkColumn = 0;
    static constexpr int tableColumn(std::size_t column) { return static_cast<int>(column) + 1; }
    // What the mark column shows for a row to look at, and for a file that did not load.
    static constexpr const char* kMarkedSign = "!";
    static constexpr const char* kFailedSign = "X";

    explicit PilotTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Numbers as numbers, ranks, ratings and Kalidor Crescent states in the
    // game's order, text without regard to letter case; ties keep the order
    // of loading. Column -1 is the order of loading.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // New rows go where the current sort puts them.
    void append(const ReviewBatch& rows);
    void clear();
    // Row `row` read again; it moves where the current sort puts it.
    void replace(int row, const ReviewedPilot& pilot);

    const ReviewedPilot& pilot(int row) const { return rows_[static_cast<std::size_t>(row)].pilot; }
    // The path the row was loaded from, as the file system names it.
    QString filePath(int row) const;
    int markedCount() const { return marked_; }
    int failedCount() const { return failed_; }

    // The header line and every row in the order shown, as vantrel-cli table
    // writes them.
    std::string tableText(vantrel::TableFormat format) const;

    // What the mark column says of a row, in words.
    QString markDescription(int row) const;

private:
    struct Row {
        ReviewedPilot pilot;
        std::array<QString, vantrel::kPilotTableColumns> text;
        std::uint64_t serial = 0;  // place in the order of loading
    };
    // The value a column sorts a row by when it is a number; false when the
    // row has none there (a file that did not load).
    static bool sortNumber(const Row& row, int column, std::int64_t& value);
    bool lessThan(const Row& a, const Row& b, int column) const;
    void sortRows();

    std::vector<Row> rows_;
    std::uint64_t nextSerial_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    int marked_ = 0;
    int failed_ = 0;
};
