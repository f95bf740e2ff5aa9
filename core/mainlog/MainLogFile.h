// The main log's file format: the log text as 8-bit text in the game's code
// page, lines separated by CR LF, nothing else.
//
// In memory the log is UTF-8 with "\n" between lines.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/AtomicFile.h"
#include "core/files/FileHandle.h"
#include "core/files/FileLock.h"
#include "core/files/FileResult.h"

namespace vantrel::mainlog {

// A log file larger than this is refused: the text window cannot hold it.
inline constexpr std::size_t kCapacityBytes = 64u * 1024u * 1024u;

inline constexpr std::string_view kTooLargeMessage = "Text exceeds memo capacity.";
std::string cannotOpenMessage(const std::string& path);      // "Cannot open file %s."
std::string cannotCreateMessage(const std::string& path);    // "Cannot create file %s."
std::string cannotLockMessage(const std::string& lockFile);  // "Cannot lock file %s."

// The outcome of a read: on failure the message to show ("Cannot open file
// %s.") and the cause told beside it.
struct [[nodiscard]] ReadResult : FileResult {
    explicit ReadResult(FileResult outcome) : FileResult(std::move(outcome)) {}
    // read(): UTF-8, "\n" line breaks (every CR LF, lone CR and lone LF);
    // readBytes(): the file's bytes as they are.
    std::string text;
    // The file as it was when it was read (also when it could not be read,
    // as far as it could be looked at).
    std::optional<FileIdentity> identity;
};

// Never waits: a FIFO, socket or device is refused as "Cannot open file %s.".
ReadResult read(const std::string& path);

// The same, with the file's bytes left as they are, for a reader that decodes
// them itself (decodeToUtf16).
ReadResult readBytes(const std::string& path);

// A log read a piece at a time, for a window that shows the start of a long
// log while the rest is read.
class LogPieces {
public:
    virtual ~LogPieces() = default;

    // How the reading went so far, the opening included: on failure the
    // message and cause read() tells. Its identity is the file's as it was
    // when opened; its text stays empty.
    virtual const ReadResult& outcome() const = 0;

    // Whether nothing more will come: the file read to its end, or a
    // failure.
    virtual bool atEnd() const = 0;

    // Appends the next bytes to `piece`: about `bytes` of them, more when a
    // line is longer, cut after a line break so that a CR LF is never split;
    // the rest of the file at its end. Adds nothing when it finds the end or
    // fails, and from then on.
    virtual void next(std::size_t bytes, std::string& piece) = 0;
};

// A log file read a piece at a time, opened and checked as read() does it.
class PieceReader final : public LogPieces {
public:
    explicit PieceReader(const std::string& path);
    ~PieceReader() override;
    PieceReader(const PieceReader&) = delete;
    PieceReader& operator=(const PieceReader&) = delete;

    const ReadResult& outcome() const override { return outcome_; }
    bool atEnd() const override { return !file_ && carry_.empty(); }
    void next(std::size_t bytes, std::string& piece) override;

private:
    void fail(ReadResult failure);

