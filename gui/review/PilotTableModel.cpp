#include "gui/review/PilotTableModel.h"
#include "gui/support/CorePath.h"

#include "core/reports/ReviewTexts.h"

#include <QBrush>
#include <QColor>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <numeric>

using vantrel::kPilotTableColumns;
using vantrel::PilotMark;

namespace {

// The background of each mark's row: red, amber, grey.
const QColor kFailsBackground(255, 204, 204);
const QColor kWarningBackground(255, 232, 179);
const QColor kNotLoadedBackground(224, 224, 224);

QString sign(PilotMark mark)
{
    return QString::fromLatin1(vantrel::pilotMarkSign(mark));
}

// The vantrel-cli table column of each column; the mark has none.
constexpr std::array<int, PilotTableModel::kColumnCount> kTableColumns = {
    -1,
    vantrel::kFileColumn,
    vantrel::kNameColumn,
    vantrel::kCheckErrorsColumn,
    vantrel::kTotalWarningColumn,
    vantrel::kLoadErrorColumn,
    vantrel::kOtherCopiesColumn,
    vantrel::kRankColumn,
    vantrel::kRatingColumn,
    vantrel::kKalidorColumn,
    vantrel::kCampaignMissionsColumn,
    vantrel::kTodScoreColumn,
    vantrel::kTodBonusColumn,
    vantrel::kAzzScoreColumn,
    vantrel::kAzzBonusColumn,
    vantrel::kCampaignTotalColumn,
    vantrel::kSimScoreColumn,
    vantrel::kSimBonusColumn,
    vantrel::kSimMissionsColumn,
    vantrel::kFileColumn,
};

}  // namespace

int PilotTableModel::tableColumnOf(int column)
{
    return column >= 0 && column < kColumnCount ? kTableColumns[static_cast<std::size_t>(column)] : -1;
}

int PilotTableModel::columnOfTable(std::size_t tableColumn)
{
    for (int c = 0; c < kColumnCount; ++c)
        if (kTableColumns[static_cast<std::size_t>(c)] == static_cast<int>(tableColumn))
            return c;
    return -1;
}

QString PilotTableModel::widthSample(int column)
{
    switch (column) {
    case kMarkColumn: return QString::fromLatin1(vantrel::kMarkColumnName);
    case kFolderColumn: return QStringLiteral("/home/pilot/squadron/battle");
    default: break;
    }
    const int table = tableColumnOf(column);
    if (table < 0)
        return {};
    return QString::fromUtf8(vantrel::pilotTableColumns()[static_cast<std::size_t>(table)].widthSample);
}

PilotTableModel::PilotTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int PilotTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PilotTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QString PilotTableModel::filePath(int row) const
{
    return vantrel::fromCorePath(pilot(row).entry.cells[vantrel::kFileColumn]);
}

QString PilotTableModel::summary() const
{
    return QString::fromStdString(vantrel::pilotTableSummary(
        static_cast<std::size_t>(rowCount()), static_cast<std::size_t>(count(PilotMark::FailsCheck)),
        static_cast<std::size_t>(count(PilotMark::TotalWarningOnly)),
        static_cast<std::size_t>(count(PilotMark::NotLoaded))));
}

QString PilotTableModel::markDescription(int row) const
{
    return QString::fromStdString(vantrel::pilotMarkDescription(pilot(row).entry));
}

QVariant PilotTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const vantrel::PilotTableEntry& entry = row.pilot.entry;
    const int column = index.column();
    const PilotMark mark = entry.mark();
    switch (role) {
    case Qt::DisplayRole:
        if (column == kMarkColumn)
            return sign(mark);
        if (column == kFileNameColumn)
            return row.fileName;
        if (column == kFolderColumn)
            return row.folder;
        return row.text[static_cast<std::size_t>(tableColumnOf(column))];
    case Qt::ToolTipRole:
        if (column == kFileNameColumn || column == kFolderColumn)
            return row.text[vantrel::kFileColumn];
        [[fallthrough]];
    case Qt::AccessibleDescriptionRole:
        if (column == kMarkColumn || mark != PilotMark::None)
            return markDescription(index.row());
        return {};
    case Qt::AccessibleTextRole:
        if (column == kMarkColumn)
            return markDescription(index.row());
        return data(index, Qt::DisplayRole);
    case Qt::BackgroundRole:
        switch (mark) {
        case PilotMark::FailsCheck: return QBrush(kFailsBackground);
        case PilotMark::TotalWarningOnly: return QBrush(kWarningBackground);
        case PilotMark::NotLoaded: return QBrush(kNotLoadedBackground);
        case PilotMark::None: break;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == kMarkColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        if (const int table = tableColumnOf(column);
            table >= 0 && vantrel::pilotTableNumberColumn(static_cast<std::size_t>(table)))
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default: return {};
    }
}

