#include "core/charts/SquadronChart.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <numeric>
#include <vector>

namespace vantrel::charts {

namespace {

std::int64_t cellValue(const std::string& cell)
{
    std::int64_t value = 0;
    std::from_chars(cell.data(), cell.data() + cell.size(), value);
    return value;
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

}  // namespace

BarChart squadronChart(std::span<const PilotTableEntry> entries, std::size_t column, RowOrder order)
{
    const std::string columnName(pilotTableHeader()[column]);
    std::vector<std::int64_t> values(entries.size());
    std::vector<std::size_t> rows(entries.size());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    for (std::size_t k = 0; k < entries.size(); ++k)
        values[k] = entries[k].loaded ? cellValue(entries[k].cells[column]) : 0;
    if (order == RowOrder::LargestFirst) {
        std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
            if (entries[a].loaded != entries[b].loaded)
                return entries[a].loaded;
            return values[a] > values[b];
        });
    }

    std::size_t flagged = 0;
    std::size_t failed = 0;
    Panel panel;
    panel.emptyText = "No pilot file.";
    panel.rows.reserve(entries.size());
    for (const std::size_t k : rows) {
        const PilotTableEntry& entry = entries[k];
        Row row;
        const std::string file = fileName(entry.cells[kFileColumn]);
        const std::string& name = entry.cells[kNameColumn];
        row.label = entry.loaded && !name.empty() ? name + " (" + file + ")" : file;
        if (!entry.loaded) {
            row.mark = RowMark::NotLoaded;
            row.valueText = "not loaded";
            ++failed;
        } else {
            row.add(0, values[k]);
            row.valueText = entry.cells[column];
            if (entry.flagged()) {
                row.mark = RowMark::Flagged;
                ++flagged;
            }
        }
        panel.rows.push_back(std::move(row));
    }

    BarChart chart;
    chart.title = "Squadron: " + columnName;
    chart.description = columnName + " of " + std::to_string(entries.size()) + " pilot files" +
                        (order == RowOrder::LargestFirst ? ", largest first" : "") + "; " + std::to_string(flagged) +
                        " marked " + std::string(kFlaggedSign) +
                        " (the integrity check finds errors or a total warning), " + std::to_string(failed) +
                        " marked " + std::string(kNotLoadedSign) + " (the file did not load).";
    chart.series = {{"value", "#1f5fa8", columnName}};
    chart.panels.push_back(std::move(panel));
    return chart;
}

}  // namespace vantrel::charts
