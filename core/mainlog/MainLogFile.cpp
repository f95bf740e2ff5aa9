#include "core/mainlog/MainLogFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/text/TextRules.h"
#include "core/text/Windows1252.h"

namespace vantrel::mainlog {

namespace {

// Every CR LF, lone CR and lone LF becomes "\n".
std::string normalizedLineBreaks(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    // Copied a stretch at a time between carriage returns.
    std::size_t from = 0;
    for (std::size_t cr = bytes.find('\r'); cr != std::string_view::npos; cr = bytes.find('\r', from)) {
        out.append(bytes, from, cr - from);
        out += '\n';
        from = cr + 1;
        if (from < bytes.size() && bytes[from] == '\n')
            ++from;
    }
    out.append(bytes, from);
    return out;
}

ReadResult readFailure(std::string message, std::string cause)
{
    return ReadResult(FileResult::refused(std::move(message), std::move(cause)));
}

std::string tooLargeCause(const std::string& path, std::uint64_t size)
{
    return path + " holds " + std::to_string(size) + " bytes, more than the " + std::to_string(kCapacityBytes) +
           " the log can hold";
}

// Closes the descriptor however the read ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The name a file is known by: links and "." or ".." resolved as far as the
// path exists.
std::string canonicalKey(const std::string& path)
{
    std::error_code error;
    std::filesystem::path key = std::filesystem::weakly_canonical(path, error);
    if (error)
        key = std::filesystem::absolute(path, error);
    return error ? path : key.string();
}

}  // namespace

std::string cannotOpenMessage(const std::string& path)
{
    return text::withFullStop("Cannot open file " + path);
}

std::string cannotCreateMessage(const std::string& path)
{
    return text::withFullStop("Cannot create file " + path);
}

std::string cannotLockMessage(const std::string& lockFile)
{
    return text::withFullStop("Cannot lock file " + lockFile);
}

ReadResult read(const std::string& path)
{
    // Non-blocking, so that a FIFO without a writer or a device cannot hold
    // the program in open(); anything but a regular file is refused below.
    const Descriptor file{fileio::openWithoutWaiting(path, O_RDONLY)};
    if (file.fd < 0)
        return readFailure(cannotOpenMessage(path), std::strerror(errno));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        return readFailure(cannotOpenMessage(path), std::strerror(errno));
    const std::optional<FileIdentity> identity = fileIdentity(file.fd);
    if (!S_ISREG(st.st_mode)) {
        ReadResult result = readFailure(cannotOpenMessage(path), std::string(kNotRegularFileCause));
        result.identity = identity;
        return result;
    }
    // Checked before reading, so an oversized file costs no memory.
    if (static_cast<std::uint64_t>(st.st_size) > kCapacityBytes) {
        ReadResult result =
            readFailure(std::string(kTooLargeMessage), tooLargeCause(path, static_cast<std::uint64_t>(st.st_size)));
        result.identity = identity;
        return result;
    }

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    if (const FileResult read = fileio::readAll(file.fd, bytes, kCapacityBytes); !read) {
        // The file may have grown since it was measured.
        ReadResult result = bytes.size() > kCapacityBytes
                                ? readFailure(std::string(kTooLargeMessage), tooLargeCause(path, bytes.size()))
                                : readFailure(cannotOpenMessage(path), read.cause());
        result.identity = identity;
        return result;
    }

    ReadResult result(FileResult::success());
    result.text = cp1252::toUtf8(normalizedLineBreaks(bytes));
    // Taken before the bytes were read: a change while reading shows as a
    // change later.
    result.identity = identity;
    return result;
}

void appendLine(std::string& text, std::string_view line)
{
    if (text.empty() || text.back() == '\n') {
        text.append(line);
        text += '\n';
    } else {
        text += '\n';
        text.append(line);
    }
}

std::string encode(std::string_view text)
{
    std::string withCrLf;
    withCrLf.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            withCrLf += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            withCrLf += text[i];
        }
    }
    return cp1252::fromUtf8(withCrLf);
}

LogLock::LogLock(const std::string& path, std::chrono::milliseconds wait)
{
    const FileResult locked = lock_.acquire(path, wait);
    if (locked)
        return;
    const std::string folder = text::folderOf(FileLock::lockFileFor(path));
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        result_ = FileResult::refused(cannotCreateMessage(path), locked.cause());
    else
        result_ = FileResult::refused(cannotLockMessage(FileLock::lockFileFor(path)), locked.cause());
}

WriteResult write(const std::string& path, std::string_view text, const WriteOptions& options)
{
    const std::string bytes = encode(text);
    std::optional<LogLock> ownLock;
    if (!options.heldLock) {
        ownLock.emplace(path);
        if (!ownLock->ok())
            return WriteResult(ownLock->result());
    }
    ReplaceOptions replace;
    replace.expected = options.expected;
    if (const FileResult replaced = replaceFileAtomically(path, bytes, replace); !replaced)
        return WriteResult(FileResult::refused(cannotCreateMessage(path), replaced.cause()));
    WriteResult result(FileResult::success());
    result.identity = fileIdentity(path);
    return result;
}

KnownFiles::Seen& KnownFiles::entryFor(const std::string& path, const std::optional<FileIdentity>& identity)
{
    const std::string key = canonicalKey(path);
    for (Seen& seen : seen_) {
        if (seen.key == key) {
            seen.identity = identity;
            return seen;
        }
    }
    seen_.push_back(Seen{key, identity, false});
    return seen_.back();
}

const KnownFiles::Seen* KnownFiles::find(const std::string& path, const std::optional<FileIdentity>& now) const
{
    const std::string key = canonicalKey(path);
    for (const Seen& seen : seen_) {
        if (seen.key == key)
            return &seen;
    }
    // Another name of a file we know: a hard link, or a spelling the
    // canonical path does not reach.
    if (now) {
        for (const Seen& seen : seen_) {
            if (seen.identity && seen.identity->device == now->device && seen.identity->inode == now->inode)
                return &seen;
        }
    }
    return nullptr;
}

void KnownFiles::loaded(const std::string& path, const std::optional<FileIdentity>& identity)
{
    entryFor(path, identity).loadFailed = false;
}

void KnownFiles::loadFailed(const std::string& path, const std::optional<FileIdentity>& identity)
{
    entryFor(path, identity).loadFailed = true;
}

void KnownFiles::written(const std::string& path, const std::optional<FileIdentity>& identity)
{
    entryFor(path, identity).loadFailed = false;
}

KnownFiles::Risk KnownFiles::risk(const std::string& path, const std::optional<FileIdentity>& now) const
{
    const Seen* seen = find(path, now);
    // A file that is gone loses nothing when it is written anew.
    if (!seen || !now)
        return Risk::None;
    if (seen->loadFailed)
        return Risk::NotLoaded;
    if (!seen->identity || *seen->identity != *now)
        return Risk::Changed;
    return Risk::None;
}

}  // namespace vantrel::mainlog