QVariant PilotTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        switch (section) {
        case kMarkColumn: return QString::fromLatin1(vantrel::kMarkColumnName);
        case kFolderColumn: return QStringLiteral("Folder");
        default:
            return QString::fromUtf8(vantrel::pilotTableHeader()[static_cast<std::size_t>(tableColumnOf(section))]);
        }
    }
    if (role == Qt::ToolTipRole) {
        switch (section) {
        case kMarkColumn: return QString::fromStdString(vantrel::pilotMarkLegend());
        case kCheckErrorsColumn: return QStringLiteral("The errors the error/cheat check finds");
        case kOtherCopiesColumn:
            return QStringLiteral("How many of the copies the error/cheat check leaves alone disagree");
        default: break;
        }
    }
    return {};
}

bool PilotTableModel::sortNumber(const Row& row, int column, std::int64_t& value)
{
    const vantrel::PilotTableEntry& entry = row.pilot.entry;
    if (column == kMarkColumn) {
        // By weight: passed, warning only, failed, not loaded.
        switch (entry.mark()) {
        case PilotMark::None: value = 0; break;
        case PilotMark::TotalWarningOnly: value = 1; break;
        case PilotMark::FailsCheck: value = 2; break;
        case PilotMark::NotLoaded: value = 3; break;
        }
        return true;
    }
    if (!entry.loaded || !row.pilot.record)
        return false;
    switch (column) {
    case kRankColumn: value = row.pilot.record->Rank; return true;
    case kRatingColumn: value = row.pilot.record->Rating; return true;
    case kKalidorColumn: value = row.pilot.record->KalidorCrescent; return true;
    default: break;
    }
    const int table = tableColumnOf(column);
    if (table < 0 || !vantrel::pilotTableNumberColumn(static_cast<std::size_t>(table)))
        return false;
    const std::string& cell = entry.cells[static_cast<std::size_t>(table)];
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return error == std::errc() && end == cell.data() + cell.size();
}

const QString& PilotTableModel::sortText(const Row& row, int column)
{
    if (column == kFileNameColumn)
        return row.fileName;
    if (column == kFolderColumn)
        return row.folder;
    // at(): tableColumnOf() gives -1 for a column past the table's.
    return row.text.at(static_cast<std::size_t>(tableColumnOf(column)));
}

