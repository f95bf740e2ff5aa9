// vantrel-cli table: one row per pilot file, folders searched for pilot files.
#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/reports/PilotTable.h"

namespace vantrel::cli {

namespace {

int runTable(const ParsedArguments& args, const Streams& io)
{
    if (args.files.empty())
        throw UsageError("expected at least one pilot file or folder");
    const std::string formatName = args.option("--format").value_or("tsv");
    if (formatName != "tsv" && formatName != "csv")
        throw UsageError("--format must be tsv or csv");
    const TableFormat format = formatName == "csv" ? TableFormat::Csv : TableFormat::Tsv;
    const bool byteOrderMark = args.switches.count("--bom") > 0;
    if (byteOrderMark && format != TableFormat::Csv)
        throw UsageError("--bom goes with --format csv");
    // The settings file is looked at once (an unreadable --ini stops the
    // run); no setting changes a row, so no file looks at it again.
    openSettings(args, io);

    const auto print = [&](const std::string& line) { writeText(io.out, line); };
    print(tableStart(format, byteOrderMark));
    int status = 0;
    for (const std::string& path : pilotFilesIn(args.files, io, status)) {
        const PilotTableEntry entry = pilotTableEntry(path);
        if (!entry.loaded)
            status = 1;
        print(tableLine(entry.cells, format));
    }
    return status;
}

}  // namespace

const Command& tableCommand()
{
    static const Command command{
        "table",
        {{"--ini", "PATH"}, {"--format", "tsv|csv"}, {"--bom", ""}},
        "PATH...",
        {"one row per pilot file after a header row: name, rank, rating,",
         "Kalidor Crescent, missions, scores, bonuses, totals, check errors,",
         "total warning, load error, and how many other copies differ",
         "(A/B kill and assist lists, stored kill totals, simulator score",
         "copies); a PATH that is a folder is searched with its subfolders",
         "for *.plt files, in name order; tsv is the default; --bom starts",
         "the CSV with a byte-order mark"},
        runTable,
    };
    return command;
}

}  // namespace vantrel::cli
