// The pilot files the program wrote itself (a save of edited details, a
// restored backup), in a small journal beside the backups, so that a watcher
// of the game's folders, in this process or another, does not take them for
// the game's saves. vantrel-cli's set and restore run in processes of their
// own: the journal is a file for that reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/FileIdentity.h"
#include "core/files/FileResult.h"

namespace vantrel {

class OwnSaves {
public:
    // The journal keeps this many of the newest records.
    static constexpr std::size_t kRecordsKept = 200;

    // An empty name means paths::ownSavesJournal(), looked up at each use.
    explicit OwnSaves(std::string journalFile = {});

    // Notes that the program has just put `bytes` in place as the file that
    // is now `placed`. The journal is replaced as a whole under its lock
    // file; a failure is returned, the file written stays written.
    FileResult record(const FileIdentity& placed, std::string_view bytes) const;

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
};

}  // namespace vantrel
