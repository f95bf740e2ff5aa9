// vantrel-cli chart: a pilot's missions, kills or history, or a squadron's
// standing, as an SVG document on stdout.
#include <string>
#include <vector>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/charts/HistoryChart.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotLoader.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotHistory.h"
#include "core/reports/PilotTable.h"

namespace vantrel::cli {

namespace {

void write(const Streams& io, const std::string& svg)
{
    writeText(io.out, svg);
}

// The number columns of the table, for the usage error of --column.
std::string numberColumns()
{
    std::string names;
    for (const PilotTableColumnInfo& column : pilotTableColumns()) {
        if (column.kind != CellKind::Number)
            continue;
        names += names.empty() ? "" : ", ";
        names += column.header;
    }
    return names;
}

int squadron(const ParsedArguments& args, const Streams& io)
{
    const std::string columnName =
        args.option("--column").value_or(std::string(pilotTableColumns()[charts::kSquadronDefaultColumn].header));
    const auto column = pilotTableNumberColumnNamed(columnName);
    if (!column)
        throw UsageError("--column must name a number column of the table: " + numberColumns());
    std::vector<PilotTableEntry> entries;
    int status = 0;
    for (const std::string& path : pilotFilesIn(args.files, io, status)) {
        entries.push_back(pilotTableEntry(path));
        if (!entries.back().loaded)
            status = 1;
    }
    write(io, charts::renderSvg(charts::squadronChart(entries, *column)));
    return status;
}

int history(const std::string& path, const Streams& io)
{
    const std::vector<PilotVersion> versions = pilotHistory(path, paths::backupDirectory());
    if (versions.empty()) {
        printError(io, "vantrel-cli: " + path + " does not exist and has no backups");
        return 1;
    }
    write(io, charts::renderSvg(charts::historyChart(charts::historyPilotLabel(versions, path), versions)));
    return 0;
}

int runChart(const ParsedArguments& args, const Streams& io)
{
    const std::string kind = args.option("--kind").value_or("");
    if (kind != "missions" && kind != "kills" && kind != "squadron" && kind != "history")
        throw UsageError("--kind must be missions, kills, squadron or history");
    if (kind != "squadron" && args.option("--column"))
        throw UsageError("--column goes with --kind squadron");
    if (kind == "squadron") {
        if (args.files.empty())
            throw UsageError("expected at least one pilot file or folder");
        return squadron(args, io);
    }
    if (args.files.size() != 1)
        throw UsageError("expected exactly one pilot file");
    const std::string& path = args.files.front();
    if (kind == "history")
        return history(path, io);

    PilotRecord record;
    const LoadResult loaded = ReadMission(record, path);
    if (!loaded.ok()) {
        printLoadFailure(io, path, loaded);
        return 1;
    }
    write(io, charts::renderSvg(kind == "missions" ? charts::missionsChart(record) : charts::killsChart(record)));
    return 0;
}

}  // namespace

const Command& chartCommand()
{
    static const Command command{
        "chart",
        {{"--kind", "missions|kills|squadron|history", true}, {"--column", "NAME"}},
        "PATH...",
        {"a chart as an SVG document: a pilot's campaign missions, kills",
         "by craft type or history (its backups and the file now), or a",
         "squadron's table column NAME (default Campaign total) per pilot"},
        runChart,
    };
    return command;
}

}  // namespace vantrel::cli
