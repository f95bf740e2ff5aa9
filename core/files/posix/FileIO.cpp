// The file interface on POSIX systems.
#include "core/files/FileIO.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

bool FileHandle::close()
{
    if (native_ == kNone)
        return true;
    const bool ok = ::close(static_cast<int>(native_)) == 0;
    native_ = kNone;
    return ok;
}

namespace {

int fdOf(const FileHandle& file)
{
    return static_cast<int>(file.native());
}

fileio::FileInfo infoFrom(const struct stat& st)
{
    fileio::FileInfo info;
    info.kind = S_ISREG(st.st_mode)   ? fileio::Kind::Regular
                : S_ISDIR(st.st_mode) ? fileio::Kind::Directory
                                      : fileio::Kind::Other;
    info.identity.volume = static_cast<std::uint64_t>(st.st_dev);
    info.identity.index = static_cast<std::uint64_t>(st.st_ino);
    info.identity.size = static_cast<std::int64_t>(st.st_size);
    info.identity.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    info.mode = static_cast<unsigned>(st.st_mode & 07777);
    info.owner = static_cast<std::uint32_t>(st.st_uid);
    info.group = static_cast<std::uint32_t>(st.st_gid);
    return info;
}

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

}  // namespace vantrel

namespace vantrel::fileio {

static_assert(kAnyWriteBit == (S_IWUSR | S_IWGRP | S_IWOTH));

FileHandle openWithoutWaiting(const std::string& path, Access access, bool followLinks)
{
    const int flags = (access == Access::Read ? O_RDONLY : O_RDWR) | (followLinks ? 0 : O_NOFOLLOW);
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    // O_NONBLOCK only kept a FIFO from blocking the open; regular files ignore it.
    return FileHandle(fd);
}

std::optional<FileInfo> infoOf(const FileHandle& file)
{
    struct stat st {};
    if (::fstat(fdOf(file), &st) != 0)
        return std::nullopt;
    return infoFrom(st);
}

std::optional<FileInfo> infoOf(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return infoFrom(st);
}

std::int64_t readSome(const FileHandle& file, void* buffer, std::size_t count)
{
    ssize_t n = 0;
    do
        n = ::read(fdOf(file), buffer, count);
    while (n < 0 && errno == EINTR);
    return n;
}

FileResult writeAll(const FileHandle& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fdOf(file), bytes.data(), bytes.size());
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

std::size_t readAt(const FileHandle& file, void* buffer, std::size_t count, std::int64_t offset)
{
    auto* out = static_cast<char*>(buffer);
    return transferAll(count, [&](std::size_t done) {
        return ::pread(fdOf(file), out + done, count - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

std::size_t writeAt(const FileHandle& file, const void* buffer, std::size_t count, std::int64_t offset)
{
    const auto* in = static_cast<const char*>(buffer);
    return transferAll(count, [&](std::size_t done) {
        return ::pwrite(fdOf(file), in + done, count - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

bool flush(const FileHandle& file)
{
    return ::fsync(fdOf(file)) == 0;
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

bool canCreateIn(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool canWrite(const std::string& path)
{
    return ::access(path.c_str(), W_OK) == 0;
}

bool isDeviceName(std::string_view)
{
    return false;
}

FileHandle openLockFile(const std::string& name)
{
    const int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | flags, 0666);
    if (fd >= 0 || errno != EACCES)
        return FileHandle(fd);
    // Another user's lock file may be ours to read only; that is enough to
    // lock it. When there is none, the folder's refusal is what counts.
    const int refused = errno;
    const int readOnly = ::open(name.c_str(), O_RDONLY | flags);
    if (readOnly < 0)
        errno = refused;
    return FileHandle(readOnly);
}

LockTry tryLock(const FileHandle& file)
{
#if defined(F_OFD_SETLK)
    // A record lock on the first byte, as the Windows program takes it with
    // LockFileEx: Wine keeps a Windows program's locks as record locks on the
    // file, so the programs of both systems working on one log meet here. An
    // open file description's lock, unlike a process's record lock, goes
    // with this handle alone, as flock's does.
    struct flock region {};
    region.l_type = F_WRLCK;
    region.l_whence = SEEK_SET;
    region.l_start = 0;
    region.l_len = 1;
    for (;;) {
        if (::fcntl(fdOf(file), F_OFD_SETLK, &region) == 0) {
            if (region.l_type == F_WRLCK)
                return LockTry::Locked;
            // Another user's lock file, ours to read only, takes a read lock,
            // which keeps out every writer that may write it; flock keeps
            // out the others who may only read it.
            if (::flock(fdOf(file), LOCK_EX | LOCK_NB) == 0)
                return LockTry::Locked;
            const int error = errno;
            region.l_type = F_UNLCK;
            ::fcntl(fdOf(file), F_OFD_SETLK, &region);
            errno = error;
            return error == EWOULDBLOCK ? LockTry::Busy : LockTry::Failed;
        }
        if (errno == EINTR)
            continue;
        if (errno == EBADF && region.l_type == F_WRLCK) {
            region.l_type = F_RDLCK;
            continue;
        }
        if (errno != EINVAL)
            return errno == EAGAIN || errno == EACCES ? LockTry::Busy : LockTry::Failed;
        break;  // a system without such locks (a kernel before 3.15): flock below
    }
#endif
    for (;;) {
        if (::flock(fdOf(file), LOCK_EX | LOCK_NB) == 0)
            return LockTry::Locked;
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? LockTry::Busy : LockTry::Failed;
    }
}

}  // namespace vantrel::fileio
