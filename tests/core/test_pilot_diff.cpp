// Comparing two saves of a pilot, field by field.
#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "core/reports/PilotDiff.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotPairs.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

// A pilot after some battles, written as a file so that the records compared
// are what the loader makes of it.
PilotImage veteran()
{
    PilotImage image;
    image.setText(L::PilotName, "Jan Ors");
    image.setText(L::MPJoinGameName, "Red Squadron");
    image.setInt(L::Rank, 4);
    image.setInt(L::Rating, 12);
    image.setInt(L::KalidorCrescent, 1);
    image.setInt(L::ToNextRating, 40);
    for (const auto& f : {L::TODScoreA, L::TODScoreB, L::TODScoreC, L::TODScoreD})
        image.setInt(f, 1000);
    image.setInt(L::AzzScoreB, 200);
    image.setInt(L::TODBonus, 100);
    image.setInt(L::TODKillsA, 12, 4);
    image.setInt(L::TODKillsA, 3, 50);
    image.setInt(L::TODTotalKills, 15);
    image.setInt(L::PlayerKillsByRating, 2, 12);
    image.setInt(L::LossesToMines, 1);
    image.setMission(L::CampaignMissionRecords, 0, {1, 1, 500, 303, 0});
    image.setMission(L::CampaignMissionRecords, 1, {1, 1, 600, 250, 100});
    image.setMission(L::SimMissionRecords, 0, {1, 1, 50, 10, 0});
    return image;
}

PilotRecord load(const PilotImage& image)
{
    TempDir dir;
    EXPECT_TRUE(image.save(dir.file("p.plt")));
    PilotRecord record;
    EXPECT_TRUE(ReadMission(record, dir.file("p.plt")).ok());
    return record;
}

TEST(PilotDiff, IdenticalPilotsGiveNoLines)
{
    const PilotRecord a = load(veteran());
    EXPECT_EQ(diffPilots(a, a), std::vector<std::string>{});
    PilotRecord renamedFile = a;
    renamedFile.PilotFileName = "elsewhere.plt";  // where a file lies is no field of the pilot
    EXPECT_EQ(diffPilots(a, renamedFile), std::vector<std::string>{});
}

TEST(PilotDiff, ListsEachChangedFieldThenTheChangedTotals)
{
    PilotImage after = veteran();
    after.setText(L::PilotName, "Jan");
    after.setText(L::MPJoinGameName, "");
    after.setText(L::MPHostGameName, "Rogue, \"One\"");
    after.setInt(L::Rank, 5);
    after.setInt(L::Rating, 25);  // outside the table
    after.setInt(L::KalidorCrescent, 2);
    after.setInt(L::ToNextRating, 75);
    after.setInt(L::TODScoreA, 1300);
    after.setInt(L::TODScoreD, 1300);
    after.setInt(L::AzzScoreB, 150);
    after.setInt(L::SimBonus, 90);
    after.setInt(L::TODKillsA, 15, 4);
    after.setInt(L::TODKillsA, 1, 50);
    after.setInt(L::SimAssists, 2, 230);
    after.setInt(L::TODTotalKills, 16);
    after.setInt(L::AzzTotalKills, -1);
    after.setInt(L::KilledByPlayersByRating, 1, 24);
    after.setInt(L::LossesToMines, 2);
    after.setInt(L::LossesFromCollisions, -3);
    after.setMission(L::CampaignMissionRecords, 0, {1, 1, 500, 303, 9});  // 0.9 points: no change
    after.setMission(L::CampaignMissionRecords, 1, {7, 1, 900, 250, 250});
    after.setMission(L::CampaignMissionRecords, 2, {1, 1, 300, 61, 0});
    after.setMission(L::SimMissionRecords, 0, {0, 0, 0, 0, 0});

    const std::vector<std::string> expected = {
        "Pilot name: \"Jan Ors\" -> \"Jan\"",
        "Rank: Lieutenant -> Captain",
        "Rating: Ace 4th -> 25",
        "Kalidor Crescent: Kalidor Crescent -> Kalidor Crescent: Bronze Cluster",
        "To next rating: 40 -> 75",
        "TOD score A: 1000 -> 1300",
        "TOD score D: 1000 -> 1300",
        "Azzameen score B: 200 -> 150",
        "Simulator bonus: 0 -> 9",
        "Campaign missions completed: 2 -> 3",
        "Campaign mission 2: score 600 -> 900, bonus 10 -> 25, lead value 1 -> 7",
        "Campaign mission 3: added, score 300, time 1:1, bonus 0",
        "Simulator missions completed: 1 -> 0",
        "Simulator mission 1: removed, score 50, time 0:10, bonus 0",
        "TOD kills A, TIE Fighter: 12 -> 15",
        "TOD kills A, Interdictor,Starship: 3 -> 1",
        "Simulator assists, 231: 0 -> 2",
        "Killed by players, Jedi Master: 0 -> 1",
        "Multiplayer game joined: \"Red Squadron\" -> \"\"",
        "Multiplayer game hosted: \"\" -> \"Rogue, \"One\"\"",
        "Losses from collisions: 0 -> -3",
        "Losses to mines: 1 -> 2",
        "Campaign total: 1210 -> 1460 (+250)",
        "TOD kills A total: 15 -> 16 (+1)",
        "TOD total kills (stored): 15 -> 16 (+1)",
        "Azzameen total kills (stored): 0 -> -1 (-1)",
    };
    EXPECT_EQ(diffPilots(load(veteran()), load(after)), expected);
}

