#include "core/reports/PilotTable.h"

#include <algorithm>

#include "core/reports/CopyComparison.h"
#include "core/reports/IntegrityCheck.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotReport.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/TextRules.h"

namespace vantrel {

namespace {

// A number column is made wide enough for this.
constexpr std::string_view kNumberWidth = "-000000";

constexpr std::array<PilotTableColumnInfo, kPilotTableColumns> kColumns = {{
    {kFileColumn, "file", "File", CellKind::Text, "Kestrel_Red_07.plt"},
    {kNameColumn, "pilot-name", "Pilot name", CellKind::Text, "WWWWWWWWWWWW"},  // the longest name a file holds
    {kRankColumn, "rank", "Rank", CellKind::Text, "Lieutenant JG"},
    {kRatingColumn, "rating", "Rating", CellKind::Text, "Veteran Gunner"},
    {kKalidorColumn, "kalidor-crescent", "Kalidor Crescent", CellKind::Text, "Kalidor Crescent: Diamond Eyes"},
    {kCampaignMissionsColumn, "campaign-missions", "Campaign missions completed", CellKind::Number, kNumberWidth},
    {kTodScoreColumn, "tod-score", "TOD score", CellKind::Number, kNumberWidth},
    {kTodBonusColumn, "tod-bonus", "TOD bonus", CellKind::Number, kNumberWidth},
    {kAzzScoreColumn, "azzameen-score", "Azzameen score", CellKind::Number, kNumberWidth},
    {kAzzBonusColumn, "azzameen-bonus", "Azzameen bonus", CellKind::Number, kNumberWidth},
    {kCampaignTotalColumn, "campaign-total", "Campaign total", CellKind::Number, kNumberWidth},
    {kSimScoreColumn, "simulator-score", "Simulator score", CellKind::Number, kNumberWidth},
    {kSimBonusColumn, "simulator-bonus", "Simulator bonus", CellKind::Number, kNumberWidth},
    {kSimMissionsColumn, "simulator-missions", "Simulator missions with a score", CellKind::Number, kNumberWidth},
    {kCheckErrorsColumn, "check-errors", "Check errors", CellKind::Number, kNumberWidth},
    {kTotalWarningColumn, "total-warning", "Total warning", CellKind::Text, "yes"},
    {kLoadErrorColumn, "load-error", "Load error", CellKind::Text, "a link to a missing file"},
    {kOtherCopiesColumn, "other-copies", "Other copies differ", CellKind::Number, kNumberWidth},
}};

constexpr bool inRowOrder()
{
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        if (kColumns[c].id != c)
            return false;
    }
    return true;
}
static_assert(inRowOrder(), "each column stands at its place in a row");

constexpr std::array<std::string_view, kPilotTableColumns> kHeader = [] {
    std::array<std::string_view, kPilotTableColumns> header{};
    for (std::size_t c = 0; c < kColumns.size(); ++c)
        header[c] = kColumns[c].header;
    return header;
}();

// A whole number in decimal, as the number columns hold them ("-40" too).
bool isWholeNumber(std::string_view cell)
{
    if (!cell.empty() && cell.front() == '-')
        cell.remove_prefix(1);
    return text::allDigits(cell);
}

// A text cell a spreadsheet would take as a formula (or, after a tab or CR,
// might): it gets a leading apostrophe, which the spreadsheet shows as text.
bool readsAsFormula(std::string_view cell)
{
    return !cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos &&
           !isWholeNumber(cell);
}

// Fields go straight onto the line being built.
void appendCsvField(std::string& line, std::string_view field, bool textCell)
{
    const bool apostrophe = textCell && readsAsFormula(field);
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        if (apostrophe)
            line += '\'';
        line += field;
        return;
    }
    line += '"';
    if (apostrophe)
        line += '\'';
    for (char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

void appendTsvField(std::string& line, std::string_view field)
{
    const std::size_t start = line.size();
    line += field;
    std::replace_if(
        line.begin() + static_cast<std::ptrdiff_t>(start), line.end(),
        [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
}

template <typename Cells>
std::string joinLine(const Cells& cells, TableFormat format)
{
    std::size_t length = 2;
    for (const auto& cell : cells)
        length += std::string_view(cell).size() + 2;
    std::string line;
    line.reserve(length);
    const char separator = format == TableFormat::Csv ? ',' : '\t';
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (column > 0)
            line += separator;
        if (format == TableFormat::Csv)
            appendCsvField(line, cells[column], !pilotTableNumberColumn(column));
        else
            appendTsvField(line, cells[column]);
    }
    line += format == TableFormat::Csv ? "\r\n" : "\n";
    return line;
}

}  // namespace

std::span<const PilotTableColumnInfo> pilotTableColumns()
{
    return kColumns;
}

std::span<const std::string_view> pilotTableHeader()
{
    return kHeader;
}

bool pilotTableNumberColumn(std::size_t column)
{
    return column < kColumns.size() && kColumns[column].kind == CellKind::Number;
}

std::optional<std::size_t> pilotTableNumberColumnNamed(std::string_view name)
{
    for (std::size_t column = 0; column < kHeader.size(); ++column) {
        if (pilotTableNumberColumn(column) && text::equalsIgnoringCase(kHeader[column], name))
            return column;
    }
    return std::nullopt;
}

namespace {

PilotTableRow rowWithFindings(const std::string& file, const PilotRecord& record, const IntegrityFindings& check,
                              const std::vector<std::string>& otherCopies)
{
    const auto simScored = std::count_if(record.SimMissions.begin(), record.SimMissions.end(),
                                         [](const MissionEntry& m) { return m.MissionScore != 0; });

    PilotTableRow row;
    row[kFileColumn] = file;
    row[kNameColumn] = fieldText(record.PilotName);
    row[kRankColumn] = vocabulary::nameOrNumber(vocabulary::rankNames(), record.Rank);
    row[kRatingColumn] = vocabulary::nameOrNumber(vocabulary::ratingNames(), record.Rating);
    row[kKalidorColumn] = vocabulary::nameOrNumber(vocabulary::kalidorStates(), record.KalidorCrescent);
    row[kCampaignMissionsColumn] = std::to_string(record.CampaignMissionCount);
    row[kTodScoreColumn] = std::to_string(record.TODScoreA);
    row[kTodBonusColumn] = std::to_string(record.TODBonus);
    row[kAzzScoreColumn] = std::to_string(record.AzzScoreB);
    row[kAzzBonusColumn] = std::to_string(record.AzzBonus);
    row[kCampaignTotalColumn] = std::to_string(CampaignScoreSum(record));
    row[kSimScoreColumn] = std::to_string(record.SimScoreA);
    row[kSimBonusColumn] = std::to_string(record.SimBonus);
    row[kSimMissionsColumn] = std::to_string(simScored);
    row[kCheckErrorsColumn] = std::to_string(check.errors());
    row[kTotalWarningColumn] = check.totalWarning ? "yes" : "no";
    row[kOtherCopiesColumn] = std::to_string(otherCopies.size());
    return row;
}

}  // namespace

PilotTableRow pilotTableRow(const std::string& file, const PilotRecord& record)
{
    return rowWithFindings(file, record, CheckIntegrity(record), CompareOtherCopies(record));
}

PilotTableEntry pilotTableEntry(const std::string& path, FileAccess& files)
{
    PilotRecord record;
    return pilotTableEntry(path, record, files);
}

PilotTableEntry pilotTableEntry(const std::string& path, PilotRecord& record, FileAccess& files, LoadResult* load)
{
    const LoadResult loaded = ReadMission(record, path, files);
    if (load)
        *load = loaded;
    return pilotTableEntry(path, record, loaded);
}

PilotTableEntry pilotTableEntry(const std::string& path, const PilotRecord& record, const LoadResult& loaded)
{
    PilotTableEntry entry;
    if (!loaded.ok()) {
        entry.cells[kFileColumn] = path;
        for (const std::string& message : loaded.failureTexts()) {
            if (!entry.cells[kLoadErrorColumn].empty())
                entry.cells[kLoadErrorColumn] += ' ';
            entry.cells[kLoadErrorColumn] += message;
        }
        return entry;
    }
    entry.check = CheckIntegrity(record);
    entry.otherCopies = CompareOtherCopies(record);
    entry.cells = rowWithFindings(path, record, entry.check, entry.otherCopies);
    entry.loaded = true;
    return entry;
}

std::string tableStart(TableFormat format, bool byteOrderMark)
{
    std::string text = byteOrderMark && format == TableFormat::Csv ? std::string(kUtf8ByteOrderMark) : std::string();
    return text += joinLine(kHeader, format);
}

std::string tableLine(const PilotTableRow& cells, TableFormat format)
{
    return joinLine(cells, format);
}

}  // namespace vantrel

namespace vantrel {

PilotMark PilotTableEntry::mark() const
{
    if (!loaded)
        return PilotMark::NotLoaded;
    if (check.errors() > 0 || !otherCopies.empty())
        return PilotMark::FailsCheck;
    if (check.totalWarning)
        return PilotMark::TotalWarningOnly;
    return PilotMark::None;
}

std::string_view pilotMarkSign(PilotMark mark)
{
    switch (mark) {
    case PilotMark::FailsCheck: return "!";
    case PilotMark::TotalWarningOnly: return "?";
    case PilotMark::NotLoaded: return "X";
    case PilotMark::None: break;
    }
    return {};
}

}  // namespace vantrel
