// The atomic replace on Windows: a temporary file beside the target, flushed
// with FlushFileBuffers, moved over it with MoveFileExW.
#include "core/files/AtomicFile.h"

#include "core/files/FileIO.h"
#include "core/files/LastLook.h"
#include "core/files/TempNames.h"
#include "core/files/win32/Win32Files.h"
#include "core/text/TextRules.h"

#include <cerrno>
#include <random>

namespace vantrel {

namespace {

using win32::widePath;

// The six letters and digits after the temporary file's stem.

// The temporary file of one write. Its writer holds it open, sharing only
// reading and renaming, so that a later writer cannot take it for one left
// by a killed writer. It is removed unless committed.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        file_.close();
        if (!name_.empty())
            ::DeleteFileW(widePath(name_).c_str());
    }

    FileResult create(const std::string& stemPath)
    {
        static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        std::random_device seed;
        std::mt19937 random(seed());
        std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
        for (int attempt = 0; attempt < 32; ++attempt) {
            std::string name = stemPath;
            for (std::size_t i = 0; i < tempnames::kLetters; ++i)
                name += kLetters[pick(random)];
            const HANDLE handle =
                ::CreateFileW(widePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                file_ = FileHandle(reinterpret_cast<FileHandle::Native>(handle));
                name_ = std::move(name);
                return FileResult::success();
            }
            if (::GetLastError() != ERROR_FILE_EXISTS)
                return FileResult::fromErrno(win32::setErrnoFromLastError());
        }
        return FileResult::failure("cannot create a temporary file beside it");
    }
    const FileHandle& file() const { return file_; }
    const std::string& name() const { return name_; }
    void close() { file_.close(); }
    void committed() { name_.clear(); }

private:
    FileHandle file_;
    std::string name_;
};

// Removes the temporary files of `stem` in `dir` whose writers are gone: a
// file no one holds open can be opened without sharing, and is deleted when
// that handle closes. Best effort.
void removeStaleTemps(const std::string& dir, const std::string& stem, const std::string& ours)
{
    const std::string prefix = tempnames::prefixOf(stem);
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(widePath(text::joinPath(dir, prefix + "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = win32::utf8(found.cFileName);
        if (!tempnames::isTempName(name, prefix) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const std::string path = text::joinPath(dir, name);
        if (path == ours)
            continue;
        const HANDLE stale = ::CreateFileW(widePath(path).c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                                           FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (stale != INVALID_HANDLE_VALUE)
            ::CloseHandle(stale);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// The failure of a move over `target`: a target another program holds
// without sharing is told as such.
FileResult moveFailure(const std::wstring& target)
{
    const int error = win32::setErrnoFromLastError();
    const HANDLE probe = ::CreateFileW(target.c_str(), DELETE, win32::kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        return FileResult::fromErrno(error);
    }
    return FileResult::fromErrno(::GetLastError() == ERROR_SHARING_VIOLATION ? fileio::kInUseError : error);
}

}  // namespace

FileResult replaceFileAtomically(const std::string& path, std::string_view bytes, const ReplaceOptions& options)
{
    if (FileResult looked = replacesteps::lookAtPath(path); !looked)
        return looked;
    const std::string target = options.followLinks ? fileio::linkTarget(path) : path;
    if (target.empty())
        return FileResult::fromErrno(errno);
    if (!options.followLinks) {
        // The attributes of the name itself: a link (a reparse point) is not followed.
        const DWORD attributes = ::GetFileAttributesW(widePath(target).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return FileResult::failure(std::string(kSymbolicLinkCause));
    }

    const std::size_t slash = target.find_last_of(text::kPathSeparators);
    const std::string dir = text::folderOf(target);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    if (FileResult looked = replacesteps::lookAtFolder(dir); !looked)
        return looked;
    std::optional<fileio::FileInfo> old;
    if (FileResult looked = replacesteps::lookAtTarget(target, options, old); !looked)
        return looked;

    const std::string stem = tempnames::stemOf(base);
    TempFile temp;
    if (FileResult created = temp.create(text::joinPath(dir, tempnames::prefixOf(stem))); !created)
        return created;
    if (FileResult written = fileio::writeAll(temp.file(), bytes); !written)
        return written;
    if (!fileio::flush(temp.file()))
        return FileResult::fromErrno(errno);
    // The move keeps the file's volume and index: what it is now is what
    // stands at the target once moved.
    const std::optional<FileIdentity> written = fileIdentity(temp.file());

    // Windows cannot swap two names in one step as Linux does, so replacing
    // a file is a last look followed by the move: a file another program puts
    // in place between the two is still replaced. The gap is a few
    // microseconds. A new file is moved without leave to replace, so one that
    // appears meanwhile is never lost.
    if (FileResult looked = replacesteps::lastLook(target, options); !looked)
        return looked;
    const std::wstring from = widePath(temp.name());
    const std::wstring to = widePath(target);
    const DWORD kMove = old ? MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH : MOVEFILE_WRITE_THROUGH;
    if (!::MoveFileExW(from.c_str(), to.c_str(), kMove)) {
        if (!old && (::GetLastError() == ERROR_ALREADY_EXISTS || ::GetLastError() == ERROR_FILE_EXISTS))
            return FileResult::failure(std::string(kChangedMeanwhileCause));
        // A system that will not rename a file still open: let go of it first.
        if (::GetLastError() != ERROR_SHARING_VIOLATION && ::GetLastError() != ERROR_ACCESS_DENIED)
            return moveFailure(to);
        temp.close();
        // A reader that has the target open for a moment (another copy of
        // this program reading the log) makes the move fail with "access
        // denied" until it lets go: tried again for up to about two seconds.
        DWORD pause = 1;
        for (int tries = 0;; ++tries) {
            if (::MoveFileExW(from.c_str(), to.c_str(), kMove))
                break;
            const DWORD error = ::GetLastError();
            if (!old && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
                return FileResult::failure(std::string(kChangedMeanwhileCause));
            if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || tries == 60)
                return moveFailure(to);
            ::Sleep(pause);
            pause = pause < 32 ? pause * 2 : 32;
        }
    }
    if (options.placed)
        *options.placed = written;
    const std::string committedName = temp.name();
    temp.committed();
    temp.close();
    removeStaleTemps(dir, stem, committedName);
    return FileResult::success();
}

}  // namespace vantrel
