#include "core/pilot/PilotLoader.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>

#include "core/pilot/LittleEndian.h"
#include "core/pilot/OpenFailure.h"
#include "core/pilot/PilotLayout.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/WholeNumber.h"

namespace vantrel {

namespace {

// Every field the load reads, for the file to fetch ahead.
constexpr auto kFieldRanges = [] {
    std::array<ByteRange, layout::kAllFields.size()> ranges{};
    for (std::size_t i = 0; i < ranges.size(); ++i)
        ranges[i] = {layout::kAllFields[i].offset, layout::kAllFields[i].width};
    return ranges;
}();

using le::int32At;

// One load: counts the failed steps and keeps going.
class Reader {
public:
    Reader(OpenFile* file, std::uint16_t& errors) : file_(file), errors_(errors) {}

    bool seek(std::int64_t offset)
    {
        if (file_ && file_->seek(offset))
            return true;
        ++errors_;
        return false;
    }

    // A failed read leaves the destination as it was.
    void readInto(void* destination, std::size_t count)
    {
        unsigned char buffer[layout::kCraftTableWidth];
        if (file_ && count <= sizeof buffer && file_->read(buffer, count))
            std::memcpy(destination, buffer, count);
        else
            ++errors_;
    }

    void readBytes(const layout::Field& field, char* destination, bool positionFirst = true)
    {
        if (positionFirst)
            seek(field.offset);
        readInto(destination, field.width);
    }

    // `divisor` turns a stored bonus into points; a failed read keeps the old value.
    void readInt(const layout::Field& field, std::int32_t& destination, std::int32_t divisor = 1)
    {
        seek(field.offset);
        unsigned char raw[4];
        if (file_ && file_->read(raw, 4))
            destination = int32At(raw) / divisor;
        else
            ++errors_;
    }

    void readTable(const layout::Field& field, std::int32_t* destination, std::size_t count)
    {
        seek(field.offset);
        unsigned char raw[layout::kCraftTableWidth];
        if (file_ && file_->read(raw, count * 4)) {
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(destination, raw, count * 4);  // the file's own byte order
            } else {
                for (std::size_t k = 0; k < count; ++k)
                    destination[k] = int32At(raw + 4 * k);
            }
        } else {
            ++errors_;
        }
    }

    // Reads a mission list into its table. The records inside a list are not
    // checked one by one: a failed positioning leaves the list empty and a
    // failed record read ends it, each counted once, like running into the
    // end of the file.
    std::uint8_t readMissionList(const layout::Field& list, MissionTable& table, std::int32_t* calculatedTotal)
    {
        table = MissionTable{};
        if (calculatedTotal)
            *calculatedTotal = 0;
        std::uint32_t count = 0;
        if (!file_ || !file_->seek(list.offset)) {
            ++errors_;
            return 0;
        }
        for (;;) {
            unsigned char raw[layout::kMissionRecordSize];
            if (!file_->read(raw, sizeof raw)) {
                ++errors_;
                break;
            }
            MissionEntry entry;
            entry.MissionStatus = int32At(raw + layout::record::kStatus);
            if (entry.MissionStatus == 0)
                break;
            entry.MissionLeadValue = int32At(raw + layout::record::kLeadValue);
            entry.MissionScore = int32At(raw + layout::record::kScore);
            entry.MissionTime = int32At(raw + layout::record::kTime);
            const std::int32_t storedBonus = int32At(raw + layout::record::kBonus);
            entry.MissionBonus = storedBonus / layout::kBonusScale;
            table[count] = entry;
            if (calculatedTotal) {
                *calculatedTotal = wrappingAdd(wrappingAdd(*calculatedTotal, entry.MissionScore), entry.MissionBonus);
            }
            ++count;
            const bool atEnd = file_->atEnd();
            if (atEnd)
                ++errors_;
            if (atEnd || count == layout::kMissionListCapacity)
                break;
        }
        return static_cast<std::uint8_t>(count);
    }

private:
    OpenFile* file_;
    std::uint16_t& errors_;
};

}  // namespace

std::string wrongSizeMessage(std::int64_t length)
{
    return "The file have wrong size. " + std::to_string(length) + " The plt file must be 152.076 bytes!";
}

std::string loadErrorsMessage(std::uint16_t count)
{
    return std::to_string(count) + " Errors while loading file! This may not be a XWA pilotfile.";
}

std::vector<std::string> LoadResult::failureTexts() const
{
    if (!cause.empty())
        return {cause};
    return messages;
}

std::vector<std::string> LoadResult::failureLines(const std::string& given) const
{
    std::vector<std::string> lines = failureTexts();
    for (std::string& line : lines)
        line = given + ": " + line;
    return lines;
}

