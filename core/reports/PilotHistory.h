// A pilot's story: its backups, oldest first, then the file as it is now,
// each with what changed from it to the next.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotRecord.h"

namespace vantrel {

struct PilotVersion {
    std::string path;
    std::string date;                           // "YYYY-MM-DD HH:MM:SS": a backup's time, or the file's last change
    bool current = false;                       // the pilot file itself, last in the list
    std::shared_ptr<const PilotRecord> record;  // null when the file did not load
    std::vector<std::string> loadMessages;      // why it did not
    // diffPilots() from this version to the next one; empty for the last
    // version and when either of the two did not load.
    std::vector<std::string> changesToNext;
};

// The backups of `pilotPath` in `backupFolder` (of that very file, see
// listBackups) and the file itself when it exists, each loaded once.
std::vector<PilotVersion> pilotHistory(const std::string& pilotPath, const std::string& backupFolder,
                                       FileAccess& files = systemFileAccess());

// The line that heads the older backups wherever they are listed.
inline constexpr std::string_view kOlderBackupsHeading =
    "Apart from its history, older backups named like this file (they may be of another pilot file of that name):";

// The older backups named like the file (listOlderBackups), oldest first,
// each loaded once. They are no part of its history: some may be of another
// pilot file of that name, so no changes are worked out between them.
std::vector<PilotVersion> olderBackupVersions(const std::string& pilotPath, const std::string& backupFolder,
                                              FileAccess& files = systemFileAccess());

}  // namespace vantrel
