// vantrel-cli diff: the fields that differ between two saves of a pilot.
#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotDiff.h"

namespace vantrel::cli {

namespace {

// 0 when the files agree, 1 when they differ, 2 when one cannot be loaded.
int runDiff(const ParsedArguments& args, const Streams& io)
{
    if (args.files.size() != 2)
        throw UsageError("expected two pilot files, the older first");
    PilotRecord records[2];
    bool loaded = true;
    for (std::size_t k = 0; k < 2; ++k) {
        const LoadResult result = ReadMission(records[k], args.files[k]);
        for (const auto& message : result.messages)
            printError(io, args.files[k] + ": " + message);
        loaded = loaded && result.ok();
    }
    if (!loaded)
        return 2;
    const std::vector<std::string> lines = diffPilots(records[0], records[1]);
    LineWriter out(io.out);
    for (const std::string& line : lines)
        out.addLine(line);
    return lines.empty() ? 0 : 1;
}

}  // namespace

const Command& diffCommand()
{
    static const Command command{
        "diff",
        {},
        "OLD.plt NEW.plt",
        {"one line for each field that differs between two pilot files",
         "(\"field: old -> new\"), then the change of the totals"},
        runDiff,
    };
    return command;
}

}  // namespace vantrel::cli
