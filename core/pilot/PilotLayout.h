// Where every field the program reads or writes lies in a pilot file.
// This table is the only place that knows offsets and widths; the loader,
// the save path and the sample-pilot generator all take them from here.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vantrel::layout {

inline constexpr std::int64_t kPilotFileSize = 152076;
// What pilot file names end with, in any letter case.
inline constexpr std::string_view kPilotFileExtension = ".plt";

struct Field {
    std::string_view name;
    std::uint32_t offset;
    std::uint32_t width;
};

inline constexpr std::uint32_t kCraftTypeCount = 231;
inline constexpr std::uint32_t kRatingCount = 25;
inline constexpr std::uint32_t kCraftTableWidth = 4 * kCraftTypeCount;
inline constexpr std::uint32_t kRatingTableWidth = 4 * kRatingCount;

inline constexpr std::uint32_t kMissionRecordSize = 48;
inline constexpr std::uint32_t kMissionListCapacity = 255;
inline constexpr std::uint32_t kMissionListWidth = kMissionRecordSize * kMissionListCapacity;

inline constexpr Field PilotName{"PilotName", 0, 13};
inline constexpr Field MPJoinGameName{"MPJoinGameName", 74, 31};
inline constexpr Field MPHostGameName{"MPHostGameName", 106, 31};
inline constexpr Field ToNextRating{"ToNextRating", 154, 4};
inline constexpr Field TODScoreA{"TODScoreA", 158, 4};
inline constexpr Field AzzScoreA{"AzzScoreA", 162, 4};
inline constexpr Field SimScoreA{"SimScoreA", 166, 4};
inline constexpr Field TODKillsA{"TODKillsA", 210, kCraftTableWidth};
inline constexpr Field AzzKills{"AzzKills", 2258, kCraftTableWidth};
inline constexpr Field SimKillsA{"SimKillsA", 4306, kCraftTableWidth};
inline constexpr Field TODAssistsA{"TODAssistsA", 6354, kCraftTableWidth};
inline constexpr Field AzzAssistsA{"AzzAssistsA", 8402, kCraftTableWidth};
inline constexpr Field SimAssists{"SimAssists", 10450, kCraftTableWidth};
inline constexpr Field CampaignMissionRecords{"CampaignMissionRecords", 44286, kMissionListWidth};
inline constexpr Field SimMissionRecords{"SimMissionRecords", 56526, kMissionListWidth};
inline constexpr Field Rating{"Rating", 69278, 4};
inline constexpr Field Rank{"Rank", 69282, 4};
inline constexpr Field KalidorCrescent{"KalidorCrescent", 69286, 4};
inline constexpr Field TODScoreB{"TODScoreB", 70726, 4};
inline constexpr Field TODBonus{"TODBonus", 70734, 4};
inline constexpr Field TODScoreC{"TODScoreC", 70738, 4};
inline constexpr Field TODScoreD{"TODScoreD", 70742, 4};
inline constexpr Field TODTotalKills{"TODTotalKills", 70766, 4};
inline constexpr Field TODKillsB{"TODKillsB", 70794, kCraftTableWidth};
inline constexpr Field TODAssistsB{"TODAssistsB", 76938, kCraftTableWidth};
inline constexpr Field SimScoreB{"SimScoreB", 111310, 4};
inline constexpr Field SimBonus{"SimBonus", 111318, 4};
inline constexpr Field SimScoreC{"SimScoreC", 111322, 4};
inline constexpr Field SimScoreD{"SimScoreD", 111334, 4};
inline constexpr Field SimKillsB{"SimKillsB", 115474, kCraftTableWidth};
inline constexpr Field PlayerKillsByRating{"PlayerKillsByRating", 130006, kRatingTableWidth};
inline constexpr Field CraftLossesTotal{"CraftLossesTotal", 130990, 4};
inline constexpr Field LossesFromCollisions{"LossesFromCollisions", 131002, 4};
inline constexpr Field LossesToStarships{"LossesToStarships", 131014, 4};
inline constexpr Field LossesToMines{"LossesToMines", 131026, 4};
inline constexpr Field KilledByPlayersByRating{"KilledByPlayersByRating", 131230, kRatingTableWidth};
inline constexpr Field LossesToNonPlayerCraft{"LossesToNonPlayerCraft", 131378, 4};
inline constexpr Field AzzScoreB{"AzzScoreB", 131602, 4};
inline constexpr Field AzzBonus{"AzzBonus", 131610, 4};
inline constexpr Field AzzScoreC{"AzzScoreC", 131614, 4};
inline constexpr Field AzzScoreD{"AzzScoreD", 131622, 4};
inline constexpr Field AzzTotalKills{"AzzTotalKills", 131646, 4};
inline constexpr Field AzzAssistsB{"AzzAssistsB", 139862, kCraftTableWidth};

// Every field, in file order: the loader reads the stretches they cover.
// clang-format off
inline constexpr std::array kAllFields{
    PilotName, MPJoinGameName, MPHostGameName, ToNextRating, TODScoreA, AzzScoreA, SimScoreA,
    TODKillsA, AzzKills, SimKillsA, TODAssistsA, AzzAssistsA, SimAssists,
    CampaignMissionRecords, SimMissionRecords, Rating, Rank, KalidorCrescent,
    TODScoreB, TODBonus, TODScoreC, TODScoreD, TODTotalKills, TODKillsB, TODAssistsB,
    SimScoreB, SimBonus, SimScoreC, SimScoreD, SimKillsB, PlayerKillsByRating,
    CraftLossesTotal, LossesFromCollisions, LossesToStarships, LossesToMines,
    KilledByPlayersByRating, LossesToNonPlayerCraft, AzzScoreB, AzzBonus, AzzScoreC,
    AzzScoreD, AzzTotalKills, AzzAssistsB};
// clang-format on

// Offsets inside one 48-byte mission record.
namespace record {
inline constexpr std::uint32_t kLeadValue = 0;
inline constexpr std::uint32_t kStatus = 16;
inline constexpr std::uint32_t kScore = 24;
inline constexpr std::uint32_t kTime = 28;
inline constexpr std::uint32_t kBonus = 40;
}  // namespace record

constexpr std::uint32_t missionRecordOffset(const Field& list, std::uint32_t index)
{
    return list.offset + kMissionRecordSize * index;
}

// Bonus values are stored as ten times the points.
inline constexpr std::int32_t kBonusScale = 10;

}  // namespace vantrel::layout
