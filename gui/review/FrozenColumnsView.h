// A table view whose first columns stay in place while the others scroll
// sideways: a second view over the same model and selection shows those
// columns on top of the first ones, as wide as they are.
#pragma once

#include <QTableView>

class FrozenColumnsView : public QTableView {
    Q_OBJECT
public:
    FrozenColumnsView(int frozenColumns, QWidget* parent = nullptr);

    // Call once the model is set, and again when it is replaced.
    void setModel(QAbstractItemModel* model) override;
    void setSelectionModel(QItemSelectionModel* selection) override;
    QTableView& frozenView() { return *frozen_; }

    // Keeps a row of the scrolling columns in view without hiding it under
    // the frozen ones.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;

private:
    void sectionResized(int column, int oldSize, int newSize);
    void placeFrozen();
    int frozenWidth() const;

    int frozenColumns_;
    QTableView* frozen_;
};
