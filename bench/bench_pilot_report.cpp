// Load plus the full report of one pilot, in process, with every listing on.
// Target: under 20 microseconds per file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/reports/MissionRange.h"
#include "tests/support/PilotImage.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotReport.h"
#include "core/settings/SettingsStore.h"

using namespace vantrel;

namespace {

struct Fixture {
    Fixture()
    {
        dir = std::filesystem::temp_directory_path() / ("vantrel-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        PilotImage image;
        image.setText(layout::PilotName, "Benchmark");
        for (std::uint32_t i = 0; i < 58; ++i)
            image.setMission(layout::CampaignMissionRecords, i, {1, 1, 1000 + static_cast<std::int32_t>(i), 600, 1234});
        for (std::uint32_t i = 0; i < 40; ++i)
            image.setMission(layout::SimMissionRecords, i, {1, 1, 2000, 400, 500});
        for (std::uint32_t k = 0; k < layout::kCraftTypeCount; k += 3) {
            image.setInt(layout::TODKillsA, 5, k);
            image.setInt(layout::TODKillsB, 5, k);
            image.setInt(layout::AzzKills, 2, k);
            image.setInt(layout::SimKillsA, 1, k);
        }
        pilot = (dir / "Benchmark_Pilot.plt").string();
        image.save(pilot);
        ini = (dir / "vantrel.ini").string();
        SettingsStore store(ini);
        store.write("MegaDetails", "1");
        store.write("ShowZeroMissions", "1");
        store.write("ShowMissionTime", "1");
        store.write("ShowErrorDetailes", "1");
        // A settings file changed a moment ago is re-read at every action, in
        // case a second change lands within the file system's clock tick; a
        // user's file is older than that.
        const auto past = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        std::filesystem::last_write_time(ini, past);
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
    std::string pilot;
    std::string ini;
};

class CountingSink final : public TextSink {
public:
    void addLine(std::string_view line) override { bytes += line.size() + 1; }
    void clear() override { bytes = 0; }
    std::size_t bytes = 0;
};

void BM_LoadAndFullReport(benchmark::State& state)
{
    static Fixture fixture;
    SettingsStore settings(fixture.ini);
    PilotRecord record;
    CountingSink sink;
    for (auto _ : state) {
        settings.revalidate();
        const LoadResult result = ReadMission(record, fixture.pilot);
        MissionRange range;
        range.to.set(result.getTo);
        const std::string entry = BuildPilotReport(sink, settings, record, range, true, [] { return std::string(); });
        benchmark::DoNotOptimize(entry);
        benchmark::DoNotOptimize(sink.bytes);
    }
    state.counters["report_bytes"] = static_cast<double>(sink.bytes);
}
BENCHMARK(BM_LoadAndFullReport)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