TEST(PilotDiff, TotalsWrapLikeTheGameCounters)
{
    PilotRecord a{}, b{};
    a.TODScoreA = INT_MAX;
    b.TODScoreA = INT_MIN;
    a.AzzKills[0] = INT_MAX;
    a.AzzKills[1] = 1;  // the sum wraps to INT_MIN
    b.AzzKills[0] = INT_MAX;
    EXPECT_EQ(diffPilots(a, b), (std::vector<std::string>{
                                    "TOD score A: 2147483647 -> -2147483648",
                                    "Azzameen kills, Ywing: 1 -> 0",
                                    "Campaign total: 2147483647 -> -2147483648 (+1)",
                                    "Azzameen kills total: -2147483648 -> 2147483647 (-1)",
                                }));
}

TEST(PilotPairs, FoldersArePairedByThePathInsideThem)
{
    // As findPilotFiles lists them: whichever way the folder was written.
    const PilotPairs pairs = pairPilotFiles(
        "before/", {"before/B.plt", "before/a.plt", "before/gone.plt", "before/wing/x.plt"}, "/tmp/after",
        {"/tmp/after/a.plt", "/tmp/after/b.plt", "/tmp/after/new.plt", "/tmp/after/wing/x.plt"});
    ASSERT_EQ(pairs.both.size(), 2u);
    EXPECT_EQ(pairs.both[0].name, "a.plt");
    EXPECT_EQ(pairs.both[0].older, "before/a.plt");
    EXPECT_EQ(pairs.both[0].newer, "/tmp/after/a.plt");
    EXPECT_EQ(pairs.both[1].name, "wing/x.plt");
    // Names differing in letter case are different files.
    EXPECT_EQ(pairs.onlyOlder, (std::vector<std::string>{"before/B.plt", "before/gone.plt"}));
    EXPECT_EQ(pairs.onlyNewer, (std::vector<std::string>{"/tmp/after/b.plt", "/tmp/after/new.plt"}));

    const PilotPairs empty = pairPilotFiles("a", {}, "b", {"b/x.plt"});
    EXPECT_TRUE(empty.both.empty());
    EXPECT_EQ(empty.onlyNewer, std::vector<std::string>{"b/x.plt"});
}

}  // namespace
