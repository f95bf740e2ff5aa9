#include "cli/CliCommands.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>

#include "cli/CliOptions.h"
#include "core/reports/MissionListings.h"
#include "core/pilot/PilotBackup.h"
#include "core/reports/PilotDiff.h"
#include "core/pilot/PilotLayout.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotReport.h"
#include "core/pilot/PilotSave.h"
#include "core/reports/PilotTable.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/TextRules.h"
#include "core/text/Windows1252.h"
#include "core/text/WholeNumber.h"
#include "core/platform/PilotFileSearch.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsStore.h"
#include "core/mainlog/MainLogFile.h"

namespace vantrel::cli {

namespace {

const char* const kUsage =
    "Usage: vantrel-cli COMMAND [OPTIONS] PILOT.plt...\n"
    "\n"
    "Commands:\n"
    "  report   [--ini PATH] [--from N] PILOT.plt\n"
    "           the pilot report, as the pilot view shows it after loading the file\n"
    "  missions [--ini PATH] [--from N] [--to N] PILOT.plt\n"
    "           the campaign mission listing over From..To\n"
    "  entry    [--ini PATH] [--append LOGFILE] PILOT.plt...\n"
    "           one score entry per pilot file; --append adds them to a main log file\n"
    "  set      [--ini PATH] [--name TEXT] [--rank N] [--rating N] [--kalidor N]\n"
    "           [--active-mission N] PILOT.plt\n"
    "           changes pilot details in the file and saves them without asking;\n"
    "           N is a row of the game's list: rank 0-8, rating 0-24, Kalidor\n"
    "           Crescent 0-6, active mission 1-255 (the mission shown as active;\n"
    "           it must come after the completed missions, which are never removed);\n"
    "           the file is first copied to the backup folder (see Backups)\n"
    "  table    [--ini PATH] [--format tsv|csv] PATH...\n"
    "           one row per pilot file after a header row: name, rank, rating,\n"
    "           Kalidor Crescent, missions, scores, bonuses, totals, integrity\n"
    "           errors, total warning; a PATH that is a folder is searched with\n"
    "           its subfolders for *.plt files, in name order; tsv is the default\n"
    "  diff     OLD.plt NEW.plt\n"
    "           one line for each field that differs between two pilot files\n"
    "           (\"field: old -> new\"), then the change of the totals\n"
    "\n"
    "Options:\n"
    "  --ini PATH   read the settings from PATH instead of the user's settings file\n"
    "  --from N     the From field before the load (default 0)\n"
    "  --to N       the To field (default: the number of completed campaign missions)\n"
    "  --help       show this text\n"
    "\n"
    "Exit status: 0 success; 1 a file could not be loaded or written (diff: the\n"
    "files differ); 2 a usage error (diff: also a file that cannot be loaded).\n"
    "\n"
    "Backups: before its first change to a pilot file, set copies the file to\n"
    "$XDG_DATA_HOME/vantrel/backups (default ~/.local/share/vantrel/backups) as\n"
    "NAME-YYYYMMDD-HHMMSS.plt and keeps the 20 newest copies of each file name.\n"
    "If the copy cannot be made, nothing is written.\n";

const char* const kShortUsage =
    "Usage: vantrel-cli report|missions|entry|set|table|diff [OPTIONS] PILOT.plt...\n"
    "Try 'vantrel-cli --help' for the commands and their options.\n";

class LineWriter final : public TextSink {
public:
    explicit LineWriter(std::FILE* out) : out_(out) {}
    void addLine(std::string_view line) override
    {
        std::fwrite(line.data(), 1, line.size(), out_);
        std::fputc('\n', out_);
    }
    void clear() override {}

private:
    std::FILE* out_;
};

void printError(const Streams& io, const std::string& text)
{
    std::fprintf(io.err, "%s\n", text.c_str());
}

// A settings file named with --ini that cannot be read: the command stops
// before it reads or writes anything else.
class UnreadableSettings : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The streams of the command that run() is running, for what openSettings
// tells on the way.
const Streams* commandStreams = nullptr;

// The store over --ini PATH, or over the user's settings file. The file is
// looked at once here (without waiting on a FIFO or device): a file named
// with --ini must be readable (UnreadableSettings otherwise); the user's own
// file may be absent, and one that is there but cannot be read is told on
// stderr while the command goes on with the defaults.
std::unique_ptr<SettingsStore> openSettings(const ParsedArguments& args)
{
    const std::optional<std::string> given = args.option("--ini");
    const std::string path = given.value_or(paths::settingsFile());
    auto store = std::make_unique<SettingsStore>(path);
    store->revalidate();
    const std::string cause = store->readFailure();
    if (cause.empty() || (!given && store->fileMissing()))
        return store;
    const std::string problem = "cannot read settings file " + path + ": " + cause;
    if (given)
        throw UnreadableSettings(problem);
    if (commandStreams)
        std::fprintf(commandStreams->err, "vantrel-cli: %s; the default settings are used\n", problem.c_str());
    return store;
}

// One pilot as the pilot view holds it after a load.
struct LoadedPilot {
    PilotRecord record;
    MissionRange range;
};

// Loads the file; on failure prints the load's message-box texts.
bool load(LoadedPilot& pilot, const std::string& path, SettingsStore& settings, const Streams& io)
{
    settings.revalidate();
    const LoadResult result = ReadMission(pilot.record, path);
    if (!result.ok()) {
        for (const auto& message : result.messages)
            printError(io, message);
        return false;
    }
    pilot.range.to.set(result.getTo);
    return true;
}

void requireOneFile(const ParsedArguments& args)
{
    if (args.files.size() != 1)
        throw UsageError("expected exactly one pilot file");
}

int runReport(const ParsedArguments& args, const Streams& io)
{
    requireOneFile(args);
    auto settings = openSettings(args);
    LoadedPilot pilot;
    pilot.range.from.set(args.numberOption("--from").value_or(0));
    if (!load(pilot, args.files.front(), *settings, io))
        return 1;
    LineWriter out(io.out);
    try {
        BuildPilotReport(out, *settings, pilot.record, pilot.range, true);
    } catch (const ConversionError& e) {
        std::fflush(io.out);
        printError(io, e.what());
        return 1;
    }
    return 0;
}

int runMissions(const ParsedArguments& args, const Streams& io)
{
    requireOneFile(args);
    auto settings = openSettings(args);
    const auto from = args.numberOption("--from");
    const auto to = args.numberOption("--to");
    LoadedPilot pilot;
    if (!load(pilot, args.files.front(), *settings, io))
        return 1;
    try {
        DiscardLines loadReport;
        BuildPilotReport(loadReport, *settings, pilot.record, pilot.range, true);
    } catch (const ConversionError& e) {
        printError(io, e.what());
        return 1;
    }
    pilot.range.from.set(from.value_or(0));
    if (to)
        pilot.range.to.set(*to);
    LineWriter out(io.out);
    settings->revalidate();
    RipScore(out, *settings, pilot.record, pilot.range);
    return 0;
}

// A fixed failure text, then the system's reason on a line of its own.
void printFailure(const Streams& io, const std::string& text, const std::string& cause)
{
    printError(io, text);
    if (!cause.empty())
        printError(io, cause);
}

// A LOGFILE named like a pilot file is one: `entry --append *.plt` with the
// log's name forgotten would make the first pilot the log.
bool namesAPilotFile(const std::string& path)
{
    return text::endsWithIgnoringCase(path, layout::kPilotFileExtension);
}

// The main log's text into `text`; a log that does not exist yet is empty.
// False, after telling why, for one that exists but cannot be read: it is
// never overwritten. A file holding NUL bytes is no text log and is refused.
bool readLog(const std::string& path, const Streams& io, std::string& text)
{
    text.clear();
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored))
        return true;
    mainlog::ReadResult existing = mainlog::read(path);
    if (!existing.ok()) {
        printFailure(io, existing.message(), existing.cause());
        return false;
    }
    if (!mainlog::isTextLog(existing.text))
        throw UsageError("--append " + path + ": the file holds NUL bytes, so it is no main log; nothing was written");
    text = std::move(existing.text);
    return true;
}

