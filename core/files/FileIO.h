// The program's own calls to the operating system for files: opening
// without waiting, reads and writes at an offset with retry, whole files,
// what a file is, the lock, read-only checks and folders. A POSIX and a Win32
// implementation (core/files/posix, core/files/win32) are chosen by the
// build; what follows here holds on both. The atomic replace
// (core/files/*/AtomicFile.cpp) makes its own calls beside these: its
// temporary files, their locks and the rename.
//
// No other part of the program calls the system for files (open, stat,
// CreateFileW and the like), save core/platform for the system's own places,
// registry and processes. Besides them the core reaches files through
// std::filesystem, with paths made by toPath(): whether a path exists or is a
// folder, a file's size, canonical names, making folders, and listing and
// removing backups (core/pilot, core/settings, core/mainlog/KnownFiles.cpp,
// cli/commands). The windows see names and folders through Qt (QFileInfo,
// QDir, QFileSystemWatcher) and read and write files only through the core.
// The build's own tools (tools/, cli/man_page.cpp), the tests, benchmarks
// and fuzzers call the system or the C++ library directly.
//
// Failures set errno to the cause, also on Windows, where the system's
// codes are turned into the nearest errno values (and kInUseError).
// Paths are UTF-8 text; on Windows they are used as UTF-16 throughout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/FileHandle.h"
#include "core/files/FileIdentity.h"
#include "core/files/FileResult.h"

namespace vantrel::fileio {

inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// The errno-style code of a file another program holds open without
// sharing it (Windows): told as kInUseCause.
inline constexpr int kInUseError = 0x7601;
// The errno-style code of a path that names a FIFO, a socket or a device:
// told as kNotRegularFileCause.
inline constexpr int kNotRegularError = 0x7602;
inline constexpr std::string_view kInUseCause = "the file is in use by another program";
// The errno-style code of a file with the read-only attribute opened for
// writing (Windows): told as kReadOnlyCause.
inline constexpr int kReadOnlyError = 0x7603;

// The text telling of an errno value, the same on every system (the GNU C
// library's words), so that messages read alike everywhere.
std::string errorText(int error);

// A path from UTF-8 text, and the UTF-8 text of a path.
std::filesystem::path toPath(std::string_view utf8);
std::string toUtf8(const std::filesystem::path& path);

enum class Access { Read, ReadWrite };
enum class Kind { Regular, Directory, Other };

// What an open file or a path is.
struct FileInfo {
    Kind kind = Kind::Other;
    FileIdentity identity;
    // The permission bits; on Windows 0444 for a file with the read-only
    // attribute and 0666 otherwise.
    unsigned mode = 0;
    // The owning user and group (POSIX); 0 on Windows.
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// The permission bits that allow writing (owner, group, others): a file
// with none of them is one the user marked read-only.
inline constexpr unsigned kAnyWriteBit = 0222;

// Opens an existing `path` without waiting: a FIFO without a writer or a
// device cannot hold the caller (on Windows device names such as CON, NUL,
// COM1 or \\.\... are refused with kNotRegularError before any open). Other
// programs may keep reading and writing the file (the game keeps its own
// handles). With `followLinks` false a link itself is opened. Invalid on
// failure, errno telling why.
FileHandle openWithoutWaiting(const std::string& path, Access access, bool followLinks = true);

// Opens `path` as openWithoutWaiting does and checks it is a regular file:
// invalid on failure, with the cause in `failure`.
FileHandle openRegular(const std::string& path, Access access, FileResult& failure);

// What the open file is; nullopt with errno on failure.
std::optional<FileInfo> infoOf(const FileHandle& file);
// What `path` names, links followed; nullopt with errno on failure.
std::optional<FileInfo> infoOf(const std::string& path);

// Reads what comes, at most `count` bytes, from the file's position:
// 0 at the end, -1 with errno on failure. Interrupted reads are retried.
std::int64_t readSome(const FileHandle& file, void* buffer, std::size_t count);

// Appends everything `file` gives until its end. Fails with kTooLargeCause
// as soon as more than `limit` bytes came; `bytes` then holds what came, the
// read that went over included.
FileResult readAll(const FileHandle& file, std::string& bytes, std::size_t limit = kNoLimit);

// Writes all of `bytes` at the file's position; a write that makes no
// progress is a full disk.
FileResult writeAll(const FileHandle& file, std::string_view bytes);

// Reads `count` bytes from `offset` on, until all are in, the file ends or a
// read fails (errno then tells why): how many were read.
std::size_t readAt(const FileHandle& file, void* buffer, std::size_t count, std::int64_t offset);

// Writes `count` bytes at `offset`, until all are out or a write makes no
// progress or fails (errno then tells why): how many were written.
std::size_t writeAt(const FileHandle& file, const void* buffer, std::size_t count, std::int64_t offset);

// Pushes the file's written bytes to the disk.
bool flush(const FileHandle& file);

// The whole file, as readAll on openRegular.
FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit = kNoLimit);

// The file a link points to, or the path itself when it is no link. Empty
// when a link cannot be followed (dangling, looping), with errno telling why.
std::string linkTarget(const std::string& path);

// Whether this process may create files in `folder`; errno tells why not.
bool canCreateIn(const std::string& folder);

// Whether this process may write the existing file `path` by its access
// rights; errno tells why not. Always true on Windows, where the access list
// tells only when the file is opened (the read-only attribute shows in
// FileInfo::mode).
bool canWrite(const std::string& path);

// Whether `path` names a device on Windows (CON, NUL, COM1, \\.\...);
// always false on POSIX, where such files are told by what they are.
bool isDeviceName(std::string_view path);

// The lock file `name`, opened (created when missing, for every user; on
// Windows hidden) so that it can be locked. A link is not followed. Invalid on failure, errno telling why.
FileHandle openLockFile(const std::string& name);

enum class LockTry { Locked, Busy, Failed };
// Takes the exclusive lock of the open file without waiting: a lock on its
// first byte, which the programs of both systems see (an open file
// description's record lock on Linux, LockFileEx on Windows, which Wine
// keeps as a record lock too); it goes with the handle. errno tells why
// on Failed.
LockTry tryLock(const FileHandle& file);

}  // namespace vantrel::fileio
