// vantrel-cli backups: a pilot's backups and the file as it is now, oldest
// first, each followed by what changed from it to the next; then, apart, the
// older backups named by the file's stem alone.
#include <string>
#include <vector>

#include "cli/CommandList.h"
#include "cli/CommandSupport.h"
#include "core/platform/PlatformPaths.h"
#include "core/reports/PilotHistory.h"

namespace vantrel::cli {

namespace {

int runBackups(const ParsedArguments& args, const Streams& io)
{
    if (args.files.size() != 1)
        throw UsageError("expected exactly one pilot file");
    const std::string& path = args.files.front();
    const std::string folder = paths::backupDirectory();
    const std::vector<PilotVersion> versions = pilotHistory(path, folder);
    const auto line = [&](const std::string& text) { writeLine(io.out, text); };
    if (versions.empty() || (versions.size() == 1 && versions.front().current))
        line("No backups of " + path + " in " + folder + ".");
    for (std::size_t k = 0; k < versions.size(); ++k) {
        const PilotVersion& version = versions[k];
        line(version.date + "  " + version.path + (version.current ? "  (now)" : ""));
        for (const std::string& message : version.loadMessages)
            line("    not loaded: " + message);
        if (k + 1 == versions.size() || !version.record || !versions[k + 1].record)
            continue;
        if (version.changesToNext.empty())
            line("    no change to the next");
        for (const std::string& change : version.changesToNext)
            line("    " + change);
    }
    // Backups named by the stem alone may be another pilot's: listed apart.
    const std::vector<PilotVersion> older = olderBackupVersions(path, folder);
    if (!older.empty())
        line(std::string(kOlderBackupsHeading));
    for (const PilotVersion& version : older) {
        line(version.date + "  " + version.path);
        for (const std::string& message : version.loadMessages)
            line("    not loaded: " + message);
    }
    return 0;
}

}  // namespace

const Command& backupsCommand()
{
    static const Command command{
        "backups",   {},
        "PILOT.plt", {"the pilot's backups and the file now, each with what changed", "from it to the next"},
        runBackups,
    };
    return command;
}

}  // namespace vantrel::cli
