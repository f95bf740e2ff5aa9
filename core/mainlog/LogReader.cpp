#include "core/mainlog/LogReader.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "core/files/FileIO.h"
#include "core/mainlog/LogText.h"
#include "core/text/TextRules.h"

namespace vantrel::mainlog {

namespace {

ReadResult readFailure(std::string message, std::string cause)
{
    return ReadResult(FileResult::refused(std::move(message), std::move(cause)));
}

std::string tooLargeCause(const std::string& path, std::uint64_t size)
{
    return path + " holds " + std::to_string(size) + " bytes, more than the " + std::to_string(kCapacityBytes) +
           " the log can hold";
}

}  // namespace

std::string cannotOpenMessage(const std::string& path)
{
    return text::withFullStop("Cannot open file " + path);
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

ReadResult read(const std::string& path)
{
    ReadResult result = readBytes(path);
    if (result.ok())
        result.text = decode(result.text);
    return result;
}

}  // namespace vantrel::mainlog
