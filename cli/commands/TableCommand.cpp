// vantrel-cli table: one row per pilot file, folders searched for pilot files.
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/app/SquadronTable.h"

namespace vantrel::cli {

namespace {

int runTable(const ParsedArguments& args, const Streams& io)
{
    if (args.files.empty())
        throw UsageError("expected at least one pilot file or folder");
    const std::optional<TableFormat> format = app::tableFormatNamed(args.option("--format").value_or("tsv"));
    if (!format)
        throw UsageError("--format must be tsv or csv");
    const bool byteOrderMark = args.switches.count("--bom") > 0;
    if (byteOrderMark && format != TableFormat::Csv)
        throw UsageError("--bom goes with --format csv");
    // The settings file is looked at once (an unreadable --ini stops the
    // run); no setting changes a row, so no file looks at it again.
    openSettings(args, io);

    int status = 0;
    const std::vector<std::string> files = pilotFilesIn(args.files, io, status);
    const auto print = [&](const std::string& text) { writeText(io.out, text); };
    if (!app::writeSquadronTable(files, *format, byteOrderMark, print))
        status = 1;
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
         "for *.plt files, in name order; tsv is the default; --bom starts", "the CSV with a byte-order mark"},
        runTable,
    };
    return command;
}

}  // namespace vantrel::cli
