// Copies of pilot files taken before the program changes them.
//
// A backup belongs to one pilot file, known by its full canonical path: the
// backup of "<folder>/Wedge.plt" is
// "<backups>/Wedge.<tag>.YYYYMMDD-HHMMSS.plt", where the tag is 16 hex
// digits of a digest of that path, so that two pilots of one file name in
// two folders never share a history (local time; "-2", "-3", ... added when
// that name is taken within the same second). The newest kBackupsKept
// backups of each file are kept.
//
// Backups made before the tag was added are named "Wedge-YYYYMMDD-HHMMSS.plt":
// which file they were taken of cannot be told, so they are listed apart as
// the older backups named like the file, and never removed.
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

// The longest file stem a backup name carries, in bytes: a longer one is cut
// (at a character's start), so that the name stays within what file systems
// allow (255).
inline constexpr std::size_t kLongestBackupStem = 200;

// What a pilot file is known by among the backups: its full path with links,
// "." and ".." resolved as far as it exists; on Windows with "\" between
// folders and ASCII letters small, as its file systems ignore their case.
std::string backupOwnerKey(const std::string& pilotPath);

// The 16 hex digits in the names of the file's backups: the FNV-1a digest of
// backupOwnerKey(), alike on every system.
std::string backupOwnerTag(const std::string& pilotPath);

// The backup file name for a pilot file at a moment, before any "-N".
std::string backupFileName(const std::string& pilotPath, std::time_t when);

// One backup of a pilot file found in the backup folder.
struct BackupFile {
    std::string path;
    std::string date;  // "YYYY-MM-DD HH:MM:SS", local time, from the file's name
};

// The backups of the pilot file in `backupFolder`, oldest first; empty when
// the folder is missing or holds none.
std::vector<BackupFile> listBackups(const std::string& pilotPath, const std::string& backupFolder);

// The backups named by the pilot file's stem alone (made before backups were
// told apart by file), oldest first: of this file or of another of its name.
std::vector<BackupFile> listOlderBackups(const std::string& pilotPath, const std::string& backupFolder);

// Whether `backupPath` is named as a backup of a pilot file other than
// `pilotPath` (its tag differs). An older backup or any other name is not.
bool isBackupOfAnotherFile(const std::string& backupPath, const std::string& pilotPath);

// A moment as "YYYY-MM-DD HH:MM:SS", local time.
std::string localDateTime(std::time_t when);

// Writes `bytes`, the file's contents, as its backup into `backupFolder`
// (created when missing), atomically, under a name no other backup has and
// with the pilot's permission bits `mode`, then removes all but the newest
// kBackupsKept backups of the same file; `spare`, when given, is never
// removed (the backup a restore puts back). A failure's message tells why
// the copy could not be made ("Cannot back up ... Nothing was written.").
// `madeFile` receives the backup's full name.
FileResult makeBackup(const std::string& pilotPath, std::string_view bytes, unsigned mode,
                      const std::string& backupFolder, std::time_t now, std::string* madeFile = nullptr,
                      const std::string& spare = {});

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