int runEntry(const ParsedArguments& args, const Streams& io)
{
    if (args.files.empty())
        throw UsageError("expected at least one pilot file");
    const auto logFile = args.option("--append");
    if (logFile && namesAPilotFile(*logFile))
        throw UsageError("--append " + *logFile +
                         ": a file whose name ends in .plt is a pilot file, not a main log; nothing was written");
    auto settings = openSettings(args);

    // Read first so that a log that cannot be read stops the run before any
    // pilot file is loaded.
    std::string log;
    if (logFile && !readLog(*logFile, io, log))
        return 1;

    int status = 0;
    std::vector<std::string> entries;
    for (const auto& path : args.files) {
        LoadedPilot pilot;
        if (!load(pilot, path, *settings, io)) {
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
        if (logFile) {
            entries.push_back(std::move(entry));
        } else {
            std::fwrite(entry.data(), 1, entry.size(), io.out);
            std::fputc('\n', io.out);
        }
    }
    if (logFile) {
        // Read, append and replace under the log's lock, so that the lines
        // other writers added since the first read are kept.
        const mainlog::LogLock lock(*logFile);
        if (!lock.ok()) {
            printFailure(io, lock.result().message(), lock.result().cause());
            return 1;
        }
        if (!readLog(*logFile, io, log))
            return 1;
        for (const std::string& entry : entries)
            mainlog::appendLine(log, entry);
        mainlog::WriteOptions options;
        options.heldLock = &lock;
        const mainlog::WriteResult written = mainlog::write(*logFile, log, options);
        if (!written.ok()) {
            printFailure(io, written.message(), written.cause());
            return 1;
        }
    }
    return status;
}

// A value for a drop-down box: a row of its table, or a usage error.
int tableRow(const ParsedArguments& args, const std::string& option, std::span<const std::string_view> table, int first)
{
    const std::int32_t value = *args.numberOption(option);
    const std::int64_t row = static_cast<std::int64_t>(value) - first;
    if (row < 0 || row >= static_cast<std::int64_t>(table.size()))
        throw UsageError(option + " must be between " + std::to_string(first) + " and " +
                         std::to_string(static_cast<std::int64_t>(table.size()) - 1 + first));
    return static_cast<int>(row);
}

int runSet(const ParsedArguments& args, const Streams& io)
{
    requireOneFile(args);
    PilotDetailsEdit edit;
    const auto name = args.option("--name");
    if (name) {
        if (const std::string refusal = nameRefusal(*name); !refusal.empty())
            throw UsageError("--name " + refusal);
    }
    // Check every value before touching the file.
    const auto row = [&](const char* option, std::span<const std::string_view> table, int first) {
        return args.option(option) ? std::optional<int>(tableRow(args, option, table, first)) : std::nullopt;
    };
    const auto rank = row("--rank", vocabulary::rankNames(), 0);
    const auto rating = row("--rating", vocabulary::ratingNames(), 0);
    const auto kalidor = row("--kalidor", vocabulary::kalidorStates(), 0);
    const auto mission = row("--active-mission", vocabulary::missionTitles(), 1);

    auto settings = openSettings(args);
    LoadedPilot pilot;
    const std::string& path = args.files.front();
    settings->revalidate();
    const LoadResult loaded = ReadMission(pilot.record, path);
    if (!loaded.ok()) {
        for (const auto& message : loaded.messages)
            printError(io, message);
        return 1;
    }
    try {
        DiscardLines report;
        BuildPilotReport(report, *settings, pilot.record, pilot.range, true);
    } catch (const ConversionError& e) {
        printError(io, e.what());
        return 1;
    }

    // Completed missions are never taken away, so an active mission at or
    // before the last completed one would change nothing: say so instead.
    if (const std::string refusal = activeMissionRefusal(pilot.record, mission.value_or(-1)); !refusal.empty()) {
        printError(io, "vantrel-cli: --active-mission " + refusal);
        return 2;
    }

    // Only what the options name is written.
    edit.name = name;
    edit.rankIndex = rank.value_or(-1);
    edit.ratingIndex = rating.value_or(-1);
    edit.kalidorIndex = kalidor.value_or(-1);
    edit.activeMissionIndex = mission.value_or(-1);

    BackupSession backups;
    const SaveResult saved = WritePilotDetails(path, pilot.record, edit, systemFileAccess(), backups.beforeFirstWrite());
    if (!saved.ok()) {
        printFailure(io, saved.message(), saved.cause());
        return 1;
    }
    std::fprintf(io.out, "%s\n", saved.message().c_str());
    return 0;
}

int runTable(const ParsedArguments& args, const Streams& io)
{
    if (args.files.empty())
        throw UsageError("expected at least one pilot file or folder");
    const std::string formatName = args.option("--format").value_or("tsv");
    if (formatName != "tsv" && formatName != "csv")
        throw UsageError("--format must be tsv or csv");
    const TableFormat format = formatName == "csv" ? TableFormat::Csv : TableFormat::Tsv;
    // The settings file is looked at once (an unreadable --ini stops the
    // run); no setting changes a row, so no file looks at it again.
    openSettings(args);

    const auto print = [&](const std::string& line) { std::fwrite(line.data(), 1, line.size(), io.out); };
    print(tableLine(pilotTableHeader(), format));
    int status = 0;
    for (const std::string& given : args.files) {
        const PilotFileSearch search = findPilotFiles(given);
        for (const std::string& path : search.files) {
            const PilotTableEntry entry = pilotTableEntry(path);
            if (!entry.loaded)
                status = 1;
            print(tableLine(entry.cells, format));
        }
        for (const FileResult& failure : search.failures) {
            printError(io, failure.message());
            status = 1;
        }
    }
    return status;
}

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
    for (const std::string& line : lines) {
        std::fwrite(line.data(), 1, line.size(), io.out);
        std::fputc('\n', io.out);
    }
    return lines.empty() ? 0 : 1;
}

