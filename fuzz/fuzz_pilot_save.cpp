// A random pilot and a random edit through the whole save path, in memory:
// the file keeps its 152,076 bytes, every byte outside the promised ranges
// stays as it was, and a mission's status changes only from 0 to 1.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/pilot/LittleEndian.h"
#include "core/pilot/PilotLayout.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"

using namespace vantrel;

namespace {

constexpr std::size_t kEditBytes = 18;

// One file held in memory, reachable under any name.
class MemoryFile final : public OpenFile {
public:
    explicit MemoryFile(const std::string& bytes) : bytes_(bytes) {}
    std::int64_t size() override { return static_cast<std::int64_t>(bytes_.size()); }
    bool seek(std::int64_t offset) override
    {
        position_ = static_cast<std::size_t>(offset);
        return offset >= 0;
    }
    bool read(void* buffer, std::size_t count) override
    {
        if (position_ > bytes_.size() || bytes_.size() - position_ < count)
            return false;
        std::memcpy(buffer, bytes_.data() + position_, count);
        position_ += count;
        return true;
    }
    bool write(const void*, std::size_t) override { return false; }  // the save never writes in place
    bool atEnd() override { return position_ >= bytes_.size(); }
    bool flush() override { return true; }
    std::optional<Status> status() override { return Status{FileIdentity{1, 1, size(), 0}, 0644}; }

private:
    const std::string& bytes_;
    std::size_t position_ = 0;
};

class MemoryFiles final : public FileAccess {
public:
    std::string bytes;
    int replaces = 0;
    std::unique_ptr<OpenFile> open(const std::string&, OpenMode) override
    {
        return std::make_unique<MemoryFile>(bytes);
    }
    FileResult replace(const std::string&, std::string_view newBytes, const ReplaceOptions& options) override
    {
        if (!options.expected || options.expected->size != static_cast<std::int64_t>(bytes.size()))
            std::abort();  // the save must insist on the file it read
        bytes.assign(newBytes);
        ++replaces;
        return FileResult::success();
    }
};

int choice(std::uint8_t byte, int rows)
{
    return static_cast<int>(byte % (rows + 2)) - 1;  // -1 (no selection) .. rows (one past the list)
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kEditBytes)
        return 0;
    PilotDetailsEdit edit;
    const std::size_t nameLength = data[0] % 15;  // 13 and 14 mean: no name given
    if (nameLength <= 12) {
        std::string name;
        for (std::size_t k = 0; k < nameLength; ++k)
            name += static_cast<char>(0x20 + data[1 + k] % 0x5F);  // printable ASCII
        edit.name = name;
    }
    edit.rankIndex = choice(data[13], 9);
    edit.ratingIndex = choice(data[14], 25);
    edit.kalidorIndex = choice(data[15], 7);
    edit.activeMissionIndex = static_cast<int>(data[16] | ((data[17] & 1) << 8)) - 1;

    MemoryFiles files;
    files.bytes.assign(reinterpret_cast<const char*>(data + kEditBytes), size - kEditBytes);
    files.bytes.resize(static_cast<std::size_t>(layout::kPilotFileSize), '\0');
    const std::string before = files.bytes;

    PilotRecord record;
    if (!ReadMission(record, "pilot.plt", files).ok())
        std::abort();  // any 152,076 bytes load
    const SaveResult saved = WritePilotDetails("pilot.plt", record, edit, files);
    if (!saved.ok() || files.bytes.size() != before.size())
        std::abort();
    if (files.replaces == 0 && files.bytes != before)
        std::abort();

    const std::string& after = files.bytes;
    const auto within = [](std::size_t k, const layout::Field& field) {
        return k >= field.offset && k < field.offset + field.width;
    };
    const std::size_t missions =
        edit.activeMissionIndex > 0 ? static_cast<std::size_t>(std::min(edit.activeMissionIndex, 254)) : 0;
    for (std::size_t k = 0; k < after.size(); ++k) {
        if (after[k] == before[k])
            continue;
        const bool promised = (edit.name && within(k, layout::PilotName)) ||
                              (edit.rankIndex >= 0 && within(k, layout::Rank)) ||
                              (edit.ratingIndex >= 0 && within(k, layout::Rating)) ||
                              (edit.kalidorIndex >= 0 && within(k, layout::KalidorCrescent));
        const std::size_t inList = k - layout::CampaignMissionRecords.offset;
        const bool statusByte = k >= layout::CampaignMissionRecords.offset &&
                                inList < missions * layout::kMissionRecordSize &&
                                inList % layout::kMissionRecordSize == layout::record::kStatus;
        if (promised)
            continue;
        if (!statusByte || le::int32At(before.data() + k) != 0 || after[k] != 1)
            std::abort();
    }
    // Saving the same edit again changes nothing more.
    const std::string once = after;
    PilotRecord again;
    if (!ReadMission(again, "pilot.plt", files).ok() || !WritePilotDetails("pilot.plt", again, edit, files).ok() ||
        files.bytes != once)
        std::abort();
    return 0;
}
