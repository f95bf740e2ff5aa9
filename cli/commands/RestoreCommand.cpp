// vantrel-cli restore: a backup put back in place of its pilot file, after a
// copy of the file as it is now.
#include <string>
#include <vector>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotRestore.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotDiff.h"

namespace vantrel::cli {

namespace {

int runRestore(const ParsedArguments& args, const Streams& io)
{
    if (args.files.size() != 2)
        throw UsageError("expected the pilot file, then the backup to put back");
    const std::string& path = args.files[0];
    const std::string& backup = args.files[1];

    // What the restore changes, when both files load: worked out from the
    // file as it is before, and told only once the restore is done, so that a
    // refused restore lists no change that never happened.
    PilotRecord now;
    PilotRecord then;
    std::vector<std::string> changes;
    if (ReadMission(now, path).ok() && ReadMission(then, backup).ok())
        changes = diffPilots(now, then);
    const OwnSaves ownSaves;  // a watching Vantrel takes the restored file as ours
    const RestoreResult restored = restorePilotBackup(path, backup, paths::backupDirectory(),
                                                      std::chrono::system_clock::now(), systemFileAccess(), &ownSaves);
    if (!restored.ok()) {
        printError(io, restored.message());
        return 1;
    }
    for (const std::string& change : changes)
        writeLine(io.out, change);
    writeLine(io.out, restored.message());
    // The file is restored either way: the status stays 0.
    if (!restored.ownSave.ok())
        printFailure(io, restored.ownSave.message(), restored.ownSave.cause());
    return 0;
}

}  // namespace

const Command& restoreCommand()
{
    static const Command command{
        "restore",
        {},
        "PILOT.plt BACKUP",
        {"puts a backup back, after backing up the file as it is now;",
         "refused while the file is changing or when BACKUP is no pilot file"},
        runRestore,
    };
    return command;
}

}  // namespace vantrel::cli
