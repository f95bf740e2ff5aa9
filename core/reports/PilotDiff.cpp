#include "core/reports/PilotDiff.h"

#include <span>
#include <string_view>

#include "core/reports/MissionListings.h"
#include "core/reports/PilotReport.h"
#include "core/pilot/Vocabulary.h"
#include "core/text/WholeNumber.h"

namespace vantrel {

namespace {

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string withSign(std::int32_t change)
{
// GCC 12 warns of an overlapping copy inside std::string's operator+ once it
// is inlined here (-Wrestrict, a false positive of that version: the copy
// goes into a fresh string).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
    return (change >= 0 ? "+" : "") + std::to_string(change);
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
}

class DiffLines {
public:
    void text(std::string_view label, const std::string& older, const std::string& newer)
    {
        if (older != newer)
            lines.push_back(std::string(label) + ": " + older + " -> " + newer);
    }

    void number(std::string_view label, std::int32_t older, std::int32_t newer)
    {
        if (older != newer)
            text(label, std::to_string(older), std::to_string(newer));
    }

    void named(std::string_view label, std::span<const std::string_view> table, std::int32_t older, std::int32_t newer)
    {
        if (older != newer)
            text(label, vocabulary::nameOrNumber(table, older), vocabulary::nameOrNumber(table, newer));
    }

    void total(std::string_view label, std::int32_t older, std::int32_t newer)
    {
        if (older != newer)
            lines.push_back(std::string(label) + ": " + std::to_string(older) + " -> " + std::to_string(newer) + " (" +
                            withSign(wrappingSub(newer, older)) + ")");
    }

    template <std::size_t N>
    void counters(std::string_view label, const std::array<std::int32_t, N>& older,
                  const std::array<std::int32_t, N>& newer, std::string (*nameOf)(std::size_t))
    {
        for (std::size_t k = 0; k < N; ++k)
            number(std::string(label) + ", " + nameOf(k), older[k], newer[k]);
    }

    // Slots present in both lists show what changed; the others were added or removed.
    void missions(std::string_view label, const MissionTable& older, std::size_t olderCount, const MissionTable& newer,
                  std::size_t newerCount)
    {
        for (std::size_t slot = 0; slot < older.size(); ++slot) {
            const bool wasThere = slot < olderCount, isThere = slot < newerCount;
            const MissionEntry& a = older[slot];
            const MissionEntry& b = newer[slot];
            if (!wasThere && !isThere)
                continue;
            const std::string head = std::string(label) + " " + std::to_string(slot + 1) + ": ";
            if (wasThere != isThere) {
                lines.push_back(head + (isThere ? "added, " : "removed, ") + describe(isThere ? b : a));
                continue;
            }
            std::string changes;
            const auto change = [&](std::string_view what, const std::string& from, const std::string& to) {
                if (from == to)
                    return;
                if (!changes.empty())
                    changes += ", ";
                changes += std::string(what) + " " + from + " -> " + to;
            };
            change("score", std::to_string(a.MissionScore), std::to_string(b.MissionScore));
            change("time", formatMissionTime(a.MissionTime), formatMissionTime(b.MissionTime));
            change("bonus", std::to_string(a.MissionBonus), std::to_string(b.MissionBonus));
            change("status", std::to_string(a.MissionStatus), std::to_string(b.MissionStatus));
            change("lead value", std::to_string(a.MissionLeadValue), std::to_string(b.MissionLeadValue));
            if (!changes.empty())
                lines.push_back(head + changes);
        }
    }

