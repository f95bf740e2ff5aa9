// vantrel-cli set: changes pilot details in the file and saves them without asking.
#include <cstdint>
#include <optional>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/app/DetailsEdit.h"
#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotSave.h"

namespace vantrel::cli {

namespace {

const char* optionOf(app::DetailsField field)
{
    switch (field) {
    case app::DetailsField::Name: return "--name";
    case app::DetailsField::Rank: return "--rank";
    case app::DetailsField::Rating: return "--rating";
    case app::DetailsField::Kalidor: return "--kalidor";
    case app::DetailsField::ActiveMission: return "--active-mission";
    }
    return "";
}

// The refusal after the option it is about: "--name: The name holds ...".
std::string refusalLine(const app::Refusal& refusal)
{
    return std::string(optionOf(refusal.field)) + ": " + refusal.text;
}

// An option's number as a row of its list, which starts at `first`.
std::optional<std::int64_t> row(const ParsedArguments& args, const std::string& option, int first)
{
    const auto value = args.numberOption(option);
    return value ? std::optional<std::int64_t>(static_cast<std::int64_t>(*value) - first) : std::nullopt;
}

int runSet(const ParsedArguments& args, const Streams& io)
{
    requireOneFile(args);
    // Every value is checked before the file is touched, the name first.
    app::DetailsRequest request;
    request.name = args.option("--name");
    if (const auto refused = app::checkDetails(request))
        throw UsageError(refusalLine(*refused));
    request.rank = row(args, "--rank", 0);
    request.rating = row(args, "--rating", 0);
    request.kalidor = row(args, "--kalidor", 0);
    request.activeMission = row(args, "--active-mission", 1);
    if (const auto refused = app::checkDetails(request))
        throw UsageError(refusalLine(*refused));

    auto settings = openSettings(args, io);
    settings->revalidate();
    const std::string& path = args.files.front();
    BackupSession backups;
    // Recorded as the program's own save, so that a watching Vantrel does not
    // offer it as the game's.
    const OwnSaves ownSaves;
    LoadedPilot pilot;
    const app::EditOutcome outcome =
        app::editDetails(pilot, path, request, *settings, systemFileAccess(), backups.beforeFirstWrite(), &ownSaves);
    if (outcome.refusal) {
        printError(io, "vantrel-cli: " + refusalLine(*outcome.refusal));
        return 2;
    }
    if (!outcome.saved) {
        for (const std::string& line : pilot.errorLines())
            printError(io, line);
        return 1;
    }
    const SaveResult& saved = *outcome.saved;
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
