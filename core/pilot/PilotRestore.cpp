#include "core/pilot/PilotRestore.h"

#include <cerrno>
#include <optional>

#include "core/pilot/LooksLikePilot.h"
#include "core/pilot/MemoryFileAccess.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLayout.h"

namespace vantrel {

namespace {

// A file read whole through the seam, with what it was at opening.
struct FileContents {
    std::string bytes;
    OpenFile::Status status;
};

// The whole file; `limit` bounds what is taken from a file that is not the
// size it should be. nullopt, with `failure` telling why, when it cannot be
// read; `missing` tells whether there is no such file.
std::optional<FileContents> readWhole(FileAccess& files, const std::string& path, std::int64_t limit,
                                      std::string& failure, bool* missing = nullptr)
{
    errno = 0;
    const std::unique_ptr<OpenFile> file = files.open(path, OpenMode::ReadOnly);
    if (!file) {
        const int error = errno == 0 ? EIO : errno;
        if (missing)
            *missing = error == ENOENT;
        failure = FileResult::fromErrno(error).cause();
        return std::nullopt;
    }
    const std::optional<OpenFile::Status> status = file->status();
    const std::int64_t size = file->size();
    if (!status || size < 0) {
        failure = "its size and state cannot be told";
        return std::nullopt;
    }
    if (size > limit) {
        failure = std::string(kTooLargeCause);
        return std::nullopt;
    }
    FileContents contents{std::string(static_cast<std::size_t>(size), '\0'), *status};
    if (size > 0 && (!file->seek(0) || !file->read(contents.bytes.data(), contents.bytes.size()))) {
        failure = "it cannot be read";
        return std::nullopt;
    }
    return contents;
}

RestoreResult refusal(const std::string& pilotPath, const std::string& why, std::string_view cause)
{
    return RestoreResult(
        FileResult::refused("Cannot restore " + pilotPath + ": " + why + ". Nothing was written.", std::string(cause)));
}

}  // namespace

RestoreResult restorePilotBackup(const std::string& pilotPath, const std::string& backupPath,
                                 const std::string& backupFolder, std::chrono::system_clock::time_point now,
                                 FileAccess& files, const OwnSaves* ownSaves)
{
    // The backup first: a pilot file is exactly its size, nothing else is one.
    std::string failure;
    const std::optional<FileContents> backup = readWhole(files, backupPath, layout::kPilotFileSize, failure);
    if (!backup)
        return refusal(pilotPath, backupPath + " cannot be read (" + failure + ")", failure);
    if (static_cast<std::int64_t>(backup->bytes.size()) != layout::kPilotFileSize) {
        return refusal(pilotPath,
                       backupPath + " is not a pilot file (" + std::to_string(backup->bytes.size()) + " bytes, not " +
                           std::to_string(layout::kPilotFileSize) + ")",
                       "not a pilot file");
    }
    // Bytes of that size are judged as the folder watcher judges a save.
    MemoryFileAccess held;
    held.put(backupPath, backup->bytes);
    PilotRecord record;
    if (const std::string why = loadLikelyPilot(record, backupPath, held); !why.empty())
        return refusal(pilotPath, backupPath + " is not a pilot file (" + why + ")", "not a pilot file");
    // A backup of another pilot that shares the file's name is not its history.
    if (isBackupOfAnotherFile(backupPath, pilotPath))
        return refusal(pilotPath, backupPath + " is a backup of another pilot file", "a backup of another pilot file");

    // The file as it is now: kept as a backup before anything is written. A
    // damaged file of any size is kept as well, up to a size no pilot file nears.
    constexpr std::int64_t kLargestKept = 64 * layout::kPilotFileSize;
    bool missing = false;
    const std::optional<FileContents> current = readWhole(files, pilotPath, kLargestKept, failure, &missing);
    if (!current && !missing)
        return refusal(pilotPath, failure, failure);

    ReplaceOptions options;
    RestoreResult result(FileResult::success());
    if (current) {
        const auto sinceChange =
            std::chrono::nanoseconds(now.time_since_epoch()).count() - current->status.identity.mtimeNs;
        const auto quiet = std::chrono::nanoseconds(kRestoreQuietPeriod).count();
        if (sinceChange > -quiet && sinceChange < quiet)
            return refusal(pilotPath, std::string(kChangedJustNowCause), kChangedJustNowCause);
        if (current->bytes == backup->bytes) {
            return RestoreResult(
                FileResult::success(pilotPath + " already holds what " + backupPath + " holds. Nothing was written."));
        }
        const FileResult kept = makeBackup(pilotPath, current->bytes, current->status.mode, backupFolder,
                                           std::chrono::system_clock::to_time_t(now), &result.backupFile, backupPath);
        if (!kept)
            return RestoreResult(kept);
        options.expected = current->status.identity;
    } else {
        options.newFileMode = backup->status.mode & 0777;
    }

    std::optional<FileIdentity> placed;
    options.placed = &placed;
    const FileResult replaced = files.replace(pilotPath, backup->bytes, options);
    if (!replaced) {
        RestoreResult failed(FileResult::refused(
            "Cannot restore " + pilotPath + ": " + replaced.message() + ". The file was not changed" +
                (result.backupFile.empty() ? std::string(".")
                                           : "; a copy of it was kept as " + result.backupFile + "."),
            replaced.cause()));
        failed.backupFile = result.backupFile;
        return failed;
    }
    RestoreResult done(FileResult::success(
        "Restored " + pilotPath + " from " + backupPath + "." +
        (result.backupFile.empty() ? std::string() : " The file as it was is kept as " + result.backupFile + ".")));
    done.backupFile = std::move(result.backupFile);
    done.restored = placed ? placed : fileIdentity(pilotPath);
    if (ownSaves && done.restored)
        done.ownSave = ownSaves->record(*done.restored, backup->bytes);
    return done;
}

}  // namespace vantrel
