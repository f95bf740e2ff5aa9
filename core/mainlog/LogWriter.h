// Writing the main log file under its lock: the whole log replaced at once,
// or lines added at its end.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/files/FileIdentity.h"
#include "core/files/FileLock.h"
#include "core/files/FileResult.h"

namespace vantrel::mainlog {

std::string cannotCreateMessage(const std::string& path);    // "Cannot create file %s."
std::string cannotLockMessage(const std::string& lockFile);  // "Cannot lock file %s."

// The lock every change of one log file holds, in this program and in
// vantrel-cli alike, so that a read-modify-replace of one writer never
// drops the lines another added meanwhile.
class LogLock {
public:
    explicit LogLock(const std::string& path, std::chrono::milliseconds wait = FileLock::kDefaultWait);
    // A lock that cannot be had in a folder where the log cannot be written
    // either is the write's own failure, "Cannot create file %s."; any other
    // is "Cannot lock file %s." for the lock file.
    const FileResult& result() const { return result_; }
    bool ok() const { return result_.ok(); }

private:
    FileLock lock_;
    FileResult result_ = FileResult::success();
};

struct WriteOptions {
    // Replace the file only while it is still this one.
    std::optional<FileIdentity> expected;
    // Write only while there is no file yet.
    bool mustBeNew = false;
    // The log's lock, when the caller already holds it for a
    // read-modify-replace; otherwise the write takes it itself.
    const LogLock* heldLock = nullptr;
};

// The outcome of a write: on failure the message to show ("Cannot create
// file %s.") and the cause told beside it.
struct [[nodiscard]] WriteResult : FileResult {
    explicit WriteResult(FileResult outcome) : FileResult(std::move(outcome)) {}
    // The file as written, looked at before the lock was let go.
    std::optional<FileIdentity> identity;
};

// Replaces the file atomically; on failure leaves the old file as it was.
WriteResult write(const std::string& path, std::string_view text, const WriteOptions& options = {});

// Adding lines at the end of the log on disk, under its lock. The log is
// read, the lines added, and the file replaced only while it is still the
// file that was read: when a program that takes no lock (an editor, another
// writer) changed it meanwhile, it is read again and the lines go after what
// it holds now, up to kAppendTries times; then the append fails with "Cannot
// create file %s." and kChangedMeanwhileCause. A log that is missing is
// created; one that cannot be read fails as read() does and is never
// replaced.
inline constexpr int kAppendTries = 5;

struct AppendOptions {
    std::chrono::milliseconds lockWait = FileLock::kDefaultWait;
    // Runs after each read, right before the replace: where tests let
    // another program step in.
    std::function<void()> afterRead;
};

struct [[nodiscard]] AppendResult : WriteResult {
    explicit AppendResult(FileResult outcome) : WriteResult(std::move(outcome)) {}
    // The file holds NUL bytes (isTextLog): no main log, left alone.
    bool notTextLog = false;
};

AppendResult appendLines(const std::string& path, const std::vector<std::string>& lines,
                         const AppendOptions& options = {});

}  // namespace vantrel::mainlog
