// The file interface on Windows: wide paths, sharing that lets the game keep
// its own handles, LockFileEx, and device names refused.
#include "core/files/FileIO.h"

#include "core/files/win32/Win32Files.h"
#include "core/text/TextRules.h"

#include <cerrno>
#include <cwctype>

namespace vantrel {

namespace {

HANDLE handleOf(const FileHandle& file)
{
    return reinterpret_cast<HANDLE>(file.native());
}

FileHandle adopt(HANDLE handle)
{
    return FileHandle(handle == INVALID_HANDLE_VALUE ? FileHandle::kNone
                                                     : reinterpret_cast<FileHandle::Native>(handle));
}

// 100-nanosecond ticks since 1601, in nanoseconds since 1970 as on POSIX
// and in the system clock.
std::int64_t nanoseconds(const FILETIME& time)
{
    constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (static_cast<std::int64_t>(ticks) - kTicksFrom1601To1970) * 100;
}

}  // namespace

bool FileHandle::close()
{
    if (native_ == kNone)
        return true;
    const bool ok = ::CloseHandle(reinterpret_cast<HANDLE>(native_)) != 0;
    native_ = kNone;
    return ok;
}

namespace win32 {

std::wstring wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), length);
    return text;
}

std::string utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

std::wstring widePath(const std::string& path)
{
    std::wstring text = wide(path);
    for (wchar_t& c : text) {
        if (c == L'/')
            c = L'\\';
    }
    // Folders take names up to MAX_PATH less room for an 8.3 name.
    constexpr std::size_t kShortestLong = MAX_PATH - 12;
    if (text.size() < kShortestLong || text.starts_with(L"\\\\?\\") || text.starts_with(L"\\\\.\\"))
        return text;
    const DWORD length = ::GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return text;
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(text.c_str(), length, full.data(), nullptr);
    full.resize(written);
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NOT_READY: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY: return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return fileio::kInUseError;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_CANT_RESOLVE_FILENAME: return ELOOP;
    default: return EIO;
    }
}

int setErrnoFromLastError()
{
    errno = errnoOf(::GetLastError());
    return errno;
}

}  // namespace win32

}  // namespace vantrel

namespace vantrel::fileio {

using win32::kShareAll;

namespace {

// errno for a failed open or look at `name`: as on POSIX, a path that leads
// through a file is "Not a directory" rather than "No such file".
int setErrnoForPath(const std::wstring& name)
{
    const DWORD error = ::GetLastError();
    errno = win32::errnoOf(error);
    if (error != ERROR_PATH_NOT_FOUND)
        return errno;
    std::wstring ancestor = name;
    for (;;) {
        const std::size_t slash = ancestor.find_last_of(L"\\/");
        if (slash == std::wstring::npos || slash == 0)
            break;
        ancestor.resize(slash);
        const DWORD attributes = ::GetFileAttributesW(ancestor.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            errno = ENOTDIR;
        break;
    }
    return errno;
}

}  // namespace
using win32::setErrnoFromLastError;
using win32::widePath;

bool isDeviceName(std::string_view path)
{
    // The device namespace: \\.\COM1, \\.\pipe\..., \\?\GLOBALROOT\...
    if (path.size() >= 4 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/') &&
        (path[2] == '.' || path[2] == '?') && (path[3] == '\\' || path[3] == '/')) {
        if (path[2] == '.')
            return true;
        const std::string_view rest = path.substr(4);
        const bool drive = rest.size() >= 2 && rest[1] == ':';
        return !drive && !text::equalsIgnoringCase(rest.substr(0, std::string_view("UNC\\").size()), "UNC\\");
    }
    // A reserved name in any folder, with any extension: "NUL", "con.txt", "COM1:".
    const std::size_t slash = path.find_last_of("/\\:");
    std::string_view name = path;
    if (slash != std::string_view::npos) {
        // "COM1:" names the device, as does "C:\dir\COM1".
        name = path.back() == ':' ? path.substr(0, path.size() - 1) : path.substr(slash + 1);
        if (path.back() == ':') {
            const std::size_t before = name.find_last_of("/\\:");
            if (before != std::string_view::npos)
                name = name.substr(before + 1);
        }
    }
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    static constexpr std::string_view kReserved[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const std::string_view reserved : kReserved) {
        if (text::equalsIgnoringCase(name, reserved))
            return true;
    }
    return name.size() == 4 &&
           (text::equalsIgnoringCase(name.substr(0, std::string_view("COM").size()), "COM") ||
            text::equalsIgnoringCase(name.substr(0, std::string_view("LPT").size()), "LPT")) &&
           name[3] >= '1' && name[3] <= '9';
}

FileHandle openWithoutWaiting(const std::string& path, Access access, bool followLinks)
{
    if (isDeviceName(path)) {
        errno = kNotRegularError;
        return FileHandle();
    }
    const std::wstring name = widePath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (access == Access::ReadWrite && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return FileHandle();
    }
    // The read-only attribute is the user's "do not change this file".
    if (access == Access::ReadWrite && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        errno = kReadOnlyError;
        return FileHandle();
    }
    const DWORD wanted = GENERIC_READ | (access == Access::ReadWrite ? GENERIC_WRITE : 0);
    // Backup semantics let a folder be opened, so that it is told as one.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = ::CreateFileW(name.c_str(), wanted, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        setErrnoForPath(name);
    return adopt(handle);
}

std::optional<FileInfo> infoOf(const FileHandle& file)
{
    const HANDLE handle = handleOf(file);
    FileInfo info;
    if (::GetFileType(handle) != FILE_TYPE_DISK)
        return info;
    BY_HANDLE_FILE_INFORMATION about{};
    if (!::GetFileInformationByHandle(handle, &about)) {
        setErrnoFromLastError();
        return std::nullopt;
    }
    info.kind = (about.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Directory : Kind::Regular;
    info.identity.volume = about.dwVolumeSerialNumber;
    info.identity.index = (static_cast<std::uint64_t>(about.nFileIndexHigh) << 32) | about.nFileIndexLow;
    info.identity.size =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(about.nFileSizeHigh) << 32) | about.nFileSizeLow);
    info.identity.mtimeNs = nanoseconds(about.ftLastWriteTime);
    info.mode = (about.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return info;
}

std::optional<FileInfo> infoOf(const std::string& path)
{
    if (isDeviceName(path))
        return FileInfo{};
    // Asking for no data lets this look at a file another program holds
    // without sharing.
    const std::wstring name = widePath(path);
    const HANDLE handle = ::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setErrnoForPath(name);
        return std::nullopt;
    }
    return infoOf(adopt(handle));
}

std::int64_t readSome(const FileHandle& file, void* buffer, std::size_t count)
{
    DWORD got = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
    if (::ReadFile(handleOf(file), buffer, asked, &got, nullptr))
        return got;
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
        return 0;
    errno = win32::errnoOf(error);
    return -1;
}

FileResult writeAll(const FileHandle& file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD put = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(handleOf(file), bytes.data(), asked, &put, nullptr))
            return FileResult::fromErrno(setErrnoFromLastError());
        if (put == 0)
            return FileResult::fromErrno(ENOSPC);
        bytes.remove_prefix(put);
    }
    return FileResult::success();
}