    std::string path_;
    FileHandle file_;
    ReadResult outcome_;
    // Bytes read past the last cut.
    std::string carry_;
    // How far the carried bytes are known to hold no line break to cut at.
    std::size_t checked_ = 0;
    std::uint64_t total_ = 0;
};

// The file's bytes as UTF-16 into `out`, which has room for bytes.size()
// units. Every CR LF, lone CR and lone LF becomes `lineBreak`, except that
// every `linesPerParagraph`-th one and one at the very end become
// `paragraphBreak`, so that a text window can hold the lines in a few long
// paragraphs. Returns the number of units written.
std::size_t decodeToUtf16(std::string_view bytes, char16_t* out, char16_t lineBreak, char16_t paragraphBreak,
                          std::size_t linesPerParagraph);

// Appending one line at the very end of the log: when the text is empty or
// ends with a line break (`atLineStart`), the line followed by a line break
// is added; otherwise a line break followed by the line. Returns what is
// added, with "\n" as the line break.
std::string appendedText(std::string_view line, bool atLineStart);

// Appends one line to the in-memory text by that rule.
void appendLine(std::string& text, std::string_view line);

// The in-memory text for a log file's bytes, as read() gives it.
std::string decode(std::string_view bytes);

// Whether a file's bytes (or the text read from them) can be a main log: a
// file holding NUL bytes is no text log and is never appended to.
bool isTextLog(std::string_view bytes);

// Code-page bytes with CR LF line ends for the in-memory text; characters the
// code page cannot hold become '?'.
std::string encode(std::string_view text);

// The lock every change of one log file holds, in this program and in
// vantrel-cli alike, so that a read-modify-replace of one writer never
// drops the lines another added meanwhile.
class LogLock {
public:
    explicit LogLock(const std::string& path, std::chrono::milliseconds wait = FileLock::kDefaultWait);
    // A lock that cannot be had in a folder where the log cannot be written
    // either is the write's own failure, "Cannot create file %s."; any other
    // is "Cannot lock file %s." for the lock file.
    const FileResult& result() const { return result_; }
    bool ok() const { return result_.ok(); }

private:
    FileLock lock_;
    FileResult result_ = FileResult::success();
};

struct WriteOptions {
    // Replace the file only while it is still this one.
    std::optional<FileIdentity> expected;
    // Write only while there is no file yet.
    bool mustBeNew = false;
    // The log's lock, when the caller already holds it for a
    // read-modify-replace; otherwise the write takes it itself.
    const LogLock* heldLock = nullptr;
};

// The outcome of a write: on failure the message to show ("Cannot create
// file %s.") and the cause told beside it.
struct [[nodiscard]] WriteResult : FileResult {
    explicit WriteResult(FileResult outcome) : FileResult(std::move(outcome)) {}
    // The file as written, looked at before the lock was let go.
    std::optional<FileIdentity> identity;
};

// Replaces the file atomically; on failure leaves the old file as it was.
WriteResult write(const std::string& path, std::string_view text, const WriteOptions& options = {});

// Adding lines at the end of the log on disk, under its lock. The log is
// read, the lines added, and the file replaced only while it is still the
// file that was read: when a program that takes no lock (an editor, another
// writer) changed it meanwhile, it is read again and the lines go after what
// it holds now, up to kAppendTries times; then the append fails with "Cannot
// create file %s." and kChangedMeanwhileCause. A log that is missing is
// created; one that cannot be read fails as read() does and is never
// replaced.
inline constexpr int kAppendTries = 5;

struct AppendOptions {
    std::chrono::milliseconds lockWait = FileLock::kDefaultWait;
    // Runs after each read, right before the replace: where tests let
    // another program step in.
    std::function<void()> afterRead;
};

struct [[nodiscard]] AppendResult : WriteResult {
    explicit AppendResult(FileResult outcome) : WriteResult(std::move(outcome)) {}
    // The file holds NUL bytes (isTextLog): no main log, left alone.
    bool notTextLog = false;
};

AppendResult appendLines(const std::string& path, const std::vector<std::string>& lines,
                         const AppendOptions& options = {});

// What a program knows of the log files it loaded or wrote during its run, so
// that it replaces none unasked that it never held, could not load, or that
// another program changed since. A file is known by its canonical path, and by its
// device and inode under any other name.
class KnownFiles {
public:
    enum class Risk {
        None,       // no file, or one as we left it
        NotHeld,    // an existing file we never loaded nor wrote
        NotLoaded,  // the file exists but could not be loaded
        Changed,    // changed, replaced or created since we saw it
    };

    // The file was read and had `identity`; nullopt when there was none.
    void loaded(const std::string& path, const std::optional<FileIdentity>& identity);
    // The file exists but could not be loaded.
    void loadFailed(const std::string& path, const std::optional<FileIdentity>& identity);
    // We wrote the file and left it with `identity`: what it was is no
    // longer at stake.
    void written(const std::string& path, const std::optional<FileIdentity>& identity);

    // What replacing the file `path` names would put at risk, given its
    // identity now (nullopt when there is no file).
    Risk risk(const std::string& path, const std::optional<FileIdentity>& now) const;

private:
    struct Seen {
        std::string key;
        std::optional<FileIdentity> identity;
        bool loadFailed = false;
    };
    Seen& entryFor(const std::string& path, const std::optional<FileIdentity>& identity);
    const Seen* find(const std::string& path, const std::optional<FileIdentity>& now) const;

    std::vector<Seen> seen_;
};

}  // namespace vantrel::mainlog
