// vantrel-cli entry: one score entry per pilot file, printed or appended to a main log.
#include <filesystem>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/files/FileIO.h"
#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogText.h"
#include "core/mainlog/LogWriter.h"
#include "core/pilot/PilotLayout.h"
#include "core/reports/PilotReport.h"
#include "core/text/TextRules.h"
#include "core/text/WholeNumber.h"

namespace vantrel::cli {

namespace {

// A LOGFILE named like a pilot file is one: `entry --append *.plt` with the
// log's name forgotten would make the first pilot the log.
bool namesAPilotFile(const std::string& path)
{
    return text::endsWithIgnoringCase(path, layout::kPilotFileExtension);
}

UsageError notALog(const std::string& path)
{
    return UsageError("--append " + path + ": the file holds NUL bytes, so it is no main log; nothing was written");
}

// The main log's text into `text`; a log that does not exist yet is empty.
// False, after telling why, for one that exists but cannot be read: it is
// never overwritten. A file holding NUL bytes is no text log and is refused.
bool readLog(const std::string& path, const Streams& io, std::string& text)
{
    text.clear();
    std::error_code ignored;
    if (!std::filesystem::exists(fileio::toPath(path), ignored))
        return true;
    mainlog::ReadResult existing = mainlog::read(path);
    if (!existing.ok()) {
        printFailure(io, existing.message(), existing.cause());
        return false;
    }
    if (!mainlog::isTextLog(existing.text))
        throw notALog(path);
    text = std::move(existing.text);
    return true;
}

int runEntry(const ParsedArguments& args, const Streams& io)
{
    if (args.files.empty())
        throw UsageError("expected at least one pilot file or folder");
    const auto logFile = args.option("--append");
    if (logFile && namesAPilotFile(*logFile))
        throw UsageError("--append " + *logFile +
                         ": a file whose name ends in .plt is a pilot file, not a main log; nothing was written");
    auto settings = openSettings(args, io);

    // Read first so that a log that cannot be read stops the run before any
    // pilot file is loaded.
    std::string log;
    if (logFile && !readLog(*logFile, io, log))
        return 1;

    int status = 0;
    std::vector<std::string> entries;
    LineWriter out(io.out);
    for (const auto& path : pilotFilesIn(args.files, io, status)) {
        LoadedPilot pilot;
        if (!readPilot(pilot, path, *settings, io)) {
            status = 1;
            continue;
        }
        std::string entry;
        try {
            entry = BuildExportEntry(*settings, pilot.record);
        } catch (const ConversionError& e) {
            // The setting is wrong for every file alike: stop here.
            printError(io, e.what());
            status = 1;
            break;
        }
        if (logFile)
            entries.push_back(std::move(entry));
        else
            out.addLine(entry);
    }
    if (logFile) {
        // Read again, appended to and replaced under the log's lock, so that
        // the lines other writers added since the first read are kept.
        const mainlog::AppendResult appended = mainlog::appendLines(*logFile, entries);
        if (appended.notTextLog)
            throw notALog(*logFile);
        if (!appended.ok()) {
            printFailure(io, appended.message(), appended.cause());
            return 1;
        }
    }
    return status;
}

}  // namespace

const Command& entryCommand()
{
    static const Command command{
        "entry",
        {{"--ini", "PATH"}, {"--append", "LOGFILE"}},
        "PATH...",
        {"one score entry per pilot file; --append adds them to a main log file;",
         "a PATH that is a folder is searched as table does"},
        runEntry,
    };
    return command;
}

}  // namespace vantrel::cli
