#include "core/files/FileIO.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::fileio {

FileResult readAll(int fd, std::string& bytes, std::size_t limit)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > limit)
                return FileResult::failure(std::string(kTooLargeCause));
        } else if (n == 0) {
            return FileResult::success();
        } else if (errno != EINTR) {
            return FileResult::fromErrno(errno);
        }
    }
}

FileResult writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return FileResult::fromErrno(errno);
        }
        if (n == 0)
            return FileResult::fromErrno(ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return FileResult::success();
}

namespace {

// Calls `step(done)` for the rest until `count` bytes are through, a call
// makes no progress or one fails; interrupted calls are retried.
template <typename Step>
std::size_t transferAll(std::size_t count, Step step)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = step(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

std::size_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset)
{
    auto* out = static_cast<char*>(buffer);
    return transferAll(count, [&](std::size_t done) {
        return ::pread(fd, out + done, count - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

std::size_t writeAt(int fd, const void* buffer, std::size_t count, std::int64_t offset)
{
    const auto* in = static_cast<const char*>(buffer);
    return transferAll(count, [&](std::size_t done) {
        return ::pwrite(fd, in + done, count - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

int openWithoutWaiting(const std::string& path, int flags)
{
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int openRegularForReading(const std::string& path, FileResult& failure)
{
    const int fd = openWithoutWaiting(path, O_RDONLY);
    if (fd < 0) {
        failure = FileResult::fromErrno(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        failure = S_ISDIR(st.st_mode) ? FileResult::fromErrno(EISDIR) : FileResult::failure(std::string(kNotRegularFileCause));
        ::close(fd);
        return -1;
    }
    // O_NONBLOCK only kept a FIFO from blocking the open; regular files ignore it.
    return fd;
}

FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit)
{
    FileResult failure = FileResult::success();
    const int fd = openRegularForReading(path, failure);
    if (fd < 0)
        return failure;
    FileResult read = readAll(fd, bytes, limit);
    ::close(fd);
    return read;
}

std::string linkTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

}  // namespace vantrel::fileio