LoadResult ReadMission(PilotRecord& record, const std::string& fileName, FileAccess& files)
{
    LoadResult result;
    std::uint16_t& errors = result.LoadErrorCount;
    record.PilotFileName = fileName;

    // The loader only reads: a read-only pilot file can still be viewed.
    errno = 0;
    std::unique_ptr<OpenFile> file = files.open(fileName, OpenMode::ReadOnly);
    if (!file) {
        ++errors;
        result.cause = openFailureCause(fileName, errno);
    } else if (const std::optional<OpenFile::Status> status = file->status()) {
        result.identity = status->identity;
    }

    const std::int64_t length = file ? file->size() : -1;
    if (length != layout::kPilotFileSize) {
        ++errors;
        result.messages.push_back(wrongSizeMessage(length));
    } else {
        file->willRead(kFieldRanges);
        Reader in(file.get(), errors);
        using namespace layout;
        PilotRecord& r = record;
        in.readBytes(layout::PilotName, r.PilotName.data(), /*positionFirst=*/false);
        in.readBytes(layout::MPJoinGameName, r.MPJoinGameName.data());
        in.readBytes(layout::MPHostGameName, r.MPHostGameName.data());
        in.readInt(layout::ToNextRating, r.ToNextRating);
        in.readInt(layout::CraftLossesTotal, r.CraftLossesTotal);
        in.readInt(layout::LossesFromCollisions, r.LossesFromCollisions);
        in.readInt(layout::LossesToStarships, r.LossesToStarships);
        in.readInt(layout::LossesToMines, r.LossesToMines);
        in.readInt(layout::LossesToNonPlayerCraft, r.LossesToNonPlayerCraft);
        in.readInt(layout::SimScoreA, r.SimScoreA);
        in.readInt(layout::SimScoreB, r.SimScoreB);
        in.readInt(layout::SimScoreC, r.SimScoreC);
        in.readInt(layout::SimScoreD, r.SimScoreD);
        in.readTable(layout::TODKillsA, r.TODKillsA.data(), kCraftTypeCount);
        in.readTable(layout::TODKillsB, r.TODKillsB.data(), kCraftTypeCount);
        in.readInt(layout::TODTotalKills, r.TODTotalKills);
        in.readTable(layout::AzzKills, r.AzzKills.data(), kCraftTypeCount);
        in.readInt(layout::AzzTotalKills, r.AzzTotalKills);
        in.readTable(layout::SimKillsA, r.SimKillsA.data(), kCraftTypeCount);
        in.readTable(layout::SimKillsB, r.SimKillsB.data(), kCraftTypeCount);
        in.readTable(layout::TODAssistsA, r.TODAssistsA.data(), kCraftTypeCount);
        in.readTable(layout::TODAssistsB, r.TODAssistsB.data(), kCraftTypeCount);
        in.readTable(layout::AzzAssistsA, r.AzzAssistsA.data(), kCraftTypeCount);
        in.readTable(layout::AzzAssistsB, r.AzzAssistsB.data(), kCraftTypeCount);
        in.readTable(layout::SimAssists, r.SimAssists.data(), kCraftTypeCount);
        r.SimMissionCount = in.readMissionList(layout::SimMissionRecords, r.SimMissions, nullptr);
        in.readTable(layout::PlayerKillsByRating, r.PlayerKillsByRating.data(), kRatingCount);
        in.readTable(layout::KilledByPlayersByRating, r.KilledByPlayersByRating.data(), kRatingCount);
        in.readInt(layout::Rank, r.Rank);
        in.readInt(layout::Rating, r.Rating);
        in.readInt(layout::KalidorCrescent, r.KalidorCrescent);
        in.readInt(layout::TODScoreA, r.TODScoreA);
        in.readInt(layout::TODScoreB, r.TODScoreB);
        in.readInt(layout::TODScoreC, r.TODScoreC);
        in.readInt(layout::TODScoreD, r.TODScoreD);
        in.readInt(layout::TODBonus, r.TODBonus, kBonusScale);
        in.readInt(layout::SimBonus, r.SimBonus, kBonusScale);
        in.readInt(layout::AzzScoreA, r.AzzScoreA);
        in.readInt(layout::AzzScoreB, r.AzzScoreB);
        in.readInt(layout::AzzScoreC, r.AzzScoreC);
        in.readInt(layout::AzzScoreD, r.AzzScoreD);
        in.readInt(layout::AzzBonus, r.AzzBonus, kBonusScale);
        r.CampaignMissionCount =
            in.readMissionList(layout::CampaignMissionRecords, r.CampaignMissions, &r.CampaignCalculatedTotal);
    }
    file.reset();

    if (errors != 0) {
        result.messages.push_back(loadErrorsMessage(errors));
        return result;
    }

    result.pilotNameText = fieldText(record.PilotName);
    result.rankIndex = vocabulary::selectionFor(vocabulary::rankNames(), record.Rank);
    result.ratingIndex = vocabulary::selectionFor(vocabulary::ratingNames(), record.Rating);
    result.kalidorIndex = vocabulary::selectionFor(vocabulary::kalidorStates(), record.KalidorCrescent);
    result.activeMissionIndex = vocabulary::selectionFor(vocabulary::missionTitles(), record.CampaignMissionCount);
    result.getTo = record.CampaignMissionCount;
    return result;
}

}  // namespace vantrel
