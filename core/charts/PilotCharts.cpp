#include "core/charts/PilotCharts.h"

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <vector>

#include "core/files/FileIO.h"
#include "core/pilot/Vocabulary.h"
#include "core/reports/PilotReport.h"
#include "core/text/WholeNumber.h"

namespace vantrel::charts {

namespace {

enum MissionSeries : std::uint8_t { kTodScore, kTodBonus, kAzzScore, kAzzBonus };
enum KillSeries : std::uint8_t { kKills, kAssists };

// A mission's row label: its title row, or its number where the title row is blank.
std::string missionLabel(std::size_t index)
{
    const std::string_view title = vocabulary::missionTitles()[index];
    if (title.find_first_not_of(' ') == std::string_view::npos)
        return std::to_string(index + 1);
    return std::string(title);
}

// A craft type label without the tabs and colon that line it up in reports.
std::string craftName(std::size_t index)
{
    std::string_view label = vocabulary::craftTypeLabels()[index];
    const std::size_t end = label.find_last_not_of("\t :");
    label = end == std::string_view::npos ? std::string_view() : label.substr(0, end + 1);
    std::string name(label);
    std::replace(name.begin(), name.end(), '\t', ' ');
    return name;
}

Panel killPanel(std::string heading, const CraftTable& kills, const CraftTable& assists)
{
    std::vector<std::size_t> crafts;
    for (std::size_t k = 0; k < kills.size(); ++k) {
        if (kills[k] != 0 || assists[k] != 0)
            crafts.push_back(k);
    }
    const auto weight = [&](std::size_t k) { return std::int64_t{kills[k]} + assists[k]; };
    std::stable_sort(crafts.begin(), crafts.end(), [&](std::size_t a, std::size_t b) { return weight(a) > weight(b); });

    Panel panel;
    panel.heading = std::move(heading);
    panel.emptyText = "No kill and no assist.";
    panel.rows.reserve(crafts.size());
    for (const std::size_t k : crafts) {
        Row row;
        row.label = craftName(k);
        row.add(kKills, kills[k]);
        row.add(kAssists, assists[k]);
        row.valueText = std::to_string(kills[k]) + (kills[k] == 1 ? " kill, " : " kills, ") +
                        std::to_string(assists[k]) + (assists[k] == 1 ? " assist" : " assists");
        panel.rows.push_back(std::move(row));
    }
    return panel;
}

}  // namespace

bool isAzzameenMission(std::size_t index)
{
    return index < 7 || index == 31;
}

std::string pilotLabel(const PilotRecord& record)
{
    std::string name = fieldText(record.PilotName);
    if (!name.empty())
        return name;
    return fileio::toUtf8(fileio::toPath(record.PilotFileName).filename());
}

BarChart missionsChart(const PilotRecord& record)
{
    const std::string pilot = pilotLabel(record);
    const std::size_t count = std::min<std::size_t>(record.CampaignMissionCount, vocabulary::missionTitles().size());

    BarChart chart;
    chart.title = "Campaign missions of " + pilot;
    chart.description = "Score and bonus of each of the " + std::to_string(count) + " completed campaign missions of " +
                        pilot +
                        " as stacked bars, missions flown for the TOD in blue and for the Azzameen family in "
                        "orange; campaign total " +
                        std::to_string(CampaignScoreSum(record)) + ".";
    chart.series = {
        {"tod-score", "#1f5fa8", "TOD score"},
        {"tod-bonus", "#8fb8e8", "TOD bonus"},
        {"azz-score", "#c25a00", "Azzameen score"},
        {"azz-bonus", "#f2b277", "Azzameen bonus"},
    };
    Panel panel;
    panel.emptyText = "No campaign mission completed.";
    panel.rows.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const MissionEntry& mission = record.CampaignMissions[k];
        const bool azz = isAzzameenMission(k);
        Row row;
        row.label = missionLabel(k);
        row.add(azz ? kAzzScore : kTodScore, mission.MissionScore);
        row.add(azz ? kAzzBonus : kTodBonus, mission.MissionBonus);
        // As the mission listing tells it: "Tot. Score= 3220 (2774+446)".
        row.valueText = std::to_string(wrappingAdd(mission.MissionScore, mission.MissionBonus)) + " (" +
                        std::to_string(mission.MissionScore) + "+" + std::to_string(mission.MissionBonus) + ")";
        panel.rows.push_back(std::move(row));
    }
    chart.panels.push_back(std::move(panel));
    return chart;
}

BarChart killsChart(const PilotRecord& record)
{
    const std::string pilot = pilotLabel(record);
    BarChart chart;
    chart.title = "Kills and assists of " + pilot;
    chart.description = "Kills and assists of " + pilot +
                        " by craft type as stacked bars, largest first, for the TOD, the Azzameen family and the "
                        "combat simulator.";
    chart.series = {
        {"kills", "#2f6f3e", "Kills"},
        {"assists", "#9fd0a8", "Assists"},
    };
    chart.panels.push_back(killPanel("TOD", record.TODKillsA, record.TODAssistsA));
    chart.panels.push_back(killPanel("Azzameen", record.AzzKills, record.AzzAssistsA));
    chart.panels.push_back(killPanel("Combat simulator", record.SimKillsA, record.SimAssists));
    return chart;
}

}  // namespace vantrel::charts
