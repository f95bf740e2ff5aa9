// An open file of the operating system (a descriptor on POSIX, a HANDLE on
// Windows) that closes itself.
#pragma once

#include <cstdint>
#include <utility>

namespace vantrel {

class FileHandle {
public:
    // The system's own value: a descriptor, or a HANDLE's bits.
    using Native = std::intptr_t;
    // -1 is no descriptor on POSIX and INVALID_HANDLE_VALUE on Windows.
    static constexpr Native kNone = -1;

    FileHandle() = default;
    explicit FileHandle(Native native) : native_(native) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : native_(std::exchange(other.native_, kNone)) {}
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other) {
            close();
            native_ = std::exchange(other.native_, kNone);
        }
        return *this;
    }
    ~FileHandle() { close(); }

    bool valid() const { return native_ != kNone; }
    explicit operator bool() const { return valid(); }
    Native native() const { return native_; }
    // Closes the file now: false when the system reported a failure (a
    // delayed write error, say).
    bool close();

private:
    Native native_ = kNone;
};

}  // namespace vantrel
