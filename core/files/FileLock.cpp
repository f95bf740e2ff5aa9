#include "core/files/FileLock.h"

#include "core/files/FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
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

int openLockFile(const std::string& name)
{
    const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | flags, 0666);
    if (fd >= 0 || errno != EACCES)
        return fd;
    // Another user's lock file may be ours to read only; that is enough to
    // lock it. When there is none, the folder's refusal is what counts.
    const int refused = errno;
    const int readOnly = ::open(name.c_str(), O_RDONLY | flags);
    if (readOnly < 0)
        errno = refused;
    return readOnly;
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

FileLock::~FileLock()
{
    release();
}

std::string FileLock::lockFileFor(const std::string& path)
{
    const std::string target = linkTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.size() > kLongestStem)
        base.resize(kLongestStem);
    return dir + "." + base + ".lock";
}

FileResult FileLock::acquire(const std::string& path, std::chrono::milliseconds wait)
{
    release();
    const std::string name = lockFileFor(path);
    const int fd = openLockFile(name);
    if (fd < 0)
        return FileResult::fromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return FileResult::fromErrno(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileResult::failure("the lock file is not a regular file");
    }

    // Polled rather than blocking, so that a holder that never lets go (a
    // stopped process) costs a bounded wait, not a hung program.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause{1};
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return FileResult::success();
        }
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            const int error = errno;
            ::close(fd);
            return FileResult::fromErrno(error);
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            ::close(fd);
            return FileResult::failure("another program holds the lock");
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds{32});
    }
}

void FileLock::release()
{
    if (fd_ < 0)
        return;
    // Closing the descriptor lets go of the lock.
    ::close(fd_);
    fd_ = -1;
}

}  // namespace vantrel
