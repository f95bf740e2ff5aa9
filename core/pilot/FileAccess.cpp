#include "core/pilot/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileIO.h"

namespace vantrel {

namespace {

// Read-only files this small are read whole at the first read and served
// from memory: a pilot file is 152,076 bytes and the loader makes some 150
// small reads in it.
constexpr std::int64_t kWholeFileReadLimit = 1 << 20;

// Ranges announced by willRead() that lie closer together than this are
// fetched in one read: copying the bytes between them costs less than one
// more system call.
constexpr std::int64_t kJoinGap = 8192;

class SystemFile final : public OpenFile {
public:
    SystemFile(FileHandle file, bool readOnly, const fileio::FileInfo& info)
          : file_(std::move(file)), readOnly_(readOnly), length_(info.identity.size)
    {
        status_ = Status{info.identity, info.mode};
    }

    // The length at opening, kept up to date by this object's own writes.
    std::int64_t size() override { return length_; }

    bool seek(std::int64_t offset) override
    {
        if (offset < 0)
            return false;
        position_ = offset;
        return true;
    }

    bool read(void* buffer, std::size_t count) override
    {
        if (const char* fetched = fetchedBytes(position_, count)) {
            std::memcpy(buffer, fetched, count);
            position_ += static_cast<std::int64_t>(count);
            return true;
        }
        if (readOnly_ && length_ <= kWholeFileReadLimit) {
            if (!cached_)
                cacheWholeFile();
            if (cached_) {
                const std::int64_t available =
                    std::max<std::int64_t>(0, static_cast<std::int64_t>(cache_.size()) - position_);
                const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(available));
                if (n > 0)
                    std::memcpy(buffer, cache_.data() + position_, n);
                position_ += static_cast<std::int64_t>(n);
                return n == count;
            }
        }
        const std::size_t done = fileio::readAt(file_, buffer, count, position_);
        position_ += static_cast<std::int64_t>(done);
        return done == count;
    }

    void willRead(std::span<const ByteRange> ranges) override
    {
        if (!readOnly_ || cached_)
            return;
        // In file order, neighbours joined into pieces.
        std::vector<ByteRange> sorted;
        const auto byOffset = [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; };
        if (!std::is_sorted(ranges.begin(), ranges.end(), byOffset)) {
            sorted.assign(ranges.begin(), ranges.end());
            std::sort(sorted.begin(), sorted.end(), byOffset);
            ranges = sorted;
        }
        pieces_.clear();
        std::size_t total = 0;
        for (const ByteRange& range : ranges) {
            if (range.offset < 0 || range.count == 0)
                continue;
            const std::int64_t end = range.offset + static_cast<std::int64_t>(range.count);
            if (!pieces_.empty() && range.offset <= pieceEnd(pieces_.back()) + kJoinGap) {
                Piece& last = pieces_.back();
                if (end > pieceEnd(last)) {
                    total += static_cast<std::size_t>(end - pieceEnd(last));
                    last.count = static_cast<std::size_t>(end - last.offset);
                }
                continue;
            }
            pieces_.push_back({range.offset, range.count, total});
            total += range.count;
        }
        pieceBytes_.reset(new char[total]);
        // A piece that cannot be read whole (the file has become shorter, say)
        // is dropped: its reads then go to the file as without the hint.
        std::erase_if(pieces_, [&](const Piece& piece) {
            return !readFully(pieceBytes_.get() + piece.at, piece.count, piece.offset);
        });
    }

    bool write(const void* buffer, std::size_t count) override
    {
        const std::size_t done = fileio::writeAt(file_, buffer, count, position_);
        position_ += static_cast<std::int64_t>(done);
        length_ = std::max(length_, position_);
        return done == count;
    }

    bool atEnd() override { return length_ < 0 || position_ >= length_; }

    bool flush() override { return fileio::flush(file_); }

    std::optional<Status> status() override { return status_; }

private:
    // Bytes [offset, offset + count) fetched by willRead().
    struct Piece {
        std::int64_t offset;
        std::size_t count;
        std::size_t at;  // where they start in pieceBytes_
    };
    static std::int64_t pieceEnd(const Piece& piece) { return piece.offset + static_cast<std::int64_t>(piece.count); }

    // The fetched copy of [offset, offset + count), or nullptr when no piece
    // holds all of it.
    const char* fetchedBytes(std::int64_t offset, std::size_t count) const
    {
        for (const Piece& piece : pieces_) {
            if (offset >= piece.offset && offset + static_cast<std::int64_t>(count) <= pieceEnd(piece))
                return pieceBytes_.get() + piece.at + static_cast<std::size_t>(offset - piece.offset);
        }
        return nullptr;
    }

    bool readFully(char* out, std::size_t count, std::int64_t offset)
    {
        return fileio::readAt(file_, out, count, offset) == count;
    }

    void cacheWholeFile()
    {
        std::string bytes(static_cast<std::size_t>(length_), '\0');
        if (!readFully(bytes.data(), bytes.size(), 0))
            return;  // fall back to reading piece by piece
        cache_ = std::move(bytes);
        cached_ = true;
    }

    FileHandle file_;
    bool readOnly_;
    std::int64_t length_;
    std::int64_t position_ = 0;
    bool cached_ = false;
    std::string cache_;
    std::vector<Piece> pieces_;
    std::unique_ptr<char[]> pieceBytes_;
    std::optional<Status> status_;
};

class SystemFileAccess final : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        FileHandle file = fileio::openWithoutWaiting(
            path, mode == OpenMode::ReadOnly ? fileio::Access::Read : fileio::Access::ReadWrite);
        if (!file)
            return nullptr;
        const std::optional<fileio::FileInfo> info = fileio::infoOf(file);
        if (!info || info->kind != fileio::Kind::Regular) {
            errno = !info ? errno : info->kind == fileio::Kind::Directory ? EISDIR : EINVAL;
            return nullptr;
        }
        return std::make_unique<SystemFile>(std::move(file), mode == OpenMode::ReadOnly, *info);
    }
};

}  // namespace

FileResult FileAccess::replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options)
{
    return replaceFileAtomically(path, bytes, options);
}

FileAccess& systemFileAccess()
{
    static SystemFileAccess access;
    return access;
}

}  // namespace vantrel
