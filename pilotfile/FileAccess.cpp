#include "pilotfile/FileAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

class PosixFile final : public OpenFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    std::int64_t size() override
    {
        struct stat st {};
        if (::fstat(fd_, &st) != 0)
            return -1;
        return st.st_size;
    }

    bool seek(std::int64_t offset) override
    {
        if (offset < 0)
            return false;
        position_ = offset;
        return true;
    }

    bool read(void* buffer, std::size_t count) override
    {
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
        return done == count;
    }

    bool atEnd() override
    {
        const std::int64_t length = size();
        return length < 0 || position_ >= length;
    }

    bool flush() override { return ::fsync(fd_) == 0; }

private:
    int fd_;
    std::int64_t position_ = 0;
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
            ::close(fd);
            return nullptr;
        }
        // O_NONBLOCK only kept a FIFO from blocking the open; regular files ignore it.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return std::make_unique<PosixFile>(fd);
    }
};

}  // namespace

FileAccess& systemFileAccess()
{
    static PosixFileAccess access;
    return access;
}

}  // namespace vantrel
