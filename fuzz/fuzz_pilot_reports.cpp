// Arbitrary bytes as a pilot file: the loader and every report must cope.
// Inputs are padded or cut to a pilot file's length half of the time, so the
// fuzzer spends its effort inside the reports rather than on the size check.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/reports/MissionListings.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotReport.h"
#include "core/text/WholeNumber.h"
#include "core/settings/Settings.h"

using namespace vantrel;

namespace {

class FuzzSettings final : public Settings {
public:
    std::string values[4];
    std::string ReadString(std::string_view, std::string_view key, std::string_view fallback) override
    {
        if (key == "MegaDetails" || key == "CheckCheat" || key == "ShowErrorDetailes")
            return values[0];
        if (key == "ShowZeroMissions")
            return values[1];
        if (key == "NameSource")
            return values[2];
        if (key == "ScoreFormat")
            return values[3];
        return std::string(fallback);
    }
    void WriteString(std::string_view, std::string_view, std::string_view) override {}
    void UpdateFile() override {}
};

class Sink final : public TextSink {
public:
    void addLine(std::string_view line) override { total += line.size(); }
    void clear() override {}
    std::size_t total = 0;
};

std::string scratchFile()
{
    static std::string path = [] {
        char name[] = "/tmp/vantrel-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        ::close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::string bytes(reinterpret_cast<const char*>(data + 8), size - 8);
    if (data[0] & 1)
        bytes.resize(static_cast<std::size_t>(layout::kPilotFileSize), static_cast<char>(data[1]));

    FuzzSettings settings;
    settings.values[0] = "1";
    settings.values[1] = (data[2] & 1) ? "1" : "0";
    settings.values[2] = std::to_string(static_cast<int>(data[3]) - 128);
    settings.values[3] = (data[4] & 0x80) ? std::string(1, static_cast<char>(data[4])) : std::to_string(data[4] % 5);

    const std::string path = scratchFile();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }

    PilotRecord record;
    const LoadResult result = ReadMission(record, path);
    if (!result.ok())
        return 0;
    MissionRange range;
    range.from.set(static_cast<std::int8_t>(data[5]) * 3);
    range.to.set(result.getTo + static_cast<std::int8_t>(data[6]));
    Sink sink;
    try {
        BuildPilotReport(sink, settings, record, range, true, [] { return std::string("1/1/01"); });
    } catch (const ConversionError&) {
        return 0;
    }
    RipScore(sink, settings, record, range);
    if (range.from.value() < 0 || range.to.value() > record.CampaignMissionCount ||
        range.from.value() > range.to.value())
        std::abort();
    return 0;
}