bool PilotTableModel::lessThan(const Row& a, const Row& b, int column) const
{
    if (column < 0)
        return a.serial < b.serial;
    const int table = tableColumnOf(column);
    const bool numeric = column == kMarkColumn || column == kRankColumn || column == kRatingColumn ||
                         column == kKalidorColumn ||
                         (table >= 0 && column != kFileNameColumn && column != kFolderColumn &&
                          vantrel::pilotTableNumberColumn(static_cast<std::size_t>(table)));
    if (numeric) {
        std::int64_t left = 0, right = 0;
        const bool hasLeft = sortNumber(a, column, left);
        const bool hasRight = sortNumber(b, column, right);
        // A row without a number comes before every number, as an empty text does.
        if (hasLeft != hasRight)
            return !hasLeft;
        return hasLeft && left < right;
    }
    const QString& left = sortText(a, column);
    const QString& right = sortText(b, column);
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

void PilotTableModel::sortRows(std::size_t sortedRows)
{
    if (rows_.size() < 2)
        return;
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const bool descending = sortColumn_ >= 0 && sortOrder_ == Qt::DescendingOrder;
    const auto precedes = [&](std::size_t a, std::size_t b) {
        return descending ? lessThan(rows_[b], rows_[a], sortColumn_) : lessThan(rows_[a], rows_[b], sortColumn_);
    };
    // Rows that arrive while sorted: only they are sorted, then merged in
    // (stable, so that ties keep the order of loading).
    const auto middle = order.begin() + static_cast<std::ptrdiff_t>(std::min(sortedRows, order.size()));
    std::stable_sort(middle, order.end(), precedes);
    if (middle != order.begin())
        std::inplace_merge(order.begin(), middle, order.end(), precedes);
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
    indexKeys();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(newRow[static_cast<std::size_t>(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

PilotTableModel::Row PilotTableModel::rowOf(const ReviewedPilot& pilot)
{
    Row row;
    row.pilot = pilot;
    for (std::size_t c = 0; c < kPilotTableColumns; ++c)
        row.text[c] = QString::fromStdString(pilot.entry.cells[c]);
    const QFileInfo file(vantrel::fromCorePath(pilot.entry.cells[vantrel::kFileColumn]));
    row.fileName = file.fileName();
    row.folder = vantrel::shownPath(file.path());
    return row;
}

void PilotTableModel::countRow(const Row& row, int step)
{
    counts_[static_cast<std::size_t>(row.pilot.entry.mark())] += step;
}

void PilotTableModel::indexKeys()
{
    byKey_.clear();
    for (std::size_t k = 0; k < rows_.size(); ++k)
        if (!rows_[k].pilot.fileKey.empty())
            byKey_[rows_[k].pilot.fileKey] = k;
}

void PilotTableModel::append(const ReviewBatch& rows)
{
    if (rows.empty())
        return;
    std::vector<Row> added;
    bool refreshed = false;
    for (const ReviewedPilot& pilot : rows) {
        Row row = rowOf(pilot);
        // The same file again: its row takes what was read now.
        const auto known = pilot.fileKey.empty() ? byKey_.end() : byKey_.find(pilot.fileKey);
        if (known != byKey_.end()) {
            Row& old = rows_[known->second];
            countRow(old, -1);
            row.serial = old.serial;
            old = std::move(row);
            countRow(old, +1);
            const int at = static_cast<int>(known->second);
            emit dataChanged(index(at, 0), index(at, kColumnCount - 1));
            refreshed = true;
            continue;
        }
        // Twice in one batch (a file and a link to it side by side).
        if (!pilot.fileKey.empty()) {
            const auto twin = std::find_if(added.begin(), added.end(),
                                           [&](const Row& other) { return other.pilot.fileKey == pilot.fileKey; });
            if (twin != added.end()) {
                row.serial = twin->serial;
                *twin = std::move(row);
                continue;
            }
        }
        row.serial = nextSerial_++;
        added.push_back(std::move(row));
    }
    const std::size_t addedCount = added.size();
    if (!added.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + static_cast<int>(added.size()) - 1);
        for (Row& row : added) {
            countRow(row, +1);
            if (!row.pilot.fileKey.empty())
                byKey_[row.pilot.fileKey] = rows_.size();
            rows_.push_back(std::move(row));
        }
        endInsertRows();
    }
    if (sortColumn_ >= 0 && (refreshed || !added.empty()))
        sortRows(refreshed ? 0 : rows_.size() - addedCount);
}

void PilotTableModel::removeRowsAt(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [this](int row) { return row < 0 || row >= rowCount(); });
    // Highest first, a run of neighbours at a time.
    for (std::size_t k = 0; k < rows.size();) {
        std::size_t end = k + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] - 1)
            ++end;
        const int last = rows[k], first = rows[end - 1];
        beginRemoveRows({}, first, last);
        for (int r = first; r <= last; ++r)
            countRow(rows_[static_cast<std::size_t>(r)], -1);
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        endRemoveRows();
        k = end;
    }
    indexKeys();
}

void PilotTableModel::replace(int index, const ReviewedPilot& pilot)
{
    Row& old = rows_[static_cast<std::size_t>(index)];
    Row row = rowOf(pilot);
    row.serial = old.serial;
    // The file is the same file: it keeps its key however it was read again.
    if (row.pilot.fileKey.empty())
        row.pilot.fileKey = old.pilot.fileKey;
    countRow(old, -1);
    old = std::move(row);
    countRow(old, +1);
    emit dataChanged(this->index(index, 0), this->index(index, kColumnCount - 1));
    if (sortColumn_ >= 0)
        sortRows(0);
}

void PilotTableModel::clear()
{
    beginResetModel();
    rows_.clear();
    byKey_.clear();
    counts_ = {};
    endResetModel();
}
