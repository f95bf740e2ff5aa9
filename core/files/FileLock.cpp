#include "core/files/FileLock.h"

#include "core/files/FileIO.h"
#include "core/text/TextRules.h"

#include <algorithm>
#include <cerrno>
#include <thread>
#include <utility>

namespace vantrel {

namespace {

// The lock file's name must stay within the file system's name limit.
constexpr std::size_t kLongestStem = 200;

// The file a link leads to, or the path itself (also for a link that leads
// nowhere: the write that follows reports that).
std::string linkTarget(const std::string& path)
{
    std::string target = fileio::linkTarget(path);
    return target.empty() ? path : target;
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept = default;

FileLock& FileLock::operator=(FileLock&& other) noexcept = default;

FileLock::~FileLock()
{
    release();
}

std::string FileLock::lockFileFor(const std::string& path)
{
    const std::string target = linkTarget(path);
    const std::size_t slash = target.find_last_of(text::kPathSeparators);
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    // Windows drops trailing dots and spaces from a name: "log.txt." and
    // "log.txt " are log.txt there, and must take its lock.
    if (const std::size_t kept = base.find_last_not_of(". "); kept != std::string::npos)
        base.resize(kept + 1);
    if (base.size() > kLongestStem)
        base.resize(kLongestStem);
    return dir + "." + base + ".lock";
}

FileResult FileLock::acquire(const std::string& path, std::chrono::milliseconds wait)
{
    release();
    if (fileio::isDeviceName(path))
        return FileResult::failure(std::string(kNotRegularFileCause));
    const std::string name = lockFileFor(path);
    FileHandle file = fileio::openLockFile(name);
    if (!file && errno == ELOOP)
        return FileResult::failure("the lock file is a symbolic link");
    if (!file)
        return FileResult::fromErrno(errno);
    const std::optional<fileio::FileInfo> info = fileio::infoOf(file);
    if (!info)
        return FileResult::fromErrno(errno);
    if (info->kind != fileio::Kind::Regular)
        return FileResult::failure("the lock file is not a regular file");

    // Polled rather than blocking, so that a holder that never lets go (a
    // stopped process) costs a bounded wait, not a hung program.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause{1};
    for (;;) {
        const fileio::LockTry locked = fileio::tryLock(file);
        if (locked == fileio::LockTry::Locked) {
            file_ = std::move(file);
            return FileResult::success();
        }
        if (locked == fileio::LockTry::Failed)
            return FileResult::fromErrno(errno);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return FileResult::failure("another program holds the lock");
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds{32});
    }
}

void FileLock::release()
{
    // Closing the file lets go of the lock.
    file_.close();
}

}  // namespace vantrel