struct Command {
    const char* name;
    std::set<std::string> valued;
    int (*run)(const ParsedArguments&, const Streams&);
};

const Command kCommands[] = {
    {"report", {"--ini", "--from"}, runReport},
    {"missions", {"--ini", "--from", "--to"}, runMissions},
    {"entry", {"--ini", "--append"}, runEntry},
    {"set", {"--ini", "--name", "--rank", "--rating", "--kalidor", "--active-mission"}, runSet},
    {"table", {"--ini", "--format"}, runTable},
    {"diff", {}, runDiff},
};

}  // namespace

int run(const std::vector<std::string>& args, const Streams& io)
{
    try {
        if (args.empty())
            throw UsageError("no command given");
        if (args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
            std::fputs(kUsage, io.out);
            return 0;
        }
        for (const Command& command : kCommands) {
            if (args.front() != command.name)
                continue;
            const std::vector<std::string> rest(args.begin() + 1, args.end());
            const ParsedArguments parsed = parseArguments(rest, command.valued, {"--help"});
            if (parsed.switches.count("--help")) {
                std::fputs(kUsage, io.out);
                return 0;
            }
            struct StreamsInUse {
                explicit StreamsInUse(const Streams& io) { commandStreams = &io; }
                ~StreamsInUse() { commandStreams = nullptr; }
            } inUse(io);
            return command.run(parsed, io);
        }
        throw UsageError("unknown command " + args.front());
    } catch (const UsageError& e) {
        std::fprintf(io.err, "vantrel-cli: %s\n%s", e.what(), kShortUsage);
        return 2;
    } catch (const UnreadableSettings& e) {
        std::fprintf(io.err, "vantrel-cli: %s\n", e.what());
        return 2;
    }
}

}  // namespace vantrel::cli
