// The looks an atomic replace takes, the same on both systems: at the
// start, at the path, its folder and the file it would replace; and the last
// one before it moves its new file into place, where a target that is no
// longer the file the caller read ends the save, before anything is moved.
#pragma once

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/files/FileIdentity.h"
#include "core/files/FileResult.h"
#include "core/text/TextRules.h"

namespace vantrel::replacesteps {

// A path that can name a file to replace: not empty, not ending with a
// separator, not a device (CON, NUL on Windows).
inline FileResult lookAtPath(const std::string& path)
{
    if (path.empty())
        return FileResult::fromErrno(ENOENT);
    if (std::string_view(text::kPathSeparators).find(path.back()) != std::string_view::npos)
        return FileResult::fromErrno(EISDIR);
    if (fileio::isDeviceName(path))
        return FileResult::failure(std::string(kNotRegularFileCause));
    return FileResult::success();
}

// The folder the new file goes into: there, a folder, and one this process
// may create files in.
inline FileResult lookAtFolder(const std::string& dir)
{
    const std::optional<fileio::FileInfo> folder = fileio::infoOf(dir);
    if (!folder)
        return FileResult::fromErrno(errno);
    if (folder->kind != fileio::Kind::Directory)
        return FileResult::fromErrno(ENOTDIR);
    if (!fileio::canCreateIn(dir))
        return FileResult::fromErrno(errno);
    return FileResult::success();
}

// The file at `target` that the replace would put its bytes over, into `old`
// (nullopt when there is none): a file that may be replaced as `options`
// ask, a regular file neither read-only nor closed to this process, and still
// the expected one.
inline FileResult lookAtTarget(const std::string& target, const ReplaceOptions& options,
                               std::optional<fileio::FileInfo>& old)
{
    old = fileio::infoOf(target);
    if (old) {
        if (options.mustBeNew)
            return FileResult::failure(std::string(kChangedMeanwhileCause));
        if (old->kind != fileio::Kind::Regular)
            return FileResult::failure(std::string(kNotRegularFileCause));
        // A file without any write bit is one the user marked read-only and
        // is left alone, also where the system would let this process write
        // it (root).
        if ((old->mode & fileio::kAnyWriteBit) == 0)
            return FileResult::failure(std::string(kReadOnlyCause));
        if (!fileio::canWrite(target))
            return FileResult::fromErrno(errno);
        if (options.expected && old->identity != *options.expected)
            return FileResult::failure(std::string(kChangedMeanwhileCause));
    } else if (errno != ENOENT) {
        return FileResult::fromErrno(errno);
    } else if (options.expected) {
        return FileResult::failure(std::string(kChangedMeanwhileCause));
    }
    return FileResult::success();
}

// Runs the caller's steps around the look (beforeRename, afterLastLook) and
// fails with kChangedMeanwhileCause when options.expected no longer names
// the file at `target`.
inline FileResult lastLook(const std::string& target, const ReplaceOptions& options)
{
    if (options.beforeRename)
        options.beforeRename();
    if (options.expected) {
        const std::optional<FileIdentity> now = fileIdentity(target);
        if (!now || *now != *options.expected)
            return FileResult::failure(std::string(kChangedMeanwhileCause));
    }
    if (options.afterLastLook)
        options.afterLastLook();
    return FileResult::success();
}

}  // namespace vantrel::replacesteps
