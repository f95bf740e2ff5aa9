#include "core/reports/FullDetails.h"

#include <string>

#include "core/reports/MissionListings.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/WholeNumber.h"

namespace vantrel {

namespace {

using std::to_string;

std::string fourCopies(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d)
{
    return to_string(a) + ", " + to_string(b) + ", " + to_string(c) + " and " + to_string(d);
}

// A kill table: one line per craft type that passes the filter, then the
// caller's total line. Returns the sum of the counted column.
template <typename Passes, typename RowText, typename Counted>
std::int32_t appendCraftRows(TextSink& sink, Passes passes, RowText rowText, Counted counted)
{
    const auto labels = vocabulary::craftTypeLabels();
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!passes(i))
            continue;
        sink.addLine(std::string(labels[i]) + rowText(i));
        sum = wrappingAdd(sum, counted(i));
    }
    return sum;
}

std::int32_t appendRatingRows(TextSink& sink, const RatingTable& counts)
{
    const auto names = vocabulary::ratingNames();
    std::int32_t sum = 0;
    for (std::size_t r = 0; r < names.size(); ++r) {
        if (counts[r] <= 0)
            continue;
        sink.addLine(to_string(counts[r]) + " " + std::string(names[r]));
        sum = wrappingAdd(sum, counts[r]);
    }
    return sum;
}

std::string killsTotalLine(std::int32_t sum)
{
    return "Calculated total: " + to_string(sum) + " kills.";
}

}  // namespace

void AppendFullDetails(TextSink& sink, Settings& settings, const PilotRecord& r)
{
    sink.addLine("");
    sink.addLine(" ------------------------------------- ");
    sink.addLine("--- All other known details: ---");
    sink.addLine(" ------------------------------------- ");
    sink.addLine("TOD total score A, B, C and D: = " + fourCopies(r.TODScoreA, r.TODScoreB, r.TODScoreC, r.TODScoreD));
    sink.addLine("TOD bonus score: = " + to_string(r.TODBonus));
    sink.addLine("Azzameen total score A, B, C and D: = " + fourCopies(r.AzzScoreA, r.AzzScoreB, r.AzzScoreC, r.AzzScoreD));
    sink.addLine("Azzameen bonus score: = " + to_string(r.AzzBonus));
    sink.addLine("Combat Sim. total score A, B, C and D: = " + fourCopies(r.SimScoreA, r.SimScoreB, r.SimScoreC, r.SimScoreD));
    sink.addLine("Comabat Sim. bonus score: = " + to_string(r.SimBonus));
    sink.addLine("");
    sink.addLine("To next rating: " + to_string(r.ToNextRating) + "%");
    sink.addLine("");
    sink.addLine("- Kills: -");
    sink.addLine("TOD Total number of kills : " + to_string(r.TODTotalKills));

    const auto todTable = [&](const CraftTable& kills, const CraftTable& assists) {
        return appendCraftRows(
            sink, [&](std::size_t i) { return kills[i] > 0; },
            [&](std::size_t i) { return to_string(kills[i]) + "\t" + to_string(assists[i]); },
            [&](std::size_t i) { return kills[i]; });
    };
    sink.addLine("---");
    sink.addLine("TOD Kill details A (Kill list A + Assist list A):");
    sink.addLine("Shiptype:\t\tKills: \tAssits):");
    sink.addLine(killsTotalLine(todTable(r.TODKillsA, r.TODAssistsA)));
    sink.addLine("---");
    sink.addLine("TOD Kill details B (Kill list B + Assist list B):");
    sink.addLine("Shiptype:\t\tKills: \tAssits):");
    sink.addLine(killsTotalLine(todTable(r.TODKillsB, r.TODAssistsB)));
    sink.addLine("---");

    sink.addLine("Azzameen total number of kills : " + to_string(r.AzzTotalKills));
    sink.addLine("---");
    sink.addLine("Azzameen Kill details (Kill list + Assist list A + Assist list B):");
    sink.addLine("Shiptype:\t\tKills:\tAssitsA:\tAssitsB:");
    const std::int32_t azzSum = appendCraftRows(
        sink, [&](std::size_t i) { return r.AzzKills[i] > 0; },
        [&](std::size_t i) {
            return to_string(r.AzzKills[i]) + "\t" + to_string(r.AzzAssistsA[i]) + "\t" + to_string(r.AzzAssistsB[i]);
        },
        [&](std::size_t i) { return r.AzzKills[i]; });
    sink.addLine(killsTotalLine(azzSum));
    sink.addLine("---");

    sink.addLine("- Combat Sim. data: -");
    SimRipScore(sink, settings, r);
    sink.addLine("");
    sink.addLine("Combat sim. / Multi-Player gaming:");
    sink.addLine("MP join game name: " + fieldText(r.MPJoinGameName));
    sink.addLine("MP host game name: " + fieldText(r.MPHostGameName));
    sink.addLine("");
    sink.addLine("Combat sim. kill details (Kill list A + Kill list B + Assist list :");
    sink.addLine("Shiptype:\t\tKillsA:\tKillsB:\tAssits:");
    const std::int32_t simSum = appendCraftRows(
        sink, [&](std::size_t i) { return r.SimKillsA[i] > 0 || r.SimKillsB[i] > 0; },
        [&](std::size_t i) {
            return to_string(r.SimKillsA[i]) + "\t" + to_string(r.SimKillsB[i]) + "\t" + to_string(r.SimAssists[i]);
        },
        [&](std::size_t i) { return r.SimKillsA[i]; });
    sink.addLine("Calculated total (Kill list A): " + to_string(simSum) + " kills.");
    sink.addLine("");

    sink.addLine("Number of players this pilot have killed listed by rating:");
    const std::int32_t playerKills = appendRatingRows(sink, r.PlayerKillsByRating);
    sink.addLine("Total number of player kills: " + to_string(playerKills));
    sink.addLine("");
    sink.addLine("Number times this pilot has been killed by players (listed by rating):");
    const std::int32_t killedBy = appendRatingRows(sink, r.KilledByPlayersByRating);
    sink.addLine("Total number times killed: " + to_string(killedBy));
    sink.addLine("");
    sink.addLine("Total player Craft losses:");
    sink.addLine("Total craft losses: " + to_string(r.CraftLossesTotal));
    sink.addLine("To players: " + to_string(killedBy));
    sink.addLine("To non-player crafts: " + to_string(r.LossesToNonPlayerCraft));
    sink.addLine("To Starships: " + to_string(r.LossesToStarships));
    sink.addLine("To mines: " + to_string(r.LossesToMines));
    sink.addLine("From collisions: " + to_string(r.LossesFromCollisions));
}

}  // namespace vantrel
