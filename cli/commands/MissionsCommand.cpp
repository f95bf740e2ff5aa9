// vantrel-cli missions: the campaign mission listing over From..To.
#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/reports/MissionListings.h"

namespace vantrel::cli {

namespace {

int runMissions(const ParsedArguments& args, const Streams& io)
{
    requireOneFile(args);
    auto settings = openSettings(args, io);
    const auto from = args.numberOption("--from");
    const auto to = args.numberOption("--to");
    LoadedPilot pilot;
    if (!loadPilot(pilot, args.files.front(), *settings, io))
        return 1;
    pilot.range.from.set(from.value_or(0));
    if (to)
        pilot.range.to.set(*to);
    LineWriter out(io.out);
    settings->revalidate();
    RipScore(out, *settings, pilot.record, pilot.range);
    return 0;
}

}  // namespace

const Command& missionsCommand()
{
    static const Command command{
        "missions",  {{"--ini", "PATH"}, {"--from", "N"}, {"--to", "N"}},
        "PILOT.plt", {"the campaign mission listing over From..To"},
        runMissions,
    };
    return command;
}

}  // namespace vantrel::cli
