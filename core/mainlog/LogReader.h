// Reading the main log file: whole, or a piece at a time for a window that
// shows the start of a long log while the rest is read. Never waits on a
// FIFO, socket or device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/files/FileHandle.h"
#include "core/files/FileIdentity.h"
#include "core/files/FileResult.h"

namespace vantrel::mainlog {

// A log file larger than this is refused: the text window cannot hold it.
inline constexpr std::size_t kCapacityBytes = 64u * 1024u * 1024u;

inline constexpr std::string_view kTooLargeMessage = "Text exceeds memo capacity.";
std::string cannotOpenMessage(const std::string& path);  // "Cannot open file %s."

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

}  // namespace vantrel::mainlog
