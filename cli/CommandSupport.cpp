#include "cli/CommandSupport.h"

#include <optional>

#include "core/pilot/PilotLoader.h"
#include "core/platform/PilotFileSearch.h"
#include "core/platform/PlatformPaths.h"
#include "core/text/SafeText.h"
#include "core/text/TextRules.h"

namespace vantrel::cli {

namespace {

void writeSafe(std::FILE* out, std::string_view text, text::Layout layout)
{
    const std::string safe = text::terminalSafe(text, layout);
    std::fwrite(safe.data(), 1, safe.size(), out);
}

}  // namespace

void writeText(std::FILE* out, std::string_view text)
{
    writeSafe(out, text, text::Layout::Lines);
}

void writeLine(std::FILE* out, std::string_view line)
{
    writeSafe(out, line, text::Layout::Line);
    std::fputc('\n', out);
}

void LineWriter::addLine(std::string_view line)
{
    writeLine(out_, line);
}

void printError(const Streams& io, const std::string& text)
{
    writeLine(io.err, text);
}

void printFailure(const Streams& io, const std::string& text, const std::string& cause)
{
    printError(io, text);
    if (!cause.empty())
        printError(io, cause);
}

void printLoadFailure(const Streams& io, const std::string& path, const LoadResult& result)
{
    for (const std::string& line : result.failureLines(path))
        printError(io, line);
}

std::vector<std::string> pilotFilesIn(const std::vector<std::string>& paths, const Streams& io, int& status)
{
    std::vector<std::string> files;
    for (const std::string& given : paths) {
        PilotFileSearch search = findPilotFiles(given);
        files.insert(files.end(), std::make_move_iterator(search.files.begin()),
                     std::make_move_iterator(search.files.end()));
        for (const FileResult& failure : search.failures) {
            printError(io, failure.message());
            status = 1;
        }
    }
    return files;
}

void requireOneFile(const ParsedArguments& args)
{
    if (args.files.size() != 1)
        throw UsageError("expected exactly one pilot file");
}

std::unique_ptr<SettingsStore> openSettings(const ParsedArguments& args, const Streams& io)
{
    const std::optional<std::string> given = args.option("--ini");
    const std::string path = given.value_or(paths::settingsFile());
    // Settings a former version kept elsewhere are read in place of a
    // missing user's file (never in place of a --ini file).
    auto store =
        std::make_unique<SettingsStore>(path, given ? std::vector<std::string>{} : paths::legacySettingsFiles());
    store->revalidate();
    const std::string cause = store->readFailure();
    if (cause.empty() || (!given && store->fileMissing()))
        return store;
    const std::string problem = "cannot read settings file " + path + ": " + cause;
    if (given)
        throw UnreadableSettings(problem);
    writeLine(io.err, "vantrel-cli: " + problem + "; the default settings are used");
    return store;
}

bool readPilot(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io)
{
    settings.revalidate();
    if (app::loadForViewing(pilot, path))
        return true;
    for (const std::string& line : pilot.errorLines())
        printError(io, line);
    return false;
}

bool loadPilot(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io)
{
    DiscardLines silent;
    return loadPilot(pilot, path, settings, io, silent);
}

bool loadPilot(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io,
               TextSink& report)
{
    if (!readPilot(pilot, path, settings, io))
        return false;
    if (app::reportForViewing(pilot, settings, report))
        return true;
    // The report's lines so far come before the message.
    std::fflush(io.out);
    for (const std::string& line : pilot.errorLines())
        printError(io, line);
    return false;
}

}  // namespace vantrel::cli
