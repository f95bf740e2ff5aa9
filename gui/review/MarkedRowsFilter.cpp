#include "gui/review/MarkedRowsFilter.h"

#include "gui/review/PilotTableModel.h"

MarkedRowsFilter::MarkedRowsFilter(PilotTableModel& table, QObject* parent)
      : QSortFilterProxyModel(parent), table_(table)
{
    setSourceModel(&table);
}

void MarkedRowsFilter::setMarkedOnly(bool markedOnly)
{
    if (markedOnly == markedOnly_)
        return;
    markedOnly_ = markedOnly;
    invalidateFilter();
}

void MarkedRowsFilter::sort(int column, Qt::SortOrder order)
{
    table_.sort(column, order);
}

int MarkedRowsFilter::tableRow(int shownRow) const
{
    return mapToSource(index(shownRow, 0)).row();
}

bool MarkedRowsFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (!markedOnly_ || sourceParent.isValid())
        return true;
    return table_.mark(sourceRow) != vantrel::PilotMark::None;
}
