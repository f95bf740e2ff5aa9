// An advisory lock that serialises changes of one file among processes.
//
// A replace by rename gives the file a new inode, so the lock cannot be held
// on the file itself: it is held on a lock file beside it, "." + name +
// ".lock" (trailing dots and spaces of the name left out), which every
// writer of the file opens; a link there is refused, never followed. The lock file is created
// when missing (0666 less the umask, so other users can take the lock too)
// and never deleted: deleting it would let two writers hold locks on two
// different lock files at once.
#pragma once

#include <chrono>
#include <string>

#include "core/files/FileHandle.h"
#include "core/files/FileResult.h"

namespace vantrel {

class FileLock {
public:
    // How long acquire() waits for a lock another process holds.
    static constexpr std::chrono::milliseconds kDefaultWait{10'000};

    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();

    // The lock file of the file `path` names: beside the file a link leads
    // to, so that every name of one file shares its lock.
    static std::string lockFileFor(const std::string& path);

    // Waits until this process holds the exclusive lock of the file `path`
    // names, for at most `wait`. Locks held by this process under another
    // FileLock count as another holder's.
    FileResult acquire(const std::string& path, std::chrono::milliseconds wait = kDefaultWait);
    bool held() const { return file_.valid(); }
    void release();

private:
    FileHandle file_;
};

}  // namespace vantrel
