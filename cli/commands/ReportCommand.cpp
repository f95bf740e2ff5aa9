// vantrel-cli report: the pilot report as the pilot view shows it after a load.
#include "cli/CommandList.h"
#include "cli/CommandSupport.h"

namespace vantrel::cli {

namespace {

int runReport(const ParsedArguments& args, const Streams& io)
{
    requireOneFile(args);
    auto settings = openSettings(args, io);
    LoadedPilot pilot;
    pilot.range.from.set(args.numberOption("--from").value_or(0));
    LineWriter out(io.out);
    return loadPilot(pilot, args.files.front(), *settings, io, out) ? 0 : 1;
}

}  // namespace

const Command& reportCommand()
{
    static const Command command{
        "report",    {{"--ini", "PATH"}, {"--from", "N"}},
        "PILOT.plt", {"the pilot report, as the pilot view shows it after loading the file"},
        runReport,
    };
    return command;
}

}  // namespace vantrel::cli