namespace {

OVERLAPPED at(std::int64_t offset)
{
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xffffffffu);
    where.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return where;
}

}  // namespace

std::size_t readAt(const FileHandle& file, void* buffer, std::size_t count, std::int64_t offset)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        OVERLAPPED where = at(offset + static_cast<std::int64_t>(done));
        DWORD got = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        if (!::ReadFile(handleOf(file), out + done, asked, &got, &where)) {
            if (::GetLastError() != ERROR_HANDLE_EOF)
                setErrnoFromLastError();
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

std::size_t writeAt(const FileHandle& file, const void* buffer, std::size_t count, std::int64_t offset)
{
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        OVERLAPPED where = at(offset + static_cast<std::int64_t>(done));
        DWORD put = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
        if (!::WriteFile(handleOf(file), in + done, asked, &put, &where)) {
            setErrnoFromLastError();
            break;
        }
        if (put == 0) {
            errno = ENOSPC;
            break;
        }
        done += put;
    }
    return done;
}

bool flush(const FileHandle& file)
{
    if (::FlushFileBuffers(handleOf(file)))
        return true;
    setErrnoFromLastError();
    return false;
}

std::string linkTarget(const std::string& path)
{
    const std::wstring name = widePath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const FileHandle file = adopt(::CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        setErrnoFromLastError();
        return {};
    }
    std::wstring target(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handleOf(file), target.data(), static_cast<DWORD>(target.size()), 0);
        if (length == 0) {
            setErrnoFromLastError();
            return {};
        }
        if (length < target.size()) {
            target.resize(length);
            break;
        }
        target.resize(length + 1);
    }
    if (target.starts_with(L"\\\\?\\UNC\\"))
        target = L"\\\\" + target.substr(8);
    else if (target.starts_with(L"\\\\?\\"))
        target = target.substr(4);
    return win32::utf8(target);
}

bool canCreateIn(const std::string& folder)
{
    // Windows tells by the folder's access list only when a file is made;
    // the read-only attribute of a folder does not keep files out.
    const DWORD attributes = ::GetFileAttributesW(widePath(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        setErrnoFromLastError();
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool canWrite(const std::string&)
{
    return true;
}

FileHandle openLockFile(const std::string& name)
{
    if (isDeviceName(name)) {
        errno = kNotRegularError;
        return FileHandle();
    }
    const std::wstring path = widePath(name);
    // Hidden, as the leading dot hides it on other systems.
    // A link is opened itself (and refused below), never followed.
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        // One made before lock files were hidden is hidden now; best effort.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_HIDDEN))
            ::SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
        // A lock file we may only read is enough to lock.
        handle = ::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            ::SetLastError(ERROR_ACCESS_DENIED);
    }
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            errno = EISDIR;  // as the POSIX open tells it, not "permission denied"
            return FileHandle();
        }
        setErrnoFromLastError();
        return adopt(handle);
    }
    BY_HANDLE_FILE_INFORMATION about{};
    if (::GetFileInformationByHandle(handle, &about) && (about.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ::CloseHandle(handle);
        errno = ELOOP;  // as O_NOFOLLOW tells it
        return FileHandle();
    }
    return adopt(handle);
}

LockTry tryLock(const FileHandle& file)
{
    OVERLAPPED whole{};
    if (::LockFileEx(handleOf(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole))
        return LockTry::Locked;
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
        return LockTry::Busy;
    errno = win32::errnoOf(error);
    return LockTry::Failed;
}

}  // namespace vantrel::fileio
