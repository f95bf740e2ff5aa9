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
            if (bytes.size() + static_cast<std::size_t>(n) > limit)
                return FileResult::failure(std::string(kTooLargeCause));
            bytes.append(buffer, static_cast<std::size_t>(n));
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

int openRegularForReading(const std::string& path, FileResult& failure)
{
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
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
