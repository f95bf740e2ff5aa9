#include "cli/Usage.h"

#include <string_view>
#include <vector>

#include "core/platform/PlatformPaths.h"

namespace vantrel::cli {

namespace {

// The column where a command's synopsis and its lines start, and the widest
// line a wrapped synopsis may take.
constexpr std::size_t kIndent = 11;
constexpr std::size_t kWidth = 79;

const char* const kHelpHead =
    "Usage: vantrel-cli COMMAND [OPTIONS] PILOT.plt...\n"
    "\n"
    "Commands:\n";

// The places are named as the user's system writes them.
std::string helpTail()
{
    const paths::PlaceNames places = paths::placeNames();
    return "\n"
           "Options:\n"
           "  --ini PATH   read the settings from PATH instead of the user's settings file\n"
           "  --from N     the From field before the load (default 0)\n"
           "  --to N       the To field (default: the number of completed campaign missions)\n"
           "  --bom        start the CSV with a byte-order mark, for spreadsheet programs\n"
           "               that need one to read it as UTF-8\n"
           "  --help       show this text\n"
           "  --version    print the program's version\n"
           "\n"
           "Exit status: 0 success; 1 a file could not be loaded or written (diff: the\n"
           "files or folders differ); 2 a usage error (diff: also a file that cannot be\n"
           "loaded).\n"
           "\n"
           "Files: the user's settings file is\n"
           "  " +
           places.settingsFile +
           "\n"
           "and the main log, when the settings name none,\n"
           "  " +
           places.mainLog +
           "\n"
           "\n"
           "Backups: before its first change to a pilot file, set (and restore) copies the file to\n" +
           places.backups +
           " as\n"
           "NAME-YYYYMMDD-HHMMSS.plt and keeps the 20 newest copies of each file name.\n"
           "If the copy cannot be made, nothing is written.\n";
}

// An option the command cannot do without is shown bare, the others in
// brackets.
std::string synopsisWord(const Option& option)
{
    std::string word(option.name);
    if (!option.value.empty()) {
        word += ' ';
        word += option.value;
    }
    return option.required ? word : "[" + word + "]";
}

// The synopsis's words: each option in brackets, then the operands.
std::vector<std::string> synopsisWords(const Command& command)
{
    std::vector<std::string> words;
    for (const Option& option : command.options)
        words.push_back(synopsisWord(option));
    if (!command.operands.empty())
        words.emplace_back(command.operands);
    return words;
}

// Minus signs as roff writes them.
std::string roff(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '-')
            out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::string helpText(std::span<const Command* const> commands)
{
    std::string text = kHelpHead;
    for (const Command* command : commands) {
        std::string line = "  " + std::string(command->name);
        line.resize(kIndent, ' ');
        bool first = true;
        for (const std::string& word : synopsisWords(*command)) {
            if (!first && line.size() + 1 + word.size() > kWidth) {
                text += line + "\n";
                line = std::string(kIndent, ' ') + word;
            } else {
                line += (first ? "" : " ") + word;
            }
            first = false;
        }
        text += line + "\n";
        for (const std::string_view about : command->about)
            text += std::string(kIndent, ' ') + std::string(about) + "\n";
    }
    return text + helpTail();
}

std::string shortUsage(std::span<const Command* const> commands)
{
    std::string names;
    for (const Command* command : commands) {
        if (!names.empty())
            names += '|';
        names += command->name;
    }
    return "Usage: vantrel-cli " + names +
           " [OPTIONS] PATH...\n"
           "Try 'vantrel-cli --help' for the commands and their options.\n";
}

std::string manSynopsis(std::span<const Command* const> commands)
{
    std::string text;
    for (const Command* command : commands) {
        text += ".B vantrel-cli " + std::string(command->name) + "\n";
        for (const Option& option : command->options) {
            const std::string open = option.required ? "" : " [";
            const std::string close = option.required ? "" : " ]";
            if (option.value.empty()) {
                text += ".RB" + open + " " + roff(option.name) + close + "\n";
                continue;
            }
            // Alternatives ("tsv|csv") in italics, their bar upright.
            std::string value;
            for (const char c : option.value)
                value += c == '|' ? std::string(" | ") : std::string(1, c);
            text += ".RB" + open + " " + roff(option.name) + "\n.IR " + roff(value) + close + "\n";
        }
        const std::string_view operands = command->operands;
        if (operands.ends_with("..."))
            text += ".IR " + roff(operands.substr(0, operands.size() - 3)) + " ...\n";
        else if (!operands.empty())
            text += ".I " + roff(operands) + "\n";
        text += ".br\n";
    }
    return text + ".B vantrel-cli\n.B \\-\\-help\n.br\n.B vantrel-cli\n.B \\-\\-version\n";
}

}  // namespace vantrel::cli
