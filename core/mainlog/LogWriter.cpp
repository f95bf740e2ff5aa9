#include "core/mainlog/LogWriter.h"

#include <cerrno>
#include <utility>

#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogText.h"
#include "core/text/TextRules.h"

namespace vantrel::mainlog {

std::string cannotCreateMessage(const std::string& path)
{
    return cannotCreateFileMessage(path);
}

std::string cannotLockMessage(const std::string& lockFile)
{
    return text::withFullStop("Cannot lock file " + lockFile);
}

LogLock::LogLock(const std::string& path, std::chrono::milliseconds wait)
{
    // A device (CON, NUL on Windows) is the log itself refused, not its lock.
    if (fileio::isDeviceName(path)) {
        result_ = FileResult::refused(cannotOpenMessage(path), std::string(kNotRegularFileCause));
        return;
    }
    const FileResult locked = lock_.acquire(path, wait);
    if (locked)
        return;
    const std::string folder = text::folderOf(FileLock::lockFileFor(path));
    if (!fileio::canCreateIn(folder))
        result_ = FileResult::refused(cannotCreateMessage(path), locked.cause());
    else
        result_ = FileResult::refused(cannotLockMessage(FileLock::lockFileFor(path)), locked.cause());
}

WriteResult write(const std::string& path, std::string_view text, const WriteOptions& options)
{
    const std::string bytes = encode(text);
    std::optional<LogLock> ownLock;
    if (!options.heldLock) {
        ownLock.emplace(path);
        if (!ownLock->ok())
            return WriteResult(ownLock->result());
    }
    ReplaceOptions replace;
    replace.expected = options.expected;
    replace.mustBeNew = options.mustBeNew;
    if (const FileResult replaced = replaceFileAtomically(path, bytes, replace); !replaced)
        return WriteResult(FileResult::refused(cannotCreateMessage(path), replaced.cause()));
    WriteResult result(FileResult::success());
    result.identity = fileIdentity(path);
    return result;
}

AppendResult appendLines(const std::string& path, const std::vector<std::string>& lines, const AppendOptions& options)
{
    const LogLock lock(path, options.lockWait);
    if (!lock.ok())
        return AppendResult(lock.result());
    for (int attempt = 1;; ++attempt) {
        WriteOptions write;
        write.heldLock = &lock;
        std::string text;
        if (!fileio::infoOf(path) && errno == ENOENT) {
            write.mustBeNew = true;
        } else {
            ReadResult existing = read(path);
            if (!existing.ok())
                return AppendResult(std::move(existing));
            if (!isTextLog(existing.text)) {
                AppendResult refused(FileResult::refused(cannotOpenMessage(path), "the file holds NUL bytes"));
                refused.notTextLog = true;
                return refused;
            }
            text = std::move(existing.text);
            write.expected = existing.identity;
        }
        for (const std::string& line : lines)
            appendLine(text, line);
        if (options.afterRead)
            options.afterRead();
        const WriteResult written = mainlog::write(path, text, write);
        if (written.ok() || written.cause() != kChangedMeanwhileCause || attempt == kAppendTries) {
            AppendResult result(static_cast<const FileResult&>(written));
            result.identity = written.identity;
            return result;
        }
    }
}

}  // namespace vantrel::mainlog
