// The parts of the file interface that hold on every system.
#include "core/files/FileIO.h"

#include "core/text/TextRules.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

std::optional<FileIdentity> fileIdentity(const std::string& path)
{
    const std::optional<fileio::FileInfo> info = fileio::infoOf(path);
    return info ? std::optional(info->identity) : std::nullopt;
}

std::optional<FileIdentity> fileIdentity(const FileHandle& file)
{
    const std::optional<fileio::FileInfo> info = fileio::infoOf(file);
    return info ? std::optional(info->identity) : std::nullopt;
}

FileResult FileResult::fromErrno(int error)
{
    return failure(fileio::errorText(error));
}

std::string cannotCreateFileMessage(const std::string& path)
{
    return text::withFullStop("Cannot create file " + path);
}

}  // namespace vantrel

namespace vantrel::fileio {

std::string errorText(int error)
{
    switch (error) {
    case kInUseError: return std::string(kInUseCause);
    case kNotRegularError: return std::string(kNotRegularFileCause);
    case kReadOnlyError: return std::string(kReadOnlyCause);
    case ENOENT: return "No such file or directory";
    case EACCES: return "Permission denied";
    case EPERM: return "Operation not permitted";
    case EISDIR: return "Is a directory";
    case ENOTDIR: return "Not a directory";
    case ENOSPC: return "No space left on device";
    case EEXIST: return "File exists";
    case EROFS: return "Read-only file system";
    case ENAMETOOLONG: return "File name too long";
    case EBUSY: return "Device or resource busy";
    case EINVAL: return "Invalid argument";
    case EIO: return "Input/output error";
    case EMFILE: return "Too many open files";
    case ENOMEM: return "Cannot allocate memory";
    case EFBIG: return "File too large";
    case EXDEV: return "Invalid cross-device link";
#ifdef ELOOP
    case ELOOP: return "Too many levels of symbolic links";
#endif
    default: return std::strerror(error);
    }
}

std::filesystem::path toPath(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string toUtf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

FileHandle openRegular(const std::string& path, Access access, FileResult& failure)
{
    FileHandle file = openWithoutWaiting(path, access);
    if (!file) {
        failure = FileResult::fromErrno(errno);
        return file;
    }
    const std::optional<FileInfo> info = infoOf(file);
    if (!info) {
        failure = FileResult::fromErrno(errno);
        return FileHandle();
    }
    if (info->kind != Kind::Regular) {
        failure = info->kind == Kind::Directory ? FileResult::fromErrno(EISDIR)
                                                : FileResult::failure(std::string(kNotRegularFileCause));
        return FileHandle();
    }
    return file;
}

FileResult readAll(const FileHandle& file, std::string& bytes, std::size_t limit)
{
    char buffer[65536];
    for (;;) {
        const std::int64_t n = readSome(file, buffer, sizeof buffer);
        if (n > 0) {
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > limit)
                return FileResult::failure(std::string(kTooLargeCause));
        } else if (n == 0) {
            return FileResult::success();
        } else {
            return FileResult::fromErrno(errno);
        }
    }
}

FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit)
{
    FileResult failure = FileResult::success();
    const FileHandle file = openRegular(path, Access::Read, failure);
    if (!file)
        return failure;
    return readAll(file, bytes, limit);
}

}  // namespace vantrel::fileio
