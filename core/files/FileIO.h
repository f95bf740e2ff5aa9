// Reading and writing whole files and descriptors the one way the program
// does it: interrupted calls retried, short writes continued, and no open
// that can block (a FIFO or a device is refused, not waited on).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/files/FileResult.h"

namespace vantrel::fileio {

inline constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

// Appends everything `fd` gives until its end. Fails with kTooLargeCause as
// soon as more than `limit` bytes came; `bytes` then holds what came, the
// read that went over included.
FileResult readAll(int fd, std::string& bytes, std::size_t limit = kNoLimit);

// Writes all of `bytes`; a write that makes no progress is a full disk.
FileResult writeAll(int fd, std::string_view bytes);

// Reads `count` bytes from `offset` on, until all are in, the file ends or a
// read fails (errno then tells why): how many were read.
std::size_t readAt(int fd, void* buffer, std::size_t count, std::int64_t offset);

// Writes `count` bytes at `offset`, until all are out or a write makes no
// progress or fails (errno then tells why): how many were written.
std::size_t writeAt(int fd, const void* buffer, std::size_t count, std::int64_t offset);

// Opens an existing `path` with `flags` (O_RDONLY or O_RDWR, and O_NOFOLLOW
// where wanted) without waiting: a FIFO without a writer or a device cannot
// hold the caller in open(), which checks what it opened. -1 on failure,
// with errno telling why.
int openWithoutWaiting(const std::string& path, int flags);

// Opens `path` for reading without blocking and checks it is a regular file:
// -1 on failure, with the cause in `failure`.
int openRegularForReading(const std::string& path, FileResult& failure);

// The whole file, as readAll on openRegularForReading.
FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit = kNoLimit);

// The file a link points to, or the path itself when it is no link. Empty
// when a link cannot be followed (dangling, looping), with errno telling why.
std::string linkTarget(const std::string& path);

}  // namespace vantrel::fileio
