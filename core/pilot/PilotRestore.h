// Putting a backup back in place of a pilot file.
//
// The file as it is now is backed up first, then replaced as a whole by the
// backup's bytes, so that a crash leaves the old file or the restored one and
// the old one is never lost. A restore is refused when the file changed in
// the last two seconds (the game may be saving it), when it changes while the
// restore runs, when the backup is not a pilot file (looksLikePilot) and when
// it is a backup of another pilot file. The backup put back is kept.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/FileResult.h"
#include "core/pilot/FileAccess.h"
#include "core/pilot/OwnSaves.h"

namespace vantrel {

// How long a pilot file must have stayed as it is before it is restored.
inline constexpr std::chrono::seconds kRestoreQuietPeriod{2};

struct [[nodiscard]] RestoreResult : FileResult {
    explicit RestoreResult(FileResult outcome) : FileResult(std::move(outcome)) {}
    std::string backupFile;  // the copy of the file as it was, when one was made
    // The restored file as the restore left it, for a watcher of the folder
    // to take as one of the program's own saves rather than the game's.
    std::optional<FileIdentity> restored;
    // How noting the restored file as the program's own save went: its
    // failure leaves the restore standing and is told beside the message.
    FileResult ownSave = FileResult::success();
};

// The cause told for a file changed within the quiet period.
inline constexpr std::string_view kChangedJustNowCause =
    "it was changed less than two seconds ago; the game may be saving it";

// Puts `backupPath` back as `pilotPath`, after backing up the file as it is
// now into `backupFolder` (see makeBackup). `now` is the wall clock's time.
// A pilot file that does not exist is created from the backup. The message
// tells what was done or why nothing was. With `ownSaves`, the restored file
// is recorded there as the program's own save.
RestoreResult restorePilotBackup(const std::string& pilotPath, const std::string& backupPath,
                                 const std::string& backupFolder,
                                 std::chrono::system_clock::time_point now = std::chrono::system_clock::now(),
                                 FileAccess& files = systemFileAccess(), const OwnSaves* ownSaves = nullptr);

}  // namespace vantrel
