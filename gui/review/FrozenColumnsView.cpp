#include "gui/review/FrozenColumnsView.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

FrozenColumnsView::FrozenColumnsView(int frozenColumns, QWidget* parent)
      : QTableView(parent), frozenColumns_(frozenColumns), frozen_(new QTableView(this))
{
    frozen_->setObjectName(QStringLiteral("FrozenColumns"));
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->verticalHeader()->hide();
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(ScrollPerPixel);
    frozen_->setFrameShape(QFrame::NoFrame);
    viewport()->stackUnder(frozen_);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &FrozenColumnsView::sectionResized);
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column < frozenColumns_ && columnWidth(column) != size)
            setColumnWidth(column, size);
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) { frozen_->setRowHeight(row, size); });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    // A click on a frozen column's header sorts as one on the main header does.
    connect(frozen_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        QHeaderView* header = horizontalHeader();
        if (!isSortingEnabled())
            return;
        const Qt::SortOrder order =
            header->sortIndicatorSection() == column && header->sortIndicatorOrder() == Qt::AscendingOrder
                ? Qt::DescendingOrder
                : Qt::AscendingOrder;
        header->setSortIndicator(column, order);
    });
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        frozen_->horizontalHeader()->setSortIndicatorShown(true);
        frozen_->horizontalHeader()->setSortIndicator(column, order);
    });
    connect(frozen_, &QTableView::doubleClicked, this, &QTableView::doubleClicked);
}

void FrozenColumnsView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    if (model)
        for (int column = 0; column < model->columnCount(); ++column)
            frozen_->setColumnHidden(column, column >= frozenColumns_);
    placeFrozen();
}

void FrozenColumnsView::setSelectionModel(QItemSelectionModel* selection)
{
    QTableView::setSelectionModel(selection);
    // setModel() hands it on once the frozen view has the model too.
    if (selection && frozen_->model() == selection->model())
        frozen_->setSelectionModel(selection);
}

int FrozenColumnsView::frozenWidth() const
{
    int width = 0;
    for (int column = 0; column < frozenColumns_; ++column)
        width += columnWidth(column);
    return width;
}

void FrozenColumnsView::sectionResized(int column, int, int size)
{
    if (column >= frozenColumns_)
        return;
    if (frozen_->columnWidth(column) != size)
        frozen_->setColumnWidth(column, size);
    placeFrozen();
}

void FrozenColumnsView::placeFrozen()
{
    frozen_->setSelectionBehavior(selectionBehavior());
    frozen_->setSelectionMode(selectionMode());
    frozen_->setEditTriggers(editTriggers());
    frozen_->setWordWrap(wordWrap());
    frozen_->setTextElideMode(textElideMode());
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    for (int column = 0; column < frozenColumns_; ++column)
        if (frozen_->columnWidth(column) != columnWidth(column))
            frozen_->setColumnWidth(column, columnWidth(column));
    frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(),
                         std::min(frozenWidth(), viewport()->width()),
                         viewport()->height() + horizontalHeader()->height());
    frozen_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void FrozenColumnsView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeFrozen();
}

void FrozenColumnsView::updateGeometries()
{
    QTableView::updateGeometries();
    if (frozen_)
        placeFrozen();
}

QModelIndex FrozenColumnsView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(action, modifiers);
    if (action == MoveLeft && current.column() >= frozenColumns_ && visualRect(current).left() < frozenWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(current).left() - frozenWidth());
    return current;
}

void FrozenColumnsView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (index.column() < frozenColumns_) {
        // Only the rows need to come into view; the columns are always there.
        const int across = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(across);
        return;
    }
    QTableView::scrollTo(index, hint);
}
