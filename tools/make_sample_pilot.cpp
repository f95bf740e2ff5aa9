// Writes the bundled sample pilot: a believable mid-campaign pilot whose
// mission scores add up to its stored totals, with simulator results,
// kills and assists, multiplayer figures and losses.
//
//   make_sample_pilot OUTPUT.plt
#include <cstdio>

#include "tests/support/PilotImage.h"

using namespace vantrel;
namespace L = vantrel::layout;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_pilot OUTPUT.plt\n");
        return 2;
    }
    PilotImage pilot;
    pilot.setText(L::PilotName, "Kestrel");
    pilot.setText(L::MPJoinGameName, "Red Squadron Friday Furball");
    pilot.setText(L::MPHostGameName, "Kestrel's Proving Grounds");
    pilot.setInt(L::Rank, 5);             // Captain
    pilot.setInt(L::Rating, 12);          // Ace 4th
    pilot.setInt(L::KalidorCrescent, 2);  // Bronze Cluster
    pilot.setInt(L::ToNextRating, 64);

    // Twenty campaign missions: the first seven fly for the family
    // (Azzameen account), the rest for the Alliance (TOD account).
    std::int32_t azzScore = 0, azzBonus = 0, todScore = 0, todBonus = 0;
    for (std::uint32_t i = 0; i < 20; ++i) {
        PilotImage::Mission m;
        m.leadValue = static_cast<std::int32_t>(0x0101 + i);
        m.score = 1450 + static_cast<std::int32_t>((i * 7919 + i * i * 613) % 2600);
        m.time = 380 + static_cast<std::int32_t>((i * 131) % 900);
        m.storedBonus =
            10 * (150 + static_cast<std::int32_t>((i * i * 37 + 11 * i) % 400)) + static_cast<std::int32_t>(i % 10);
        pilot.setMission(L::CampaignMissionRecords, i, m);
        const std::int32_t bonusPoints = m.storedBonus / L::kBonusScale;
        if (i < 7) {
            azzScore += m.score;
            azzBonus += bonusPoints;
        } else {
            todScore += m.score;
            todBonus += bonusPoints;
        }
    }
    for (const auto& f : {L::TODScoreA, L::TODScoreB, L::TODScoreC, L::TODScoreD})
        pilot.setInt(f, todScore);
    for (const auto& f : {L::AzzScoreA, L::AzzScoreB, L::AzzScoreC, L::AzzScoreD})
        pilot.setInt(f, azzScore);
    pilot.setInt(L::TODBonus, todBonus * L::kBonusScale);
    pilot.setInt(L::AzzBonus, azzBonus * L::kBonusScale);

    // Combat simulator: six missions flown, one with no recorded result.
    const std::int32_t simScores[] = {3120, 2875, 0, 4410, 1990, 5230};
    const std::int32_t simTimes[] = {512, 640, 0, 733, 298, 901};
    const std::int32_t simBonuses[] = {4100, 2550, 0, 6125, 1200, 7300};
    std::int32_t simScore = 0, simBonus = 0;
    for (std::uint32_t i = 0; i < 6; ++i) {
        pilot.setMission(L::SimMissionRecords, i, {0x0201, 1, simScores[i], simTimes[i], simBonuses[i]});
        simScore += simScores[i];
        simBonus += simBonuses[i];
    }
    for (const auto& f : {L::SimScoreA, L::SimScoreB, L::SimScoreC, L::SimScoreD})
        pilot.setInt(f, simScore);
    pilot.setInt(L::SimBonus, simBonus);

    // Kills and assists by craft type: {craft type, kills, assists}.
    const std::int32_t todKills[][3] = {{4, 38, 6}, {5, 21, 4}, {6, 9, 2}, {8, 3, 1},
                                        {15, 7, 0}, {39, 2, 3}, {52, 1, 0}};
    std::int32_t todTotal = 0;
    for (const auto& k : todKills) {
        for (const auto& f : {L::TODKillsA, L::TODKillsB})
            pilot.setInt(f, k[1], static_cast<std::uint32_t>(k[0]));
        for (const auto& f : {L::TODAssistsA, L::TODAssistsB})
            pilot.setInt(f, k[2], static_cast<std::uint32_t>(k[0]));
        todTotal += k[1];
    }
    pilot.setInt(L::TODTotalKills, todTotal);

    const std::int32_t azzKills[][4] = {{119, 12, 2, 2}, {125, 4, 1, 1}, {10, 6, 0, 0}, {112, 2, 1, 1}};
    std::int32_t azzTotal = 0;
    for (const auto& k : azzKills) {
        const auto craft = static_cast<std::uint32_t>(k[0]);
        pilot.setInt(L::AzzKills, k[1], craft);
        pilot.setInt(L::AzzAssistsA, k[2], craft);
        pilot.setInt(L::AzzAssistsB, k[3], craft);
        azzTotal += k[1];
    }
    pilot.setInt(L::AzzTotalKills, azzTotal);

    const std::int32_t simKills[][4] = {{4, 25, 25, 5}, {5, 17, 17, 3}, {0, 2, 2, 0}, {126, 1, 1, 0}};
    for (const auto& k : simKills) {
        const auto craft = static_cast<std::uint32_t>(k[0]);
        pilot.setInt(L::SimKillsA, k[1], craft);
        pilot.setInt(L::SimKillsB, k[2], craft);
        pilot.setInt(L::SimAssists, k[3], craft);
    }

    // Multiplayer: players killed and killed by, by rating.
    const std::int32_t playerKills[][2] = {{9, 3}, {12, 5}, {14, 2}, {20, 1}};
    for (const auto& k : playerKills)
        pilot.setInt(L::PlayerKillsByRating, k[1], static_cast<std::uint32_t>(k[0]));
    const std::int32_t killedBy[][2] = {{11, 2}, {13, 3}, {16, 1}};
    std::int32_t killedByTotal = 0;
    for (const auto& k : killedBy) {
        pilot.setInt(L::KilledByPlayersByRating, k[1], static_cast<std::uint32_t>(k[0]));
        killedByTotal += k[1];
    }

    pilot.setInt(L::LossesToNonPlayerCraft, 7);
    pilot.setInt(L::LossesToStarships, 3);
    pilot.setInt(L::LossesToMines, 1);
    pilot.setInt(L::LossesFromCollisions, 2);
    pilot.setInt(L::CraftLossesTotal, killedByTotal + 7 + 3 + 1 + 2);

    if (!pilot.save(argv[1])) {
        std::fprintf(stderr, "make_sample_pilot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
