// vantrel-cli set: changes pilot details in the file and saves them without asking.
#include <optional>
#include <span>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotSave.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/TextRules.h"
#include "core/text/Windows1252.h"

namespace vantrel::cli {

namespace {

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

    auto settings = openSettings(args, io);
    LoadedPilot pilot;
    const std::string& path = args.files.front();
    if (!loadPilot(pilot, path, *settings, io))
        return 1;

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
    // Recorded as the program's own save, so that a watching Vantrel does not
    // offer it as the game's.
    const OwnSaves ownSaves;
    const SaveResult saved =
        WritePilotDetails(path, pilot.record, edit, systemFileAccess(), backups.beforeFirstWrite(), nullptr, &ownSaves);
    if (!saved.ok()) {
        printFailure(io, saved.message(), saved.cause());
        return 1;
    }
    writeLine(io.out, saved.message());
    // The file is saved either way: the status stays 0.
    if (!saved.ownSave.ok())
        printFailure(io, saved.ownSave.message(), saved.ownSave.cause());
    return 0;
}

}  // namespace

const Command& setCommand()
{
    static const Command command{
        "set",
        {{"--ini", "PATH"},
         {"--name", "TEXT"},
         {"--rank", "N"},
         {"--rating", "N"},
         {"--kalidor", "N"},
         {"--active-mission", "N"}},
        "PILOT.plt",
        {"changes pilot details in the file and saves them without asking;",
         "N is a row of the game's list: rank 0-8, rating 0-24, Kalidor",
         "Crescent 0-6, active mission 1-255 (the mission shown as active;",
         "it must come after the completed missions, which are never removed);",
         "the file is first copied to the backup folder (see Backups)"},
        runSet,
    };
    return command;
}

}  // namespace vantrel::cli