    std::vector<std::string> lines;

private:
    static std::string describe(const MissionEntry& m)
    {
        return "score " + std::to_string(m.MissionScore) + ", time " + formatMissionTime(m.MissionTime) + ", bonus " +
               std::to_string(m.MissionBonus);
    }
};

std::string ratingName(std::size_t rating)
{
    return std::string(vocabulary::ratingNames()[rating]);
}

}  // namespace

std::vector<std::string> diffPilots(const PilotRecord& a, const PilotRecord& b)
{
    DiffLines d;
    d.text("Pilot name", quoted(fieldText(a.PilotName)), quoted(fieldText(b.PilotName)));
    d.named("Rank", vocabulary::rankNames(), a.Rank, b.Rank);
    d.named("Rating", vocabulary::ratingNames(), a.Rating, b.Rating);
    d.named("Kalidor Crescent", vocabulary::kalidorStates(), a.KalidorCrescent, b.KalidorCrescent);
    d.number("To next rating", a.ToNextRating, b.ToNextRating);

    d.number("TOD score A", a.TODScoreA, b.TODScoreA);
    d.number("TOD score B", a.TODScoreB, b.TODScoreB);
    d.number("TOD score C", a.TODScoreC, b.TODScoreC);
    d.number("TOD score D", a.TODScoreD, b.TODScoreD);
    d.number("TOD bonus", a.TODBonus, b.TODBonus);
    d.number("Azzameen score A", a.AzzScoreA, b.AzzScoreA);
    d.number("Azzameen score B", a.AzzScoreB, b.AzzScoreB);
    d.number("Azzameen score C", a.AzzScoreC, b.AzzScoreC);
    d.number("Azzameen score D", a.AzzScoreD, b.AzzScoreD);
    d.number("Azzameen bonus", a.AzzBonus, b.AzzBonus);
    d.number("Simulator score A", a.SimScoreA, b.SimScoreA);
    d.number("Simulator score B", a.SimScoreB, b.SimScoreB);
    d.number("Simulator score C", a.SimScoreC, b.SimScoreC);
    d.number("Simulator score D", a.SimScoreD, b.SimScoreD);
    d.number("Simulator bonus", a.SimBonus, b.SimBonus);

    d.number("Campaign missions completed", a.CampaignMissionCount, b.CampaignMissionCount);
    d.missions("Campaign mission", a.CampaignMissions, a.CampaignMissionCount, b.CampaignMissions,
               b.CampaignMissionCount);
    d.number("Simulator missions completed", a.SimMissionCount, b.SimMissionCount);
    d.missions("Simulator mission", a.SimMissions, a.SimMissionCount, b.SimMissions, b.SimMissionCount);

    d.counters("TOD kills A", a.TODKillsA, b.TODKillsA, vocabulary::craftTypeName);
    d.counters("TOD kills B", a.TODKillsB, b.TODKillsB, vocabulary::craftTypeName);
    d.counters("TOD assists A", a.TODAssistsA, b.TODAssistsA, vocabulary::craftTypeName);
    d.counters("TOD assists B", a.TODAssistsB, b.TODAssistsB, vocabulary::craftTypeName);
    d.counters("Azzameen kills", a.AzzKills, b.AzzKills, vocabulary::craftTypeName);
    d.counters("Azzameen assists A", a.AzzAssistsA, b.AzzAssistsA, vocabulary::craftTypeName);
    d.counters("Azzameen assists B", a.AzzAssistsB, b.AzzAssistsB, vocabulary::craftTypeName);
    d.counters("Simulator kills A", a.SimKillsA, b.SimKillsA, vocabulary::craftTypeName);
    d.counters("Simulator kills B", a.SimKillsB, b.SimKillsB, vocabulary::craftTypeName);
    d.counters("Simulator assists", a.SimAssists, b.SimAssists, vocabulary::craftTypeName);

    d.counters("Multiplayer kills", a.PlayerKillsByRating, b.PlayerKillsByRating, ratingName);
    d.counters("Killed by players", a.KilledByPlayersByRating, b.KilledByPlayersByRating, ratingName);
    d.text("Multiplayer game joined", quoted(fieldText(a.MPJoinGameName)), quoted(fieldText(b.MPJoinGameName)));
    d.text("Multiplayer game hosted", quoted(fieldText(a.MPHostGameName)), quoted(fieldText(b.MPHostGameName)));

    d.number("Craft losses", a.CraftLossesTotal, b.CraftLossesTotal);
    d.number("Losses from collisions", a.LossesFromCollisions, b.LossesFromCollisions);
    d.number("Losses to starships", a.LossesToStarships, b.LossesToStarships);
    d.number("Losses to mines", a.LossesToMines, b.LossesToMines);
    d.number("Losses to non-player craft", a.LossesToNonPlayerCraft, b.LossesToNonPlayerCraft);

    d.total("Campaign total", CampaignScoreSum(a), CampaignScoreSum(b));
    d.total("TOD kills A total", wrappingSum(a.TODKillsA), wrappingSum(b.TODKillsA));
    d.total("TOD kills B total", wrappingSum(a.TODKillsB), wrappingSum(b.TODKillsB));
    d.total("Azzameen kills total", wrappingSum(a.AzzKills), wrappingSum(b.AzzKills));
    d.total("Simulator kills A total", wrappingSum(a.SimKillsA), wrappingSum(b.SimKillsA));
    d.total("TOD total kills (stored)", a.TODTotalKills, b.TODTotalKills);
    d.total("Azzameen total kills (stored)", a.AzzTotalKills, b.AzzTotalKills);
    return std::move(d.lines);
}

}  // namespace vantrel
