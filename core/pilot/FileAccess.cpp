#include "core/pilot/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

// Read-only files this small are read whole at the first read and served
// from memory: a pilot file is 152,076 bytes and the loader makes some 150
// small reads in it.
constexpr std::int64_t kWholeFileReadLimit = 1 << 20;

class PosixFile final : public OpenFile {
public:
    PosixFile(int fd, bool readOnly, const struct stat& st)
        : fd_(fd), readOnly_(readOnly), length_(static_cast<std::int64_t>(st.st_size))
    {
        if (const auto identity = fileIdentity(fd))
            status_ = Status{*identity, static_cast<unsigned>(st.st_mode & 07777)};
    }
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

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
        if (readOnly_ && length_ <= kWholeFileReadLimit) {
            if (!cached_)
                cacheWholeFile();
            if (cached_) {
                const std::int64_t available = std::max<std::int64_t>(0, static_cast<std::int64_t>(cache_.size()) - position_);
                const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(available));
                if (n > 0)
                    std::memcpy(buffer, cache_.data() + position_, n);
                position_ += static_cast<std::int64_t>(n);
                return n == count;
            }
        }
        auto* out = static_cast<char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(fd_, out + done, count - done, position_ + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        position_ += static_cast<std::int64_t>(done);
        return done == count;
    }

    bool write(const void* buffer, std::size_t count) override
    {
        const auto* in = static_cast<const char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::pwrite(fd_, in + done, count - done, position_ + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        position_ += static_cast<std::int64_t>(done);
        length_ = std::max(length_, position_);
        return done == count;
    }

    bool atEnd() override { return length_ < 0 || position_ >= length_; }

    bool flush() override { return ::fsync(fd_) == 0; }

    std::optional<Status> status() override { return status_; }

private:
    void cacheWholeFile()
    {
        std::string bytes(static_cast<std::size_t>(length_), '\0');
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;  // fall back to reading piece by piece
            done += static_cast<std::size_t>(n);
        }
        cache_ = std::move(bytes);
        cached_ = true;
    }

    int fd_;
    bool readOnly_;
    std::int64_t length_;
    std::int64_t position_ = 0;
    bool cached_ = false;
    std::string cache_;
    std::optional<Status> status_;
};

class PosixFileAccess final : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        const int flags = (mode == OpenMode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
        int fd = -1;
        do {
            fd = ::open(path.c_str(), flags);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return nullptr;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            const int cause = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            ::close(fd);
            errno = cause;
            return nullptr;
        }
        // O_NONBLOCK only kept a FIFO from blocking the open; regular files ignore it.
        return std::make_unique<PosixFile>(fd, mode == OpenMode::ReadOnly, st);
    }
};

}  // namespace

FileResult FileAccess::replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options)
{
    return replaceFileAtomically(path, bytes, options);
}

FileAccess& systemFileAccess()
{
    static PosixFileAccess access;
    return access;
}

}  // namespace vantrel
