#include "core/reports/MissionListings.h"

#include <string_view>

#include "core/reports/LineBuilder.h"
#include "core/text/WholeNumber.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

namespace {

struct Labels {
    std::string_view total;
    std::string_view score;            // without total
    std::string_view bonusAfterScore;  // without total
    std::string_view bonusInBrackets;  // without score
    std::string_view time;
};

constexpr Labels kCampaignLabels{"Tot. Score= ", "Score=", " Bonus=", " (Bonus=", " Time="};
constexpr Labels kSimulatorLabels{"Best Tot. Score= ", "Best Score=", " Best Bonus=", " (Best Bonus=", " Best Time="};

// The labels are a template argument so that their lengths are known where
// they are copied.
template <const Labels& labels>
void appendMissionLine(LineBuilder& out, const ListingFigures& f, const MissionEntry& m, std::int64_t number)
{
    if (!f.showZero && m.MissionScore == 0 && m.MissionBonus == 0 && m.MissionTime == 0)
        return;

    // Seven numbers at most, the labels and a few marks.
    constexpr std::size_t bound = 7 * text::kMaxDigits + labels.total.size() + labels.score.size() +
                                  labels.bonusAfterScore.size() + labels.bonusInBrackets.size() + labels.time.size() +
                                  8;
    out.append(bound, [&](char* p) {
        using text::put;
        p = put(put(p, number), ": ");
        if (f.total) {
            p = put(put(p, labels.total), wrappingAdd(m.MissionScore, m.MissionBonus));
            if (f.score) {
                p = put(put(p, " ("), m.MissionScore);
                if (f.bonus)
                    p = put(put(p, '+'), m.MissionBonus);
                p = put(p, ')');
            } else if (f.bonus) {
                p = put(put(put(p, labels.bonusInBrackets), m.MissionBonus), ')');
            }
        } else if (f.score) {
            p = put(put(p, labels.score), m.MissionScore);
            if (f.bonus)
                p = put(put(p, labels.bonusAfterScore), m.MissionBonus);
        } else if (f.bonus) {
            p = put(put(put(p, labels.bonusInBrackets), m.MissionBonus), ')');
        }
        if (f.time) {
            // Minutes and seconds as "m:s".
            const MissionTime time = splitMissionTime(m.MissionTime);
            p = put(put(put(put(p, labels.time), time.minutes), ':'), time.seconds);
        }
        return p;
    });
    out.end();
}

}  // namespace

MissionTime splitMissionTime(std::int32_t seconds)
{
    MissionTime time{0, seconds};
    if (seconds > 59) {
        time.minutes = seconds / 60;
        time.seconds = seconds % 60;
    }
    return time;
}

std::string formatMissionTime(std::int32_t seconds)
{
    const MissionTime time = splitMissionTime(seconds);
    return std::to_string(time.minutes) + ":" + std::to_string(time.seconds);
}

ListingFigures readListingFigures(Settings& settings)
{
    settings.UpdateFile();
    ListingFigures f{};
    f.showZero = settings.read(keys::ShowZeroMissions, defaults::ShowZeroMissions) != "0";
    f.total = settings.flag(keys::ShowMissionTotal, defaults::ShowMissionTotal);
    f.score = settings.flag(keys::ShowMissionScore, defaults::ShowMissionScore);
    f.bonus = settings.flag(keys::ShowMissionBonus, defaults::ShowMissionBonus);
    f.time = settings.flag(keys::ShowMissionTime, defaults::ShowMissionTime);
    return f;
}

void RipScore(TextSink& sink, Settings& settings, const PilotRecord& record, MissionRange& range)
{
    RipScore(sink, readListingFigures(settings), record, range);
}

void RipScore(TextSink& sink, const ListingFigures& figures, const PilotRecord& record, MissionRange& range)
{
    normaliseRange(range, record.CampaignMissionCount);
    LineBuilder out(sink);
    out.line("--- Mission details: ----------------------------");
    const std::int32_t from = range.from.value();
    const std::int32_t to = range.to.value();
    for (std::int32_t n = from; n <= to; ++n) {
        if (n == 0)
            continue;  // mission numbers start at 1
        appendMissionLine<kCampaignLabels>(out, figures, record.CampaignMissions[static_cast<std::size_t>(n - 1)], n);
    }
}

void SimRipScore(TextSink& sink, Settings& settings, const PilotRecord& record)
{
    SimRipScore(sink, readListingFigures(settings), record);
}

void SimRipScore(TextSink& sink, const ListingFigures& figures, const PilotRecord& record)
{
    LineBuilder out(sink);
    out.line("-- Combat simulator mission details: --");
    for (std::size_t slot = 0; slot < record.SimMissions.size(); ++slot)
        appendMissionLine<kSimulatorLabels>(out, figures, record.SimMissions[slot],
                                            static_cast<std::int64_t>(slot) + 1);
}

}  // namespace vantrel
