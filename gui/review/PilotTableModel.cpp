#include "gui/review/PilotTableModel.h"

#include <QBrush>
#include <QColor>
#include <QFile>

#include <algorithm>
#include <charconv>
#include <numeric>

using vantrel::kPilotTableColumns;

namespace {

const QColor kMarkedBackground(255, 214, 204);
const QColor kFailedBackground(224, 224, 224);

const QString kMarked = QString::fromLatin1(PilotTableModel::kMarkedSign);
const QString kFailed = QString::fromLatin1(PilotTableModel::kFailedSign);

}  // namespace

PilotTableModel::PilotTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int PilotTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PilotTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : tableColumn(kPilotTableColumns);
}

QString PilotTableModel::filePath(int row) const
{
    return QFile::decodeName(QByteArray::fromStdString(pilot(row).entry.cells[vantrel::kFileColumn]));
}

QString PilotTableModel::markDescription(int row) const
{
    const vantrel::PilotTableEntry& entry = pilot(row).entry;
    if (!entry.loaded)
        return QStringLiteral("Not loaded: ") + rows_[static_cast<std::size_t>(row)].text[vantrel::kLoadErrorColumn];
    if (!entry.flagged())
        return QStringLiteral("Check passed");
    QStringList findings;
    if (const int errors = entry.check.errors())
        findings << QStringLiteral("%1 integrity error(s)").arg(errors);
    if (entry.check.totalWarning)
        findings << QStringLiteral("score total warning");
    if (!entry.otherCopies.empty())
        findings << QStringLiteral("%1 other copy(ies) differ").arg(entry.otherCopies.size());
    QString described = QStringLiteral("Marked: ") + findings.join(QStringLiteral(", "));
    for (const std::string& copy : entry.otherCopies)
        described += QLatin1Char('\n') + QString::fromStdString(copy);
    return described;
}

QVariant PilotTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const vantrel::PilotTableEntry& entry = row.pilot.entry;
    const bool mark = index.column() == kMarkColumn;
    switch (role) {
    case Qt::DisplayRole:
        if (mark)
            return !entry.loaded ? kFailed : entry.flagged() ? kMarked : QString();
        return row.text[static_cast<std::size_t>(index.column() - 1)];
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        if (mark || !entry.loaded || entry.flagged())
            return markDescription(index.row());
        return {};
    case Qt::AccessibleTextRole:
        if (mark)
            return markDescription(index.row());
        return row.text[static_cast<std::size_t>(index.column() - 1)];
    case Qt::BackgroundRole:
        if (!entry.loaded)
            return QBrush(kFailedBackground);
        if (entry.flagged())
            return QBrush(kMarkedBackground);
        return {};
    case Qt::TextAlignmentRole:
        if (mark)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        if (vantrel::pilotTableNumberColumn(static_cast<std::size_t>(index.column() - 1)))
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default:
        return {};
    }
}

QVariant PilotTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (section == kMarkColumn)
            return QStringLiteral("Mark");
        return QString::fromUtf8(vantrel::pilotTableHeader()[static_cast<std::size_t>(section - 1)]);
    }
    if (role == Qt::ToolTipRole && section == kMarkColumn)
        return QStringLiteral("%1: the error/cheat check finds errors or the score total warning applies; "
                              "%2: the file did not load")
            .arg(kMarked, kFailed);
    return {};
}

bool PilotTableModel::sortNumber(const Row& row, int column, std::int64_t& value)
{
    const vantrel::PilotTableEntry& entry = row.pilot.entry;
    if (column == kMarkColumn) {
        value = !entry.loaded ? 2 : entry.flagged() ? 1 : 0;
        return true;
    }
    if (!entry.loaded || !row.pilot.record)
        return false;
    const auto tableIndex = static_cast<std::size_t>(column - 1);
    switch (tableIndex) {
    case vantrel::kRankColumn: value = row.pilot.record->Rank; return true;
    case vantrel::kRatingColumn: value = row.pilot.record->Rating; return true;
    case vantrel::kKalidorColumn: value = row.pilot.record->KalidorCrescent; return true;
    default: break;
    }
    if (!vantrel::pilotTableNumberColumn(tableIndex))
        return false;
    const std::string& cell = entry.cells[tableIndex];
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return error == std::errc() && end == cell.data() + cell.size();
}

