// Reading and writing whole files and descriptors the one way the program
// does it: interrupted calls retried, short writes continued, and no open
// that can block (a FIFO or a device is refused, not waited on).
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "core/files/FileResult.h"

namespace vantrel::fileio {

inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// Appends everything `fd` gives until its end. Fails with kTooLargeCause as
// soon as more than `limit` bytes came.
FileResult readAll(int fd, std::string& bytes, std::size_t limit = kNoLimit);

// Writes all of `bytes`; a write that makes no progress is a full disk.
FileResult writeAll(int fd, std::string_view bytes);

// Opens `path` for reading without blocking and checks it is a regular file:
// -1 on failure, with the cause in `failure`.
int openRegularForReading(const std::string& path, FileResult& failure);

// The whole file, as readAll on openRegularForReading.
FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit = kNoLimit);

// The file a link points to, or the path itself when it is no link. Empty
// when a link cannot be followed (dangling, looping), with errno telling why.
std::string linkTarget(const std::string& path);

}  // namespace vantrel::fileio
