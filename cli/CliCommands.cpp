#include "cli/CliCommands.h"

#include <set>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "cli/Suggestion.h"
#include "cli/Usage.h"
#include "core/Version.h"
#include "core/platform/Process.h"

namespace vantrel::cli {

namespace {

const Command* findCommand(const std::string& name)
{
    for (const Command* command : commandList()) {
        if (command->name == name)
            return command;
    }
    return nullptr;
}

ParsedArguments parseFor(const Command& command, const std::vector<std::string>& rest)
{
    std::set<std::string> valued;
    std::set<std::string> flags = {"--help"};
    for (const Option& option : command.options)
        (option.value.empty() ? flags : valued).insert(std::string(option.name));
    return parseArguments(rest, valued, flags);
}

}  // namespace

int run(const std::vector<std::string>& args, const Streams& io)
{
    try {
        if (args.empty())
            throw UsageError("no command given");
        // "/?" as Windows tools take it.
        if (args.front() == "--help" || args.front() == "-h" || args.front() == "help" || args.front() == "/?") {
            writeText(io.out, helpText(commandList()));
            return 0;
        }
        if (args.front() == "--version") {
            writeLine(io.out, std::string("vantrel-cli ") + kBuildDate);
            return 0;
        }
        const Command* command = findCommand(args.front());
        if (!command) {
            std::vector<std::string_view> known = {"--help", "--version"};
            for (const Command* each : commandList())
                known.push_back(each->name);
            throw UsageError("unknown command " + args.front() + didYouMean(args.front(), known));
        }
        ParsedArguments parsed = parseFor(*command, {args.begin() + 1, args.end()});
        if (parsed.switches.count("--help")) {
            writeText(io.out, helpText(commandList()));
            return 0;
        }
        // A pattern that matches nothing stops the command before it reads
        // or writes anything, as a mistyped name should.
        operands::Expansion operands = process::fileOperands(parsed.files);
        for (const std::string& pattern : operands.unmatched)
            writeLine(io.err, "vantrel-cli: no file matches " + pattern);
        if (!operands.unmatched.empty())
            return 2;
        parsed.files = std::move(operands.files);
        return command->run(parsed, io);
    } catch (const UsageError& e) {
        writeLine(io.err, std::string("vantrel-cli: ") + e.what());
        writeText(io.err, shortUsage(commandList()));
        return 2;
    } catch (const UnreadableSettings& e) {
        writeLine(io.err, std::string("vantrel-cli: ") + e.what());
        return 2;
    }
}

}  // namespace vantrel::cli
