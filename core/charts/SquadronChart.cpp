#include "core/charts/SquadronChart.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <numeric>
#include <vector>

#include "core/files/FileIO.h"

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
    return fileio::toUtf8(fileio::toPath(path).filename());
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

    std::array<std::size_t, 4> marked{};
    Panel panel;
    panel.emptyText = "No pilot file.";
    panel.rows.reserve(entries.size());
    for (const std::size_t k : rows) {
        const PilotTableEntry& entry = entries[k];
        Row row;
        const std::string file = fileName(entry.cells[kFileColumn]);
        const std::string& name = entry.cells[kNameColumn];
        row.label = entry.loaded && !name.empty() ? name + " (" + file + ")" : file;
        row.mark = entry.mark();
        ++marked[static_cast<std::size_t>(row.mark)];
        if (!entry.loaded) {
            row.valueText = "not loaded";
        } else {
            row.add(0, values[k]);
            row.valueText = entry.cells[column];
        }
        panel.rows.push_back(std::move(row));
    }

    const auto count = [&](PilotMark mark, std::string_view meaning) {
        return std::to_string(marked[static_cast<std::size_t>(mark)]) + " marked " + std::string(pilotMarkSign(mark)) +
               " (" + std::string(meaning) + ")";
    };
    BarChart chart;
    chart.title = "Squadron: " + columnName;
    chart.description = columnName + " of " + std::to_string(entries.size()) + " pilot files" +
                        (order == RowOrder::LargestFirst ? ", largest first" : "") + "; " +
                        count(PilotMark::FailsCheck, "the integrity check finds errors or other copies differ") + ", " +
                        count(PilotMark::TotalWarningOnly, "only the score total warning applies") + ", " +
                        count(PilotMark::NotLoaded, "the file did not load") + ".";
    chart.series = {{"value", "#1f5fa8", columnName}};
    chart.panels.push_back(std::move(panel));
    return chart;
}

}  // namespace vantrel::charts
