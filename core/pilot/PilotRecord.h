// The in-memory copy of every pilot-file field the program reads.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/pilot/PilotLayout.h"

namespace vantrel {

struct MissionEntry {
    std::int32_t MissionLeadValue = 0;
    std::int32_t MissionStatus = 0;
    std::int32_t MissionScore = 0;
    std::int32_t MissionTime = 0;
    std::int32_t MissionBonus = 0;  // points (stored value / 10)
    bool operator==(const MissionEntry&) const = default;
};

inline constexpr std::size_t kMissionSlots = 256;

using CraftTable = std::array<std::int32_t, layout::kCraftTypeCount>;
using RatingTable = std::array<std::int32_t, layout::kRatingCount>;
using MissionTable = std::array<MissionEntry, kMissionSlots>;

struct PilotRecord {
    std::array<char, 13> PilotName{};
    std::array<char, 31> MPJoinGameName{};
    std::array<char, 31> MPHostGameName{};
    std::int32_t Rank = 0;
    std::int32_t Rating = 0;
    std::int32_t ToNextRating = 0;
    std::int32_t KalidorCrescent = 0;
    MissionTable CampaignMissions{};
    MissionTable SimMissions{};
    std::int32_t TODScoreA = 0, TODScoreB = 0, TODScoreC = 0, TODScoreD = 0;
    std::int32_t TODBonus = 0;
    std::int32_t TODTotalKills = 0;
    CraftTable TODKillsA{}, TODKillsB{}, TODAssistsA{}, TODAssistsB{};
    std::int32_t AzzScoreA = 0, AzzScoreB = 0, AzzScoreC = 0, AzzScoreD = 0;
    std::int32_t AzzBonus = 0;
    std::int32_t AzzTotalKills = 0;
    CraftTable AzzKills{}, AzzAssistsA{}, AzzAssistsB{};
    std::int32_t SimScoreA = 0, SimScoreB = 0, SimScoreC = 0, SimScoreD = 0;
    std::int32_t SimBonus = 0;
    CraftTable SimKillsA{}, SimAssists{}, SimKillsB{};
    RatingTable PlayerKillsByRating{}, KilledByPlayersByRating{};
    std::int32_t CraftLossesTotal = 0;
    std::int32_t LossesFromCollisions = 0;
    std::int32_t LossesToStarships = 0;
    std::int32_t LossesToMines = 0;
    std::int32_t LossesToNonPlayerCraft = 0;
    std::uint8_t CampaignMissionCount = 0;
    std::uint8_t SimMissionCount = 0;
    std::string PilotFileName;
    std::int32_t CampaignCalculatedTotal = 0;
    std::uint16_t FileErrorCount = 0;

    bool operator==(const PilotRecord&) const = default;
};

// Text of a fixed-width byte field: its bytes up to the first zero byte,
// decoded from the game's 8-bit code page into UTF-8.
std::string fieldText(const char* bytes, std::size_t width);

template <std::size_t N>
std::string fieldText(const std::array<char, N>& field)
{
    return fieldText(field.data(), N);
}

}  // namespace vantrel
