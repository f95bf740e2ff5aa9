#include "core/pilot/PilotSave.h"

#include "core/files/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/pilot/MemoryFileAccess.h"
#include "core/pilot/LittleEndian.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotLayout.h"
#include "core/text/Windows1252.h"

namespace vantrel {

namespace {

// Marks campaign missions 0 .. count-1 as completed. A record the file
// already counts (status not 0) is left exactly as it is; one it does not
// gets status 1 and keeps every other byte, whatever the game stored there.
void WriteMissionRecords(std::string& image, int count)
{
    for (int i = 0; i < count; ++i) {
        char* record =
            image.data() + layout::missionRecordOffset(layout::CampaignMissionRecords, static_cast<std::uint32_t>(i));
        if (le::int32At(record + layout::record::kStatus) == 0)
            record[layout::record::kStatus] = 1;
    }
}

std::string wrongFileMessage(const std::string& fileName, std::int64_t length)
{
    return "Cannot update " + fileName + ": its length is " + std::to_string(length) +
           " bytes, not 152.076. Nothing was written.";
}

std::string cannotOpenMessage(const std::string& fileName)
{
    return "Cannot open " + fileName + " for writing. Nothing was written.";
}

std::string notWrittenMessage(const std::string& fileName, const std::string& cause)
{
    return "Cannot update " + fileName + ": " + cause + ". Nothing was written.";
}

SaveResult failed(std::string message, std::string cause = {})
{
    return SaveResult(FileResult::refused(std::move(message), std::move(cause)));
}

// Why an open failed: a file that is no longer the pilot (gone, a folder,
// the wrong length) or one we may not write.
SaveResult openFailure(const std::string& fileName, int openError)
{
    std::error_code ignored;
    const std::filesystem::path path = fileio::toPath(fileName);
    const bool regular = std::filesystem::is_regular_file(path, ignored);
    const auto size = regular ? static_cast<std::int64_t>(std::filesystem::file_size(path, ignored)) : -1;
    if (regular && size == layout::kPilotFileSize)
        return failed(cannotOpenMessage(fileName), fileio::errorText(openError));
    return failed(wrongFileMessage(fileName, size), fileio::errorText(openError));
}

// What the loader reads from an image held in memory.
PilotRecord recordOf(const std::string& fileName, std::string_view image)
{
    MemoryFileAccess memory;
    memory.put(fileName, std::string(image));
    PilotRecord record;
    (void)ReadMission(record, fileName, memory);
    return record;
}

// Whether the file, found as `status` with the bytes `image`, is still the
// one `known` describes. The error count is the report's, not the file's.
bool stillAsKnown(const KnownPilotFile& known, const std::string& fileName, std::string_view image,
                  const std::optional<OpenFile::Status>& status)
{
    if (known.identity && (!status || status->identity != *known.identity))
        return false;
    PilotRecord now = recordOf(fileName, image);
    now.PilotFileName = known.record.PilotFileName;
    now.FileErrorCount = known.record.FileErrorCount;
    return now == known.record;
}

}  // namespace

std::string changedSinceOpenedQuestion(const std::string& fileName)
{
    return fileName +
           " was changed by another program (the game?) since it was opened. "
           "Saving writes every detail shown over it. Save anyway?";
}

std::string saveQuestion(const std::string& fileName)
{
    return "Ready to update " + fileName + ". Is it ok to proceed?";
}

std::array<char, 13> nameFieldBytes(const std::string& utf8Name)
{
    std::array<char, 13> field{};
    const std::string bytes = cp1252::fromUtf8(utf8Name);
    for (std::size_t k = 0; k < field.size() && k < bytes.size(); ++k)
        field[k] = bytes[k];
    return field;
}

bool hasControlCharacter(std::string_view name)
{
    return std::any_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

void applyPilotDetails(std::string& image, const PilotDetailsEdit& edit)
{
    if (edit.name) {
        const std::array<char, 13> name = nameFieldBytes(*edit.name);
        std::copy(name.begin(), name.end(), image.begin() + layout::PilotName.offset);
    }
    const auto putField = [&](const layout::Field& field, int index) {
        if (index >= 0)
            le::putInt32(image.data() + field.offset, index);
    };
    putField(layout::Rank, edit.rankIndex);
    putField(layout::Rating, edit.ratingIndex);
    putField(layout::KalidorCrescent, edit.kalidorIndex);
    // The box has 255 rows, so at most 254 missions come before the active one.
    if (edit.activeMissionIndex > 0)
        WriteMissionRecords(image,
                            std::min(edit.activeMissionIndex, static_cast<int>(layout::kMissionListCapacity) - 1));
}

SaveResult WritePilotDetails(const std::string& fileName, PilotRecord& record, const PilotDetailsEdit& edit,
                             FileAccess& files, const BeforeFirstWrite& beforeFirstWrite, KnownPilotFile* known,
                             const OwnSaves* ownSaves)
{
    // One descriptor for everything the save learns about the file. Opened
    // for writing so that a file we may not change is refused before anything
    // else happens; the bytes themselves go in by replacing the file.
    errno = 0;
    std::unique_ptr<OpenFile> file = files.open(fileName, OpenMode::ReadWrite);
    if (!file)
        return openFailure(fileName, errno != 0 ? errno : EIO);
    // It must still be the pilot file that was loaded: a regular file of the
    // right length that the user has not marked read-only.
    if (const std::int64_t length = file->size(); length != layout::kPilotFileSize)
        return failed(wrongFileMessage(fileName, length));
    const std::optional<OpenFile::Status> status = file->status();
    if (status && (status->mode & fileio::kAnyWriteBit) == 0)
        return failed(cannotOpenMessage(fileName), std::string(kReadOnlyCause));

    std::string before(static_cast<std::size_t>(layout::kPilotFileSize), '\0');
    errno = 0;
    if (!file->seek(0) || !file->read(before.data(), before.size()))
        return failed(notWrittenMessage(fileName, errno != 0 ? fileio::errorText(errno) : "the file cannot be read"));

    // Let go of the file before it is replaced: Windows will not move a new
    // file over one that is still open.
    file.reset();

    std::string after = before;
    applyPilotDetails(after, edit);

    std::string backupFile;
    FileResult ownSave = FileResult::success();
    if (after != before) {
        if (known && !stillAsKnown(*known, fileName, before, status) &&
            !(known->writeOverChanged && known->writeOverChanged())) {
            SaveResult declined(FileResult::refused({}));
            declined.declined = true;
            return declined;
        }
        if (beforeFirstWrite) {
            const PilotFileSnapshot snapshot{fileName, before, status ? status->mode : 0644u};
            if (const FileResult refusal = beforeFirstWrite(snapshot, backupFile); !refusal)
                return failed(refusal.message());  // the message tells the cause already
        }
        ReplaceOptions options;
        if (status)
            options.expected = status->identity;
        std::optional<FileIdentity> placed;
        options.placed = &placed;
        if (const FileResult replaced = files.replace(fileName, after, options); !replaced) {
            SaveResult failure = failed(notWrittenMessage(fileName, replaced.cause()));
            failure.backupFile = std::move(backupFile);
            return failure;
        }
        // Before anything else is told, so that a watcher never sees the file
        // unrecorded once the save has returned. A journal that cannot be
        // written costs a question about this save, never the save itself.
        if (ownSaves && placed)
            ownSave = ownSaves->record(*placed, after);
        if (known) {
            known->identity = placed;
            known->record = recordOf(fileName, after);
        }
    }

    if (edit.name)
        record.PilotName = nameFieldBytes(*edit.name);
    if (edit.rankIndex >= 0)
        record.Rank = edit.rankIndex;
    if (edit.ratingIndex >= 0)
        record.Rating = edit.ratingIndex;
    if (edit.kalidorIndex >= 0)
        record.KalidorCrescent = edit.kalidorIndex;
    SaveResult result(FileResult::success(std::string(kUpdateCompleteMessage)));
    result.backupFile = std::move(backupFile);
    result.ownSave = std::move(ownSave);
    return result;
}

}  // namespace vantrel
