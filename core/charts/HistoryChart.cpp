#include "core/charts/HistoryChart.h"

#include <functional>

#include "core/charts/PilotCharts.h"
#include "core/reports/PilotReport.h"
#include "core/text/WholeNumber.h"

namespace vantrel::charts {

namespace {

Panel historyPanel(std::string heading, std::span<const PilotVersion> versions, std::uint8_t series,
                   const std::function<std::int64_t(const PilotRecord&)>& measure)
{
    Panel panel;
    panel.heading = std::move(heading);
    panel.emptyText = "No save of this pilot.";
    panel.rows.reserve(versions.size());
    for (const PilotVersion& version : versions) {
        Row row;
        row.label = version.date + (version.current ? " (now)" : "");
        if (!version.record) {
            row.mark = RowMark::NotLoaded;
            row.valueText = "not loaded";
        } else {
            const std::int64_t value = measure(*version.record);
            row.add(series, value);
            row.valueText = std::to_string(value);
        }
        panel.rows.push_back(std::move(row));
    }
    return panel;
}

}  // namespace

std::string historyPilotLabel(std::span<const PilotVersion> versions, const std::string& fallback)
{
    for (auto it = versions.rbegin(); it != versions.rend(); ++it) {
        if (it->record) {
            std::string label = pilotLabel(*it->record);
            if (!label.empty())
                return label;
        }
    }
    return fallback;
}

BarChart historyChart(const std::string& pilot, std::span<const PilotVersion> versions)
{
    BarChart chart;
    chart.title = "History of " + pilot;
    chart.description = "Campaign total, campaign missions completed and campaign kills of " + pilot + " in " +
                        std::to_string(versions.size()) +
                        " saves, oldest first: the backups, then the file as it is now.";
    chart.series = {
        {"total", "#1f5fa8", "Campaign total"},
        {"missions", "#c25a00", "Missions completed"},
        {"kills", "#2f6f3e", "Campaign kills"},
    };
    chart.panels.push_back(
        historyPanel("Campaign total", versions, 0, [](const PilotRecord& r) { return CampaignScoreSum(r); }));
    chart.panels.push_back(historyPanel("Campaign missions completed", versions, 1,
                                        [](const PilotRecord& r) { return r.CampaignMissionCount; }));
    chart.panels.push_back(historyPanel("Campaign kills", versions, 2, [](const PilotRecord& r) {
        return wrappingAdd(wrappingSum(r.TODKillsA), wrappingSum(r.AzzKills));
    }));
    return chart;
}

}  // namespace vantrel::charts