bool PilotTableModel::lessThan(const Row& a, const Row& b, int column) const
{
    if (column < 0)
        return a.serial < b.serial;
    const bool numeric = column == kMarkColumn || vantrel::pilotTableNumberColumn(static_cast<std::size_t>(column - 1)) ||
                         column == tableColumn(vantrel::kRankColumn) || column == tableColumn(vantrel::kRatingColumn) ||
                         column == tableColumn(vantrel::kKalidorColumn);
    if (numeric) {
        std::int64_t left = 0, right = 0;
        const bool hasLeft = sortNumber(a, column, left);
        const bool hasRight = sortNumber(b, column, right);
        // A row without a number comes before every number, as an empty text does.
        if (hasLeft != hasRight)
            return !hasLeft;
        return hasLeft && left < right;
    }
    const QString& left = a.text[static_cast<std::size_t>(column - 1)];
    const QString& right = b.text[static_cast<std::size_t>(column - 1)];
    if (const int folded = left.compare(right, Qt::CaseInsensitive))
        return folded < 0;
    return left.compare(right, Qt::CaseSensitive) < 0;
}

void PilotTableModel::sort(int column, Qt::SortOrder order)
{
    sortColumn_ = column >= 0 && column < columnCount() ? column : -1;
    sortOrder_ = order;
    sortRows();
}

void PilotTableModel::sortRows()
{
    if (rows_.size() < 2)
        return;
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const bool descending = sortColumn_ >= 0 && sortOrder_ == Qt::DescendingOrder;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? lessThan(rows_[b], rows_[a], sortColumn_) : lessThan(rows_[a], rows_[b], sortColumn_);
    });
    if (std::is_sorted(order.begin(), order.end()))
        return;

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRow(order.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        newRow[order[k]] = static_cast<int>(k);
        sorted.push_back(std::move(rows_[order[k]]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(newRow[static_cast<std::size_t>(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void PilotTableModel::append(const ReviewBatch& rows)
{
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (const ReviewedPilot& pilot : rows) {
        Row row;
        row.pilot = pilot;
        for (std::size_t c = 0; c < kPilotTableColumns; ++c)
            row.text[c] = QString::fromStdString(pilot.entry.cells[c]);
        row.serial = nextSerial_++;
        if (!pilot.entry.loaded)
            ++failed_;
        else if (pilot.entry.flagged())
            ++marked_;
        rows_.push_back(std::move(row));
    }
    endInsertRows();
    if (sortColumn_ >= 0)
        sortRows();
}

void PilotTableModel::replace(int index, const ReviewedPilot& pilot)
{
    Row& row = rows_[static_cast<std::size_t>(index)];
    const auto count = [this](const ReviewedPilot& counted, int step) {
        if (!counted.entry.loaded)
            failed_ += step;
        else if (counted.entry.flagged())
            marked_ += step;
    };
    count(row.pilot, -1);
    row.pilot = pilot;
    for (std::size_t c = 0; c < kPilotTableColumns; ++c)
        row.text[c] = QString::fromStdString(pilot.entry.cells[c]);
    count(row.pilot, +1);
    emit dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
    if (sortColumn_ >= 0)
        sortRows();
}

void PilotTableModel::clear()
{
    beginResetModel();
    rows_.clear();
    marked_ = 0;
    failed_ = 0;
    endResetModel();
}

std::string PilotTableModel::tableText(vantrel::TableFormat format) const
{
    std::string text = vantrel::tableLine(vantrel::pilotTableHeader(), format);
    for (const Row& row : rows_)
        text += vantrel::tableLine(row.pilot.entry.cells, format);
    return text;
}
