#include "cli/CliOptions.h"

#include "cli/Suggestion.h"
#include "core/text/WholeNumber.h"

namespace vantrel::cli {

std::optional<std::string> ParsedArguments::option(const std::string& name) const
{
    const auto it = options.find(name);
    if (it == options.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::int32_t> ParsedArguments::numberOption(const std::string& name) const
{
    const auto text = option(name);
    if (!text)
        return std::nullopt;
    const auto value = parseWholeNumber(*text);
    if (!value)
        throw UsageError(name + " needs a whole number, not '" + *text + "'");
    return value;
}

namespace {

// "unknown option NAME", with the nearest option the command takes.
UsageError unknownOption(const std::string& name, const std::set<std::string>& valued,
                         const std::set<std::string>& flags)
{
    std::vector<std::string_view> known(valued.begin(), valued.end());
    known.insert(known.end(), flags.begin(), flags.end());
    return UsageError("unknown option " + name + didYouMean(name, known));
}

}  // namespace

ParsedArguments parseArguments(const std::vector<std::string>& args, const std::set<std::string>& valued,
                               const std::set<std::string>& flags)
{
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
                throw unknownOption(arg, valued, flags);
            parsed.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (flags.count(name)) {
            if (equals != std::string::npos)
                throw UsageError(name + " takes no value");
            parsed.switches.insert(name);
        } else if (valued.count(name)) {
            if (equals != std::string::npos) {
                parsed.options[name] = arg.substr(equals + 1);
            } else {
                if (i + 1 >= args.size())
                    throw UsageError(name + " needs a value");
                parsed.options[name] = args[++i];
            }
        } else {
            throw unknownOption(name, valued, flags);
        }
    }
    return parsed;
}

}  // namespace vantrel::cli
