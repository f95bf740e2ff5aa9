// The full details report: headings, the six tables and their filters.
#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "core/reports/FullDetails.h"
#include "tests/support/LineCollector.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

std::vector<std::string> details(const PilotRecord& r, MemorySettings& settings)
{
    LineCollector sink;
    AppendFullDetails(sink, settings, r);
    return sink.lines;
}

TEST(FullDetails, AllZeroPilotGivesEveryHeadingAndZeroTotals)
{
    MemorySettings settings;
    const std::vector<std::string> expected = {
        "",
        " ------------------------------------- ",
        "--- All other known details: ---",
        " ------------------------------------- ",
        "TOD total score A, B, C and D: = 0, 0, 0 and 0",
        "TOD bonus score: = 0",
        "Azzameen total score A, B, C and D: = 0, 0, 0 and 0",
        "Azzameen bonus score: = 0",
        "Combat Sim. total score A, B, C and D: = 0, 0, 0 and 0",
        "Comabat Sim. bonus score: = 0",
        "",
        "To next rating: 0%",
        "",
        "- Kills: -",
        "TOD Total number of kills : 0",
        "---",
        "TOD Kill details A (Kill list A + Assist list A):",
        "Shiptype:\t\tKills: \tAssits):",
        "Calculated total: 0 kills.",
        "---",
        "TOD Kill details B (Kill list B + Assist list B):",
        "Shiptype:\t\tKills: \tAssits):",
        "Calculated total: 0 kills.",
        "---",
        "Azzameen total number of kills : 0",
        "---",
        "Azzameen Kill details (Kill list + Assist list A + Assist list B):",
        "Shiptype:\t\tKills:\tAssitsA:\tAssitsB:",
        "Calculated total: 0 kills.",
        "---",
        "- Combat Sim. data: -",
        "-- Combat simulator mission details: --",
        "",
        "Combat sim. / Multi-Player gaming:",
        "MP join game name: ",
        "MP host game name: ",
        "",
        "Combat sim. kill details (Kill list A + Kill list B + Assist list :",
        "Shiptype:\t\tKillsA:\tKillsB:\tAssits:",
        "Calculated total (Kill list A): 0 kills.",
        "",
        "Number of players this pilot have killed listed by rating:",
        "Total number of player kills: 0",
        "",
        "Number times this pilot has been killed by players (listed by rating):",
        "Total number times killed: 0",
        "",
        "Total player Craft losses:",
        "Total craft losses: 0",
        "To players: 0",
        "To non-player crafts: 0",
        "To Starships: 0",
        "To mines: 0",
        "From collisions: 0",
    };
    EXPECT_EQ(details(PilotRecord{}, settings), expected);
}

TEST(FullDetails, TablesListPositiveRowsWithTheirLabels)
{
    MemorySettings settings;
    PilotRecord r;
    r.TODScoreA = 1;
    r.TODScoreB = 2;
    r.TODScoreC = -3;
    r.TODScoreD = 4;
    r.ToNextRating = 64;
    r.TODKillsA[0] = 12;
    r.TODAssistsA[0] = 3;
    r.TODKillsA[1] = -4;   // hidden, not summed
    r.TODAssistsA[2] = 9;  // assists without kills: not listed
    r.TODKillsA[230] = 1;
    r.AzzKills[35] = 2;
    r.AzzAssistsA[35] = 1;
    r.AzzAssistsB[35] = 0;
    r.SimKillsA[4] = -2;
    r.SimKillsB[4] = 5;  // listed through list B, lowers list A's total
    r.SimKillsA[5] = 7;
    r.SimAssists[5] = 1;
    r.PlayerKillsByRating[14] = 2;
    r.PlayerKillsByRating[24] = 1;
    r.KilledByPlayersByRating[0] = 3;
    r.CraftLossesTotal = 9;
    const std::string join = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";
    std::copy(join.begin(), join.end(), r.MPJoinGameName.begin());

    const auto lines = details(r, settings);
    const auto has = [&](const std::vector<std::string>& run) {
        return std::search(lines.begin(), lines.end(), run.begin(), run.end()) != lines.end();
    };
    EXPECT_TRUE(has({"TOD total score A, B, C and D: = 1, 2, -3 and 4"}));
    EXPECT_TRUE(has({"To next rating: 64%"}));
    EXPECT_TRUE(
        has({"Shiptype:\t\tKills: \tAssits):", "Xwing\t\t\t:12\t3", "231\t\t\t:1\t0", "Calculated total: 13 kills."}));
    EXPECT_TRUE(has(
        {"Shiptype:\t\tKills:\tAssitsA:\tAssitsB:", "Rebel Med Transport\t:2\t1\t0", "Calculated total: 2 kills."}));
    EXPECT_TRUE(has({"Shiptype:\t\tKillsA:\tKillsB:\tAssits:", "TIE Fighter\t\t:-2\t5\t0",
                     "TIE Interceptor\t\t:7\t0\t1", "Calculated total (Kill list A): 5 kills."}));
    EXPECT_TRUE(has({"MP join game name: " + join}));
    EXPECT_TRUE(has({"Number of players this pilot have killed listed by rating:", "2 Ace 2nd", "1 Jedi Master",
                     "Total number of player kills: 3"}));
    EXPECT_TRUE(has({"Number times this pilot has been killed by players (listed by rating):", "3 Target Drone",
                     "Total number times killed: 3", "", "Total player Craft losses:", "Total craft losses: 9",
                     "To players: 3"}));
}

TEST(FullDetails, TableSumsWrapAround)
{
    MemorySettings settings;
    PilotRecord r;
    r.TODKillsB[0] = INT_MAX;
    r.TODKillsB[1] = 1;
    const auto lines = details(r, settings);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Calculated total: -2147483648 kills."), lines.end());
}

}  // namespace
