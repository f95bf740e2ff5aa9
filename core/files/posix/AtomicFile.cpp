// The atomic replace on POSIX systems.
#include "core/files/AtomicFile.h"

#include "core/files/FileIO.h"
#include "core/files/LastLook.h"
#include "core/files/TempNames.h"
#include "core/text/TextRules.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/syscall.h>
#endif
#include <utility>

namespace vantrel {

namespace {

// The temporary file of one write. It is locked for as long as its writer
// lives, so that a later writer can tell a file left by a killed writer
// (unlocked) from one still being written. It is removed unless committed.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        if (!name_.empty())
            ::unlink(name_.c_str());
    }

    FileResult create(const std::string& pattern)
    {
        // A cleaner may remove a new file before we hold its lock; we then
        // see it unlinked and take another name.
        for (int attempt = 0; attempt < 8; ++attempt) {
            std::string name = pattern;
            const int fd = ::mkostemp(name.data(), O_CLOEXEC);
            if (fd < 0)
                return FileResult::fromErrno(errno);
            struct stat st {};
            if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) {
                file_ = FileHandle(fd);
                name_ = std::move(name);
                return FileResult::success();
            }
            ::close(fd);
        }
        return FileResult::failure("cannot create a temporary file beside it");
    }
    int fd() const { return static_cast<int>(file_.native()); }
    const FileHandle& file() const { return file_; }
    const std::string& name() const { return name_; }
    bool closeFd() { return file_.close(); }
    void committed() { name_.clear(); }
    // Whether `path` (by default our own name) holds the file we wrote.
    bool holdsOurFile(const std::string& path = {}) const
    {
        struct stat ours {};
        struct stat named {};
        return file_.valid() && ::fstat(fd(), &ours) == 0 &&
               ::lstat((path.empty() ? name_ : path).c_str(), &named) == 0 && ours.st_ino == named.st_ino &&
               ours.st_dev == named.st_dev;
    }

private:
    FileHandle file_;
    std::string name_;
};

// Moving a file into place in one step. Linux can exchange two names
// (RENAME_EXCHANGE) or refuse to replace one (RENAME_NOREPLACE); elsewhere,
// and on file systems that cannot (EINVAL, ENOSYS, EOPNOTSUPP), the caller
// falls back to a look followed by a plain rename.
enum class PlaceMode : unsigned { Exchange, NoReplace };

// 0, or why it failed.
int placeInOneStep(const std::string& from, const std::string& to, PlaceMode mode)
{
#if defined(__linux__)
#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif
#ifndef RENAME_EXCHANGE
#define RENAME_EXCHANGE (1 << 1)
#endif
    const unsigned flags = mode == PlaceMode::Exchange ? RENAME_EXCHANGE : RENAME_NOREPLACE;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 28))
    const int done = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags);
#elif defined(SYS_renameat2)
    const int done = static_cast<int>(::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags));
#else
    errno = ENOSYS;
    const int done = -1;
#endif
    return done == 0 ? 0 : errno;
#else
    (void)from;
    (void)to;
    (void)mode;
    return ENOSYS;
#endif
}

