#include "settings/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vantrel {

namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

// Closes a descriptor and removes the temporary file unless it was committed.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        closeFd();
        if (!name_.empty())
            ::unlink(name_.c_str());
    }

    bool create(std::string pattern)
    {
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ < 0)
            return false;
        name_ = std::move(pattern);
        return true;
    }
    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    bool closeFd()
    {
        if (fd_ < 0)
            return true;
        const bool ok = ::close(fd_) == 0;
        fd_ = -1;
        return ok;
    }
    void committed() { name_.clear(); }

private:
    int fd_ = -1;
    std::string name_;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool syncDirectory(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

mode_t currentUmask()
{
    // The program has one thread, so briefly changing the mask is safe.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The file a link points to, or the path itself when it is no link. Empty when
// a link cannot be followed (dangling, looping): we do not guess where the
// bytes should go.
std::string resolveTarget(const std::string& path)
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

}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view bytes)
{
    if (path.empty() || path.back() == '/')
        return false;
    const std::string target = resolveTarget(path);
    if (target.empty())
        return false;

    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    struct stat dirStat {};
    if (::stat(dir.c_str(), &dirStat) != 0 || !S_ISDIR(dirStat.st_mode) || ::access(dir.c_str(), W_OK | X_OK) != 0)
        return false;

    struct stat old {};
    bool existed = false;
    if (::stat(target.c_str(), &old) == 0) {
        existed = true;
        if (!S_ISREG(old.st_mode))
            return false;
        // access() grants root everything; a file without any write bit is
        // still one the user marked read-only, so it is left alone.
        if (::access(target.c_str(), W_OK) != 0 || (old.st_mode & kAnyWriteBit) == 0)
            return false;
    } else if (errno != ENOENT) {
        return false;
    }

    // The temporary name must stay within the file system's name limit, so a
    // long file name is shortened in it.
    const std::string stem = base.size() > 200 ? base.substr(0, 200) : base;
    TempFile temp;
    if (!temp.create(dir + "/." + stem + ".XXXXXX"))
        return false;

    if (existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Keeps the owner when we may (as root); otherwise the new file is ours.
        [[maybe_unused]] const int ignored = ::fchown(temp.fd(), old.st_uid, old.st_gid);
    }
    // After the owner, since changing the owner clears set-id bits.
    const mode_t mode = existed ? (old.st_mode & 07777) : (0666 & ~currentUmask());
    if (::fchmod(temp.fd(), mode) != 0)
        return false;

    if (!writeAll(temp.fd(), bytes) || ::fsync(temp.fd()) != 0 || !temp.closeFd())
        return false;
    if (::rename(temp.name().c_str(), target.c_str()) != 0)
        return false;
    temp.committed();

    // The new bytes are in place; a failed directory flush cannot undo that,
    // so it does not turn the write into a failure.
    syncDirectory(dir);
    return true;
}

}  // namespace vantrel
