#include "core/reports/PilotTable.h"

#include <algorithm>

#include "core/reports/IntegrityCheck.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotReport.h"
#include "core/pilot/Vocabulary.h"

namespace vantrel {

namespace {

const std::array<std::string_view, kPilotTableColumns> kHeader = {
    "File",
    "Pilot name",
    "Rank",
    "Rating",
    "Kalidor Crescent",
    "Campaign missions completed",
    "TOD score",
    "TOD bonus",
    "Azzameen score",
    "Azzameen bonus",
    "Campaign total",
    "Simulator score",
    "Simulator bonus",
    "Simulator missions with a score",
    "Integrity errors",
    "Total warning",
    "Load error",
};

enum Column : std::size_t {
    kFile,
    kName,
    kRank,
    kRating,
    kKalidor,
    kCampaignMissions,
    kTodScore,
    kTodBonus,
    kAzzScore,
    kAzzBonus,
    kCampaignTotal,
    kSimScore,
    kSimBonus,
    kSimMissions,
    kIntegrityErrors,
    kTotalWarning,
    kLoadError,
};


// Fields go straight onto the line being built.
void appendCsvField(std::string& line, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        line += field;
        return;
    }
    line += '"';
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
    std::replace_if(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(),
                    [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
}

template <typename Cells>
std::string joinLine(const Cells& cells, TableFormat format)
{
    std::size_t length = 2;
    for (const auto& cell : cells)
        length += std::string_view(cell).size() + 1;
    std::string line;
    line.reserve(length);
    const char separator = format == TableFormat::Csv ? ',' : '\t';
    bool first = true;
    for (const auto& cell : cells) {
        if (!first)
            line += separator;
        first = false;
        if (format == TableFormat::Csv)
            appendCsvField(line, cell);
        else
            appendTsvField(line, cell);
    }
    line += format == TableFormat::Csv ? "\r\n" : "\n";
    return line;
}

}  // namespace

std::span<const std::string_view> pilotTableHeader()
{
    return kHeader;
}

PilotTableRow pilotTableRow(const std::string& file, const PilotRecord& record)
{
    const IntegrityFindings check = CheckIntegrity(record);
    const auto simScored = std::count_if(record.SimMissions.begin(), record.SimMissions.end(),
                                         [](const MissionEntry& m) { return m.MissionScore != 0; });

    PilotTableRow row;
    row[kFile] = file;
    row[kName] = fieldText(record.PilotName);
    row[kRank] = vocabulary::nameOrNumber(vocabulary::rankNames(), record.Rank);
    row[kRating] = vocabulary::nameOrNumber(vocabulary::ratingNames(), record.Rating);
    row[kKalidor] = vocabulary::nameOrNumber(vocabulary::kalidorStates(), record.KalidorCrescent);
    row[kCampaignMissions] = std::to_string(record.CampaignMissionCount);
    row[kTodScore] = std::to_string(record.TODScoreA);
    row[kTodBonus] = std::to_string(record.TODBonus);
    row[kAzzScore] = std::to_string(record.AzzScoreB);
    row[kAzzBonus] = std::to_string(record.AzzBonus);
    row[kCampaignTotal] = std::to_string(CampaignScoreSum(record));
    row[kSimScore] = std::to_string(record.SimScoreA);
    row[kSimBonus] = std::to_string(record.SimBonus);
    row[kSimMissions] = std::to_string(simScored);
    row[kIntegrityErrors] = std::to_string(check.errors());
    row[kTotalWarning] = check.totalWarning ? "yes" : "no";
    return row;
}

PilotTableEntry pilotTableEntry(const std::string& path, FileAccess& files)
{
    PilotTableEntry entry;
    PilotRecord record;
    const LoadResult loaded = ReadMission(record, path, files);
    if (!loaded.ok()) {
        entry.cells[kFile] = path;
        for (const std::string& message : loaded.messages) {
            if (!entry.cells[kLoadError].empty())
                entry.cells[kLoadError] += ' ';
            entry.cells[kLoadError] += message;
        }
        return entry;
    }
    entry.cells = pilotTableRow(path, record);
    entry.loaded = true;
    return entry;
}

std::string tableLine(std::span<const std::string> cells, TableFormat format)
{
    return joinLine(cells, format);
}

std::string tableLine(std::span<const std::string_view> cells, TableFormat format)
{
    return joinLine(cells, format);
}

}  // namespace vantrel
