#include "pilotfile/PilotSave.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "pilotfile/PilotLayout.h"
#include "pilotfile/Windows1252.h"

namespace vantrel {

namespace {

void putInt32(unsigned char* p, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        p[k] = static_cast<unsigned char>((v >> (8 * k)) & 0xFF);
}

// One save: counts every failed open, positioning, read, write and flush.
class Writer {
public:
    Writer(const std::string& path, FileAccess& files) : path_(path), files_(files) {}

    bool open()
    {
        file_ = files_.open(path_, OpenMode::ReadWrite);
        return file_ != nullptr;
    }

    OpenFile* file() { return file_.get(); }

    // Closes the file (flushing what was written to the disk) and opens it again.
    bool reopen()
    {
        close();
        if (open())
            return true;
        ++failures;
        return false;
    }

    void close()
    {
        if (file_ && !file_->flush())
            ++failures;
        file_.reset();
    }

    bool seek(std::int64_t offset) { return check(file_->seek(offset)); }
    bool write(const void* bytes, std::size_t count) { return check(file_->write(bytes, count)); }
    bool read(void* bytes, std::size_t count) { return check(file_->read(bytes, count)); }

    void writeIntAt(const layout::Field& field, std::int32_t value)
    {
        if (!reopen() || !seek(field.offset))
            return;
        unsigned char raw[4];
        putInt32(raw, value);
        write(raw, sizeof raw);
    }

    std::uint16_t failures = 0;

private:
    bool check(bool ok)
    {
        if (!ok)
            ++failures;
        return ok;
    }

    std::string path_;
    FileAccess& files_;
    std::unique_ptr<OpenFile> file_;
};

// Rewrites campaign records 0 .. count-1 from the record's slots, keeping the
// bytes of each record that the program holds no value for.
void WriteMissionRecords(Writer& out, const PilotRecord& record, int count)
{
    if (!out.reopen())
        return;
    for (int i = 0; i < count; ++i) {
        const MissionEntry& slot = record.CampaignMissions[static_cast<std::size_t>(i)];
        const std::int64_t offset = layout::missionRecordOffset(layout::CampaignMissionRecords, static_cast<std::uint32_t>(i));
        unsigned char image[layout::kMissionRecordSize];
        if (!out.seek(offset) || !out.read(image, sizeof image))
            continue;  // without the record's own bytes it is left alone
        image[layout::record::kLeadValue] = static_cast<unsigned char>(slot.MissionLeadValue & 0xFF);
        image[layout::record::kStatus] = 1;
        putInt32(image + layout::record::kScore, slot.MissionScore);
        putInt32(image + layout::record::kTime, slot.MissionTime);
        putInt32(image + layout::record::kBonus,
                 static_cast<std::int32_t>(static_cast<std::uint32_t>(slot.MissionBonus) * layout::kBonusScale));
        if (out.seek(offset))
            out.write(image, sizeof image);
    }
}

std::string wrongFileMessage(const std::string& fileName, std::int64_t length)
{
    return "Cannot update " + fileName + ": its length is " + std::to_string(length) +
           " bytes, not 152.076. Nothing was written.";
}

}  // namespace

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

SaveResult WritePilotDetails(const std::string& fileName, PilotRecord& record, const PilotDetailsEdit& edit,
                             FileAccess& files, const BeforeFirstWrite& beforeFirstWrite)
{
    SaveResult result;
    Writer out(fileName, files);

    // The file must still be the pilot file that was loaded: a regular file
    // of the right length. Anything else is left untouched.
    if (!out.open()) {
        std::error_code ignored;
        const bool regular = std::filesystem::is_regular_file(fileName, ignored);
        const auto size = regular ? static_cast<std::int64_t>(std::filesystem::file_size(fileName, ignored)) : -1;
        result.message = regular && size == layout::kPilotFileSize
                             ? "Cannot open " + fileName + " for writing. Nothing was written."
                             : wrongFileMessage(fileName, size);
        return result;
    }
    if (const std::int64_t length = out.file()->size(); length != layout::kPilotFileSize) {
        result.message = wrongFileMessage(fileName, length);
        return result;
    }
    if (beforeFirstWrite) {
        if (std::string refusal = beforeFirstWrite(fileName); !refusal.empty()) {
            result.message = std::move(refusal);
            return result;
        }
    }

    record.PilotName = nameFieldBytes(edit.name);
    if (out.seek(layout::PilotName.offset))
        out.write(record.PilotName.data(), record.PilotName.size());

    if (edit.rankIndex >= 0) {
        record.Rank = edit.rankIndex;
        out.writeIntAt(layout::Rank, record.Rank);
    }
    if (edit.ratingIndex >= 0) {
        record.Rating = edit.ratingIndex;
        out.writeIntAt(layout::Rating, record.Rating);
    }
    if (edit.kalidorIndex >= 0) {
        record.KalidorCrescent = edit.kalidorIndex;
        out.writeIntAt(layout::KalidorCrescent, record.KalidorCrescent);
    }
    if (edit.activeMissionIndex > 0)
        WriteMissionRecords(out, record, std::min(edit.activeMissionIndex, static_cast<int>(layout::kMissionListCapacity) - 1));
    out.close();

    result.failedSteps = out.failures;
    result.ok = out.failures == 0;
    result.message = result.ok ? std::string(kUpdateCompleteMessage)
                               : "Update failed: " + std::to_string(out.failures) + " errors while writing " + fileName +
                                     ". The file may be incomplete.";
    return result;
}

}  // namespace vantrel
