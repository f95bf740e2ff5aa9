// Which file a name stands for, and the state it was in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

class FileHandle;

// A file replaced by another program (another volume and file number: the
// device and inode on POSIX, the volume serial and file index on Windows) or
// changed in place (size, last-write time) no longer matches.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the file a path names (links followed); nullopt when there
// is none or it cannot be looked at.
std::optional<FileIdentity> fileIdentity(const std::string& path);
// The identity of an open file.
std::optional<FileIdentity> fileIdentity(const FileHandle& file);

}  // namespace vantrel
