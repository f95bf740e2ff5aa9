#include "core/mainlog/MainLogFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <utility>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/text/TextRules.h"
#include "core/text/Windows1252.h"

namespace vantrel::mainlog {

namespace {

// The first CR or LF from `from` on, or `last`.
const char* nextLineBreak(const char* from, const char* last)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    for (;;) {
        // Eight bytes at a time past words without a byte below CR.
        while (last - from >= 8) {
            std::uint64_t word;
            std::memcpy(&word, from, sizeof word);
            if (((word - kOnes * ('\r' + 1)) & ~word & kHighBits) != 0)
                break;
            from += 8;
        }
        const char* const stop = last - from >= 8 ? from + 8 : last;
        for (; from != stop; ++from) {
            if (*from == '\r' || *from == '\n')
                return from;
        }
        if (from == last)
            return last;
    }
}

// The file's text between its line breaks: every CR LF, lone CR and lone LF
// is one line break. Calls `stretch(text)` for each run of text and
// `lineBreak(atEnd)` for each line break, `atEnd` when it closes the bytes.
template <typename Stretch, typename LineBreak>
void splitAtLineBreaks(std::string_view bytes, Stretch&& stretch, LineBreak&& lineBreak)
{
    const char* const first = bytes.data();
    const char* const last = first + bytes.size();
    const char* from = first;
    while (from != last) {
        const char* end = nextLineBreak(from, last);
        if (end != from)
            stretch(std::string_view(from, static_cast<std::size_t>(end - from)));
        if (end == last) {
            from = last;
            break;
        }
        from = end + 1;
        if (*end == '\r' && from != last && *from == '\n')
            ++from;
        lineBreak(from == last);
    }
}

// Every CR LF, lone CR and lone LF becomes "\n".
std::string normalizedLineBreaks(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    splitAtLineBreaks(
        bytes, [&](std::string_view text) { out.append(text); }, [&](bool) { out += '\n'; });
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

// Where the bytes can be cut after their last line break, looked for from
// `from` on: after the last LF, or after the last CR when a byte follows it
// (a final CR may still get its LF). 0 when there is no such break.
std::size_t endOfLastLine(std::string_view bytes, std::size_t from)
{
    for (std::size_t i = bytes.size(); i > from; --i) {
        const char c = bytes[i - 1];
        if (c == '\n' || (c == '\r' && i < bytes.size()))
            return i;
    }
    return 0;
}

// The name a file is known by: links and "." or ".." resolved as far as the
// path exists.
std::string canonicalKey(const std::string& path)
{
    std::error_code error;
    std::filesystem::path key = std::filesystem::weakly_canonical(fileio::toPath(path), error);
    if (error)
        key = std::filesystem::absolute(fileio::toPath(path), error);
    return error ? path : fileio::toUtf8(key);
}

}  // namespace

std::string cannotOpenMessage(const std::string& path)
{
    return text::withFullStop("Cannot open file " + path);
}

std::string cannotCreateMessage(const std::string& path)
{
    return cannotCreateFileMessage(path);
}

std::string cannotLockMessage(const std::string& lockFile)
{
    return text::withFullStop("Cannot lock file " + lockFile);
}

PieceReader::PieceReader(const std::string& path) : path_(path), outcome_(FileResult::success())
{
    // Non-blocking, so that a FIFO without a writer or a device cannot hold
    // the program in open(); anything but a regular file is refused below.
    FileHandle file = fileio::openWithoutWaiting(path, fileio::Access::Read);
    if (!file) {
        outcome_ = readFailure(cannotOpenMessage(path), fileio::errorText(errno));
        return;
    }
    // Taken before the bytes are read: a change while reading shows as a
    // change later.
    const std::optional<fileio::FileInfo> info = fileio::infoOf(file);
    if (!info) {
        outcome_ = readFailure(cannotOpenMessage(path), fileio::errorText(errno));
        return;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(info->identity.size);
    if (info->kind != fileio::Kind::Regular)
        outcome_ = readFailure(cannotOpenMessage(path), std::string(kNotRegularFileCause));
    else if (size > kCapacityBytes)
        // Checked before reading, so an oversized file costs no memory.
        outcome_ = readFailure(std::string(kTooLargeMessage), tooLargeCause(path, size));
    outcome_.identity = info->identity;
    if (outcome_.ok())
        file_ = std::move(file);
}

PieceReader::~PieceReader() = default;

void PieceReader::fail(ReadResult failure)
{
    failure.identity = outcome_.identity;
    outcome_ = std::move(failure);
    carry_.clear();
    file_.close();
}

void PieceReader::next(std::size_t bytes, std::string& piece)
{
    for (;;) {
        if (carry_.size() >= bytes || !file_) {
            const std::size_t cut = !file_ ? carry_.size() : endOfLastLine(carry_, checked_);
            if (cut > 0) {
                piece.append(carry_, 0, cut);
                carry_.erase(0, cut);
                checked_ = 0;
                return;
            }
            // One long line so far: what is read next is all that needs a look.
            checked_ = carry_.empty() ? 0 : carry_.size() - 1;
        }
        if (!file_)
            return;
        const std::size_t before = carry_.size();
        const std::size_t room = std::max<std::size_t>(bytes, 4096);
        carry_.resize(before + room);
        const std::int64_t n = fileio::readSome(file_, carry_.data() + before, room);
        if (n < 0) {
            fail(readFailure(cannotOpenMessage(path_), fileio::errorText(errno)));
            return;
        }
        carry_.resize(before + static_cast<std::size_t>(n));
        total_ += static_cast<std::uint64_t>(n);
        // The file may have grown since it was measured.
        if (total_ > kCapacityBytes) {
            fail(readFailure(std::string(kTooLargeMessage), tooLargeCause(path_, total_)));
            return;
        }
        if (n == 0)
            file_.close();
    }
}

// What a whole read takes in at a time.
constexpr std::size_t kWholeReadBytes = 1u << 20;

ReadResult readBytes(const std::string& path)
{
    PieceReader reader(path);
    std::string bytes;
    if (reader.outcome().identity)
        bytes.reserve(static_cast<std::size_t>(reader.outcome().identity->size));
    while (!reader.atEnd())
        reader.next(kWholeReadBytes, bytes);
    ReadResult result = reader.outcome();
    if (result.ok())
        result.text = std::move(bytes);
    return result;
}

std::string decode(std::string_view bytes)
{
    return cp1252::toUtf8(normalizedLineBreaks(bytes));
}

bool isTextLog(std::string_view bytes)
{
    return bytes.find('\0') == std::string_view::npos;
}

ReadResult read(const std::string& path)
{
    ReadResult result = readBytes(path);
    if (result.ok())
        result.text = decode(result.text);
    return result;
}

std::size_t decodeToUtf16(std::string_view bytes, char16_t* out, char16_t lineBreak, char16_t paragraphBreak,
                          std::size_t linesPerParagraph)
{
    char16_t* const start = out;
    std::size_t linesInParagraph = 0;
    splitAtLineBreaks(
        bytes,
        [&](std::string_view text) {
            // Widened as ASCII first; bytes from 0x80 on, rare in a log,
            // looked up afterwards.
            unsigned char seen = 0;
            for (std::size_t i = 0; i < text.size(); ++i) {
                const auto byte = static_cast<unsigned char>(text[i]);
                out[i] = byte;
                seen |= byte;
            }
            if (seen & 0x80) {
                for (std::size_t i = 0; i < text.size(); ++i)
                    out[i] = cp1252::kUtf16[static_cast<unsigned char>(text[i])];
            }
            out += text.size();
        },
        [&](bool atEnd) {
            if (atEnd || ++linesInParagraph >= linesPerParagraph) {
                *out++ = paragraphBreak;
                linesInParagraph = 0;
            } else {
                *out++ = lineBreak;
            }
        });
    return static_cast<std::size_t>(out - start);
}

std::string appendedText(std::string_view line, bool atLineStart)
{
    std::string added;
    added.reserve(line.size() + 1);
    if (atLineStart) {
        added.append(line);
        added += '\n';
    } else {
        added += '\n';
        added.append(line);
    }
    return added;
}

void appendLine(std::string& text, std::string_view line)
{
    text += appendedText(line, text.empty() || text.back() == '\n');
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
    // A device (CON, NUL on Windows) is the log itself refused, not its lock.
    if (fileio::isDeviceName(path)) {
        result_ = FileResult::refused(cannotOpenMessage(path), std::string(kNotRegularFileCause));
        return;
    }
    const FileResult locked = lock_.acquire(path, wait);
    if (locked)
        return;
    const std::string folder = text::folderOf(FileLock::lockFileFor(path));
    if (!fileio::canCreateIn(folder))
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
    replace.mustBeNew = options.mustBeNew;
    if (const FileResult replaced = replaceFileAtomically(path, bytes, replace); !replaced)
        return WriteResult(FileResult::refused(cannotCreateMessage(path), replaced.cause()));
    WriteResult result(FileResult::success());
    result.identity = fileIdentity(path);
    return result;
}

AppendResult appendLines(const std::string& path, const std::vector<std::string>& lines, const AppendOptions& options)
{
    const LogLock lock(path, options.lockWait);
    if (!lock.ok())
        return AppendResult(lock.result());
    for (int attempt = 1;; ++attempt) {
        WriteOptions write;
        write.heldLock = &lock;
        std::string text;
        if (!fileio::infoOf(path) && errno == ENOENT) {
            write.mustBeNew = true;
        } else {
            ReadResult existing = read(path);
            if (!existing.ok())
                return AppendResult(std::move(existing));
            if (!isTextLog(existing.text)) {
                AppendResult refused(FileResult::refused(cannotOpenMessage(path), "the file holds NUL bytes"));
                refused.notTextLog = true;
                return refused;
            }
            text = std::move(existing.text);
            write.expected = existing.identity;
        }
        for (const std::string& line : lines)
            appendLine(text, line);
        if (options.afterRead)
            options.afterRead();
        const WriteResult written = mainlog::write(path, text, write);
        if (written.ok() || written.cause() != kChangedMeanwhileCause || attempt == kAppendTries) {
            AppendResult result(static_cast<const FileResult&>(written));
            result.identity = written.identity;
            return result;
        }
    }
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
            if (seen.identity && seen.identity->volume == now->volume && seen.identity->index == now->index)
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
    // A file that is gone loses nothing when it is written anew.
    if (!now)
        return Risk::None;
    const Seen* seen = find(path, now);
    if (!seen)
        return Risk::NotHeld;
    if (seen->loadFailed)
        return Risk::NotLoaded;
    if (!seen->identity || *seen->identity != *now)
        return Risk::Changed;
    return Risk::None;
}

}  // namespace vantrel::mainlog
