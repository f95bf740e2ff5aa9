// Charts as SVG text, from records already loaded. Targets: the missions
// chart of a pilot with all 255 campaign missions under 2 ms; the squadron
// chart of 10,000 pilots under 100 ms.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/IntegrityCheck.h"
#include "core/reports/PilotTable.h"
#include "tests/support/PilotImage.h"

using namespace vantrel;

namespace {

PilotRecord fullCampaign()
{
    PilotImage image;
    image.setText(layout::PilotName, "Benchmark");
    for (std::uint32_t i = 0; i < 255; ++i)
        image.setMission(layout::CampaignMissionRecords, i, {1, 1, 1000 + static_cast<std::int32_t>(i) * 7, 600, 4460});
    for (std::uint32_t k = 0; k < layout::kCraftTypeCount; ++k) {
        image.setInt(layout::TODKillsA, static_cast<std::int32_t>(k % 17), k);
        image.setInt(layout::TODAssistsA, static_cast<std::int32_t>(k % 5), k);
    }
    const std::string path = (std::filesystem::temp_directory_path() / "vantrel-bench-charts.plt").string();
    image.save(path);
    PilotRecord record;
    ReadMission(record, path);
    std::filesystem::remove(path);
    return record;
}

void MissionsChart255(benchmark::State& state)
{
    const PilotRecord record = fullCampaign();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = charts::renderSvg(charts::missionsChart(record));
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["svg_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(MissionsChart255)->Unit(benchmark::kMillisecond);

void KillsChart231(benchmark::State& state)
{
    const PilotRecord record = fullCampaign();
    for (auto _ : state) {
        const std::string svg = charts::renderSvg(charts::killsChart(record));
        benchmark::DoNotOptimize(svg.data());
    }
}
BENCHMARK(KillsChart231)->Unit(benchmark::kMillisecond);

void SquadronChart10000(benchmark::State& state)
{
    PilotRecord record = fullCampaign();
    std::vector<PilotTableEntry> entries(10'000);
    for (std::size_t k = 0; k < entries.size(); ++k) {
        record.TODScoreA = static_cast<std::int32_t>((k * 7919) % 100'000);
        entries[k].cells = pilotTableRow("/squadron/pilot" + std::to_string(k) + ".plt", record);
        entries[k].check = CheckIntegrity(record);
        entries[k].loaded = k % 100 != 0;
    }
    for (auto _ : state) {
        const std::string svg = charts::renderSvg(charts::squadronChart(entries, kCampaignTotalColumn));
        benchmark::DoNotOptimize(svg.data());
    }
}
BENCHMARK(SquadronChart10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
