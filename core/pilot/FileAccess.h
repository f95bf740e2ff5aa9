// The file operations the loader and the save path use. Everything goes
// through this seam so that tests can make any open, positioning, read or
// write fail, whatever permissions the test process has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/files/AtomicFile.h"

namespace vantrel {

// `count` bytes from `offset` on.
struct ByteRange {
    std::int64_t offset = 0;
    std::size_t count = 0;
};

class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Length in bytes, or -1 when it cannot be told.
    virtual std::int64_t size() = 0;
    virtual bool seek(std::int64_t offset) = 0;
    // Reads exactly `count` bytes at the current position; a short read fails.
    virtual bool read(void* buffer, std::size_t count) = 0;
    // Tells a file opened read-only which ranges are about to be read, so
    // that it can fetch them in a few large reads rather than many small
    // ones. Only a hint: every read gives the same bytes and the same result
    // with it as without it, and a file may ignore it (as this default does).
    virtual void willRead(std::span<const ByteRange> ranges) { (void)ranges; }
    // Writes exactly `count` bytes at the current position.
    virtual bool write(const void* buffer, std::size_t count) = 0;
    virtual bool atEnd() = 0;
    // Pushes written bytes to the disk.
    virtual bool flush() = 0;
    // Which file was opened and its permission bits, as at opening; nullopt
    // when that cannot be told.
    struct Status {
        FileIdentity identity;
        unsigned mode = 0;
    };
    virtual std::optional<Status> status() { return std::nullopt; }
};

enum class OpenMode { ReadOnly, ReadWrite };

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // Opens an existing regular file; anything else (missing, a directory,
    // a device) gives nullptr, with errno telling why. Never blocks on a FIFO.
    virtual std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) = 0;
    // Replaces the whole file at once (see replaceFileAtomically).
    virtual FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options);
};

// The real file system.
FileAccess& systemFileAccess();

}  // namespace vantrel
