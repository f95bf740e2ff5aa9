#include "core/reports/MissionListings.h"

#include <charconv>
#include <iterator>
#include <string_view>

#include "core/text/WholeNumber.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

namespace {

struct Labels {
    std::string_view total;
    std::string_view score;             // without total
    std::string_view bonusAfterScore;   // without total
    std::string_view bonusInBrackets;   // without score
    std::string_view time;
};

constexpr Labels kCampaignLabels{"Tot. Score= ", "Score=", " Bonus=", " (Bonus=", " Time="};
constexpr Labels kSimulatorLabels{"Best Tot. Score= ", "Best Score=", " Best Bonus=", " (Best Bonus=", " Best Time="};

void appendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    out.append(digits, end);
}

// Every key is read at the moment it is needed, so a listing always
// follows the settings file as it is now.
void appendMissionLine(TextSink& sink, Settings& settings, const MissionEntry& m, std::int64_t number,
                       const Labels& labels)
{
    const bool showZero = settings.read(keys::ShowZeroMissions, defaults::ShowZeroMissions) != "0";
    if (!showZero && m.MissionScore == 0 && m.MissionBonus == 0 && m.MissionTime == 0)
        return;

    const bool total = settings.flag(keys::ShowMissionTotal, defaults::ShowMissionTotal);
    const bool score = settings.flag(keys::ShowMissionScore, defaults::ShowMissionScore);
    const bool bonus = settings.flag(keys::ShowMissionBonus, defaults::ShowMissionBonus);

    std::string line;
    line.reserve(96);
    appendNumber(line, number);
    line += ": ";
    if (total) {
        line += labels.total;
        appendNumber(line, wrappingAdd(m.MissionScore, m.MissionBonus));
        if (score) {
            line += " (";
            appendNumber(line, m.MissionScore);
            if (bonus) {
                line += '+';
                appendNumber(line, m.MissionBonus);
            }
            line += ')';
        } else if (bonus) {
            line += labels.bonusInBrackets;
            appendNumber(line, m.MissionBonus);
            line += ')';
        }
    } else if (score) {
        line += labels.score;
        appendNumber(line, m.MissionScore);
        if (bonus) {
            line += labels.bonusAfterScore;
            appendNumber(line, m.MissionBonus);
        }
    } else if (bonus) {
        line += labels.bonusInBrackets;
        appendNumber(line, m.MissionBonus);
        line += ')';
    }
    if (settings.flag(keys::ShowMissionTime, defaults::ShowMissionTime)) {
        line += labels.time;
        line += formatMissionTime(m.MissionTime);
    }
    sink.addLine(line);
}

}  // namespace

std::string formatMissionTime(std::int32_t seconds)
{
    std::int32_t minutes = 0;
    if (seconds > 59) {
        minutes = seconds / 60;
        seconds %= 60;
    }
    return std::to_string(minutes) + ":" + std::to_string(seconds);
}

void RipScore(TextSink& sink, Settings& settings, const PilotRecord& record, MissionRange& range)
{
    settings.UpdateFile();
    normaliseRange(range, record.CampaignMissionCount);
    sink.addLine("--- Mission details: ----------------------------");
    const std::int32_t from = range.from.value();
    const std::int32_t to = range.to.value();
    for (std::int32_t n = from; n <= to; ++n) {
        if (n == 0)
            continue;  // mission numbers start at 1
        appendMissionLine(sink, settings, record.CampaignMissions[static_cast<std::size_t>(n - 1)], n, kCampaignLabels);
    }
}

void SimRipScore(TextSink& sink, Settings& settings, const PilotRecord& record)
{
    settings.UpdateFile();
    sink.addLine("-- Combat simulator mission details: --");
    for (std::size_t slot = 0; slot < record.SimMissions.size(); ++slot)
        appendMissionLine(sink, settings, record.SimMissions[slot], static_cast<std::int64_t>(slot) + 1, kSimulatorLabels);
}

}  // namespace vantrel