bool cannotPlaceInOneStepHere(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

void syncDirectory(const std::string& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    [[maybe_unused]] const int ignored = ::fsync(fd);
    ::close(fd);
}

mode_t currentUmask()
{
    // umask can only be read by setting it; this runs on the one thread that
    // creates files.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Removes the temporary files of `stem` in `dir` whose writers are gone: no
// process holds their lock any more. Best effort: what cannot be removed is
// tried again at the next write.
void removeStaleTemps(const std::string& dir, const std::string& stem, const std::string& ours)
{
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr)
        return;
    const std::string prefix = tempnames::prefixOf(stem);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name(entry->d_name);
        if (!tempnames::isTempName(name, prefix))
            continue;
        const std::string path = text::joinPath(dir, name);
        if (path == ours)
            continue;
        const FileHandle file = fileio::openWithoutWaiting(path, fileio::Access::Read, false);
        if (!file)
            continue;
        const int fd = static_cast<int>(file.native());
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(path.c_str(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            ::unlink(path.c_str());
    }
    ::closedir(folder);
}

}  // namespace

FileResult replaceFileAtomically(const std::string& path, std::string_view bytes, const ReplaceOptions& options)
{
    if (FileResult looked = replacesteps::lookAtPath(path); !looked)
        return looked;
    const std::string target = options.followLinks ? fileio::linkTarget(path) : path;
    if (target.empty())
        return FileResult::fromErrno(errno);
    if (struct stat link{}; !options.followLinks && ::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
        return FileResult::failure(std::string(kSymbolicLinkCause));

    const std::size_t slash = target.rfind('/');
    const std::string dir = text::folderOf(target);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    if (FileResult looked = replacesteps::lookAtFolder(dir); !looked)
        return looked;
    std::optional<fileio::FileInfo> old;
    if (FileResult looked = replacesteps::lookAtTarget(target, options, old); !looked)
        return looked;
    const bool existed = old.has_value();

    const std::string stem = tempnames::stemOf(base);
    TempFile temp;
    if (FileResult created = temp.create(text::joinPath(dir, tempnames::prefixOf(stem) + "XXXXXX")); !created)
        return created;

    if (existed && (old->owner != ::geteuid() || old->group != ::getegid())) {
        // Keeps the owner when we may (as root); otherwise the new file is ours.
        [[maybe_unused]] const int ignored =
            ::fchown(temp.fd(), static_cast<uid_t>(old->owner), static_cast<gid_t>(old->group));
    }
    // After the owner, since changing the owner clears set-id bits.
    const mode_t mode = existed ? static_cast<mode_t>(old->mode)
                                : static_cast<mode_t>(options.newFileMode.value_or(0666 & ~currentUmask()) & 07777);
    if (::fchmod(temp.fd(), mode) != 0)
        return FileResult::fromErrno(errno);

    if (FileResult written = fileio::writeAll(temp.file(), bytes); !written)
        return written;
    if (::fsync(temp.fd()) != 0)
        return FileResult::fromErrno(errno);
    // Taken now: a rename or an exchange moves the change time only.
    const std::optional<FileIdentity> written = fileIdentity(temp.file());

    // Most changes made meanwhile end the save here, before anything is moved.
    if (FileResult looked = replacesteps::lastLook(target, options); !looked)
        return looked;

    // A look and a rename are two steps, and another program may put its file
    // in between. So the new file and the old one swap names in one step, and
    // what was swapped out is checked: when it is not the file that was read,
    // they swap back and the other program's file stays.
    bool placed = false;
    if (options.expected) {
        const int error = placeInOneStep(temp.name(), target, PlaceMode::Exchange);
        if (error == 0) {
            // The temporary name now holds what was at the target. The change
            // time is not compared: the exchange itself moves it.
            const FileHandle out = fileio::openWithoutWaiting(temp.name(), fileio::Access::Read, false);
            const std::optional<fileio::FileInfo> info = out ? fileio::infoOf(out) : std::nullopt;
            const bool same = info && info->kind == fileio::Kind::Regular && info->identity == *options.expected;
            if (!same) {
                // Swapped back only while ours is still in place: a file the
                // other program has put over ours since is newer than the one
                // swapped out, and stays. Whatever is not ours at the
                // temporary name then is kept, not removed.
                const bool back =
                    temp.holdsOurFile(target) && placeInOneStep(temp.name(), target, PlaceMode::Exchange) == 0;
                if (!back || !temp.holdsOurFile())
                    temp.committed();
                return FileResult::failure(std::string(kChangedMeanwhileCause));
            }
            ::unlink(temp.name().c_str());
            placed = true;
        } else if (error == ENOENT) {
            return FileResult::failure(std::string(kChangedMeanwhileCause));  // removed meanwhile
        } else if (!cannotPlaceInOneStepHere(error)) {
            return FileResult::fromErrno(error);
        }
        // This file system cannot exchange names: the look above and the
        // rename below stay two steps, as small a gap as we can make it.
    } else if (!existed) {
        const int error = placeInOneStep(temp.name(), target, PlaceMode::NoReplace);
        if (error == EEXIST)
            return FileResult::failure(std::string(kChangedMeanwhileCause));
        if (error == 0) {
            placed = true;
        } else if (!cannotPlaceInOneStepHere(error)) {
            return FileResult::fromErrno(error);
        } else if (struct stat appeared{}; ::lstat(target.c_str(), &appeared) == 0) {
            // No one-step rename here: a look, then the rename below.
            return FileResult::failure(std::string(kChangedMeanwhileCause));
        }
    }
    if (!placed && ::rename(temp.name().c_str(), target.c_str()) != 0)
        return FileResult::fromErrno(errno);
    const std::string committedName = temp.name();
    temp.committed();
    if (options.placed)
        *options.placed = written;
    // Our lock goes with the descriptor, after the rename.
    temp.closeFd();

    // The new bytes are in place; a failed directory flush cannot undo that,
    // so it does not turn the write into a failure.
    syncDirectory(dir);
    removeStaleTemps(dir, stem, committedName);
    return FileResult::success();
}

}  // namespace vantrel
