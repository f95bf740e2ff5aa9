// vantrel-cli restore: a backup put back in place of its pilot file, after a
// copy of the file as it is now.
#include <string>
#include <vector>

#include "cli/HistoryCommands.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotRestore.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotDiff.h"

namespace vantrel::cli {

int runRestore(const ParsedArguments& args, const Streams& io)
{
    if (args.files.size() != 2)
        throw UsageError("expected the pilot file, then the backup to put back");
    const std::string& path = args.files[0];
    const std::string& backup = args.files[1];

    // What the restore changes, when both files load: told before it is done.
    PilotRecord now;
    PilotRecord then;
    if (ReadMission(now, path).ok() && ReadMission(then, backup).ok()) {
        for (const std::string& change : diffPilots(now, then))
            std::fprintf(io.out, "%s\n", change.c_str());
    }
    const RestoreResult restored = restorePilotBackup(path, backup, paths::backupDirectory());
    if (!restored.ok()) {
        std::fprintf(io.err, "%s\n", restored.message().c_str());
        return 1;
    }
    std::fprintf(io.out, "%s\n", restored.message().c_str());
    return 0;
}

}  // namespace vantrel::cli
