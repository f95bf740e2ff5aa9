// Copies of pilot files taken before the program changes them.
//
// A backup of "<folder>/Wedge.plt" is "<backups>/Wedge-YYYYMMDD-HHMMSS.plt"
// (local time; "-2", "-3", ... added when that name is taken within the same
// second). The newest kBackupsKept backups of each file name are kept.
#pragma once

#include <ctime>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/pilot/PilotSave.h"

namespace vantrel {

inline constexpr std::size_t kBackupsKept = 20;

// The backup file name for a pilot file name at a moment, before any "-N".
std::string backupFileName(const std::string& pilotPath, std::time_t when);

// One backup of a pilot file found in the backup folder.
struct BackupFile {
    std::string path;
    std::string date;  // "YYYY-MM-DD HH:MM:SS", local time, from the file's name
};

// The backups of a pilot file (by its file name) in `backupFolder`, oldest
// first; empty when the folder is missing or holds none.
std::vector<BackupFile> listBackups(const std::string& pilotPath, const std::string& backupFolder);

// A moment as "YYYY-MM-DD HH:MM:SS", local time.
std::string localDateTime(std::time_t when);

// Writes `bytes`, the file's contents, as its backup into `backupFolder`
// (created when missing), atomically and with the pilot's permission bits
// `mode`, then removes all but the newest kBackupsKept backups of the same
// file name. A failure's message tells why the copy could not be made
// ("Cannot back up ... Nothing was written."). `madeFile` receives the
// backup's full name.
FileResult makeBackup(const std::string& pilotPath, std::string_view bytes, unsigned mode,
                       const std::string& backupFolder, std::time_t now, std::string* madeFile = nullptr);

// Remembers which files were backed up during one run of the program, so that
// the first save of a file makes a backup and later saves of it do not. The
// windows keep one session for the program's life; vantrel-cli one per run.
class BackupSession {
public:
    using Clock = std::function<std::time_t()>;

    // An empty folder means paths::backupDirectory(), looked up at each backup.
    explicit BackupSession(std::string backupFolder = {}, Clock clock = {});

    // The hook for WritePilotDetails: backs up the bytes the save read unless
    // this session backed the file up already; after a failure the next save
    // tries again.
    BeforeFirstWrite beforeFirstWrite();

    bool hasBackedUp(const std::string& pilotPath) const;

private:
    static std::string identity(const std::string& pilotPath);
    FileResult backUpOnce(const std::string& pilotPath, std::string_view bytes, unsigned mode, std::string* madeFile);

    std::string folder_;
    Clock clock_;
    std::set<std::string> done_;
};

}  // namespace vantrel
