// The pilot files the program wrote itself (a save of edited details, a
// restored backup), in a small journal beside the backups, so that a watcher
// of the game's folders, in this process or another, does not take them for
// the game's saves. vantrel-cli's set and restore run in processes of their
// own: the journal is a file for that reason.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/FileIdentity.h"
#include "core/files/FileLock.h"
#include "core/files/FileResult.h"

namespace vantrel {

class OwnSaves {
public:
    // The journal keeps this many of the newest records.
    static constexpr std::size_t kRecordsKept = 200;

    // An empty name means paths::ownSavesJournal(), looked up at each use.
    // `lockWait` bounds the wait for another program's turn.
    explicit OwnSaves(std::string journalFile = {}, std::chrono::milliseconds lockWait = FileLock::kDefaultWait);

    // Notes that the program has just put `bytes` in place as the file that
    // is now `placed`. The journal is replaced as a whole under its lock
    // file; the file written stays written whatever happens here. A failure
    // (a journal that is no regular file, a full disk, a folder we may not
    // write, a lock held too long) tells notRecordedMessage() and its cause.
    // A journal or lock file that is a link is refused, never written
    // through: it might lead to a pilot file or the main log.
    FileResult record(const FileIdentity& placed, std::string_view bytes) const;

    // "Cannot create file JOURNAL. The save stands, but ...": what a save
    // or restore tells beside its own message when it could not be noted.
    static std::string notRecordedMessage(const std::string& journalFile);

    // Whether the file `path` names is, as it is now, one the program wrote:
    // the very state recorded, or the same file (volume and file number)
    // holding the very bytes recorded (a later touch of its time changes
    // nothing). A copy of such a file elsewhere is not.
    bool holds(const std::string& path) const;

    std::string journalFile() const;

    // The digest the journal keeps of a file's bytes (64-bit FNV-1a).
    static std::uint64_t digest(std::string_view bytes);

private:
    std::string file_;
    std::chrono::milliseconds lockWait_;
};

}  // namespace vantrel
