#include "core/reports/FullDetails.h"

#include <string>

#include "core/reports/LineBuilder.h"
#include "core/reports/MissionListings.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/WholeNumber.h"

namespace vantrel {

namespace {

void appendFourCopies(LineBuilder& out, std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d)
{
    out << a << ", " << b << ", " << c << " and " << d;
}

// A kill table: one line per craft type that passes the filter, then the
// caller's total line. Returns the sum of the counted column.
template <typename Passes, typename RowText, typename Counted>
std::int32_t appendCraftRows(LineBuilder& out, Passes passes, RowText rowText, Counted counted)
{
    const auto labels = vocabulary::craftTypeLabels();
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!passes(i))
            continue;
        rowText(out << labels[i], i);
        out.end();
        sum = wrappingAdd(sum, counted(i));
    }
    return sum;
}

std::int32_t appendRatingRows(LineBuilder& out, const RatingTable& counts)
{
    const auto names = vocabulary::ratingNames();
    std::int32_t sum = 0;
    for (std::size_t r = 0; r < names.size(); ++r) {
        if (counts[r] <= 0)
            continue;
        out << counts[r] << ' ' << names[r];
        out.end();
        sum = wrappingAdd(sum, counts[r]);
    }
    return sum;
}

// A table row's counts, separated by tabs.
template <typename... Counts>
void appendCounts(LineBuilder& row, std::int32_t first, Counts... more)
{
    row.append((1 + sizeof...(more)) * (text::kMaxDigits + 1), [&](char* p) {
        p = text::put(p, first);
        ((p = text::put(text::put(p, '\t'), more)), ...);
        return p;
    });
}

void appendKillsTotalLine(LineBuilder& out, std::int32_t sum)
{
    out << "Calculated total: " << sum << " kills.";
    out.end();
}

}  // namespace

void AppendFullDetails(TextSink& sink, Settings& settings, const PilotRecord& record)
{
    AppendFullDetails(sink, readListingFigures(settings), record);
}

void AppendFullDetails(TextSink& sink, const ListingFigures& figures, const PilotRecord& r)
{
    LineBuilder out(sink);
    out.line("");
    out.line(" ------------------------------------- ");
    out.line("--- All other known details: ---");
    out.line(" ------------------------------------- ");
    out << "TOD total score A, B, C and D: = ";
    appendFourCopies(out, r.TODScoreA, r.TODScoreB, r.TODScoreC, r.TODScoreD);
    out.end();
    out << "TOD bonus score: = " << r.TODBonus;
    out.end();
    out << "Azzameen total score A, B, C and D: = ";
    appendFourCopies(out, r.AzzScoreA, r.AzzScoreB, r.AzzScoreC, r.AzzScoreD);
    out.end();
    out << "Azzameen bonus score: = " << r.AzzBonus;
    out.end();
    out << "Combat Sim. total score A, B, C and D: = ";
    appendFourCopies(out, r.SimScoreA, r.SimScoreB, r.SimScoreC, r.SimScoreD);
    out.end();
    out << "Comabat Sim. bonus score: = " << r.SimBonus;
    out.end();
    out.line("");
    out << "To next rating: " << r.ToNextRating << '%';
    out.end();
    out.line("");
    out.line("- Kills: -");
    out << "TOD Total number of kills : " << r.TODTotalKills;
    out.end();

    const auto todTable = [&](const CraftTable& kills, const CraftTable& assists) {
        return appendCraftRows(
            out, [&](std::size_t i) { return kills[i] > 0; },
            [&](LineBuilder& row, std::size_t i) { appendCounts(row, kills[i], assists[i]); },
            [&](std::size_t i) { return kills[i]; });
    };
    out.line("---");
    out.line("TOD Kill details A (Kill list A + Assist list A):");
    out.line("Shiptype:\t\tKills: \tAssits):");
    appendKillsTotalLine(out, todTable(r.TODKillsA, r.TODAssistsA));
    out.line("---");
    out.line("TOD Kill details B (Kill list B + Assist list B):");
    out.line("Shiptype:\t\tKills: \tAssits):");
    appendKillsTotalLine(out, todTable(r.TODKillsB, r.TODAssistsB));
    out.line("---");

    out << "Azzameen total number of kills : " << r.AzzTotalKills;
    out.end();
    out.line("---");
    out.line("Azzameen Kill details (Kill list + Assist list A + Assist list B):");
    out.line("Shiptype:\t\tKills:\tAssitsA:\tAssitsB:");
    const std::int32_t azzSum = appendCraftRows(
        out, [&](std::size_t i) { return r.AzzKills[i] > 0; },
        [&](LineBuilder& row, std::size_t i) { appendCounts(row, r.AzzKills[i], r.AzzAssistsA[i], r.AzzAssistsB[i]); },
        [&](std::size_t i) { return r.AzzKills[i]; });
    appendKillsTotalLine(out, azzSum);
    out.line("---");

    out.line("- Combat Sim. data: -");
    SimRipScore(sink, figures, r);
    out.line("");
    out.line("Combat sim. / Multi-Player gaming:");
    out << "MP join game name: " << fieldText(r.MPJoinGameName);
    out.end();
    out << "MP host game name: " << fieldText(r.MPHostGameName);
    out.end();
    out.line("");
    out.line("Combat sim. kill details (Kill list A + Kill list B + Assist list :");
    out.line("Shiptype:\t\tKillsA:\tKillsB:\tAssits:");
    const std::int32_t simSum = appendCraftRows(
        out, [&](std::size_t i) { return r.SimKillsA[i] > 0 || r.SimKillsB[i] > 0; },
        [&](LineBuilder& row, std::size_t i) { appendCounts(row, r.SimKillsA[i], r.SimKillsB[i], r.SimAssists[i]); },
        [&](std::size_t i) { return r.SimKillsA[i]; });
    out << "Calculated total (Kill list A): " << simSum << " kills.";
    out.end();
    out.line("");

    out.line("Number of players this pilot have killed listed by rating:");
    const std::int32_t playerKills = appendRatingRows(out, r.PlayerKillsByRating);
    out << "Total number of player kills: " << playerKills;
    out.end();
    out.line("");
    out.line("Number times this pilot has been killed by players (listed by rating):");
    const std::int32_t killedBy = appendRatingRows(out, r.KilledByPlayersByRating);
    out << "Total number times killed: " << killedBy;
    out.end();
    out.line("");
    out.line("Total player Craft losses:");
    out << "Total craft losses: " << r.CraftLossesTotal;
    out.end();
    out << "To players: " << killedBy;
    out.end();
    out << "To non-player crafts: " << r.LossesToNonPlayerCraft;
    out.end();
    out << "To Starships: " << r.LossesToStarships;
    out.end();
    out << "To mines: " << r.LossesToMines;
    out.end();
    out << "From collisions: " << r.LossesFromCollisions;
    out.end();
}

}  // namespace vantrel
