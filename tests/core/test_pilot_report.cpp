// The pilot report as a whole: summary lines, the log entry in every
// setting, the error mark and the order of the report's parts.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <limits>

#include "TestSupport.h"
#include "core/reports/LineBuilder.h"
#include "core/reports/LogEntry.h"
#include "core/reports/PilotReport.h"
#include "core/text/WholeNumber.h"
#include "tests/support/LineCollector.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

PilotRecord kestrel()
{
    PilotRecord r;
    const std::string name = "Kestrel";
    std::copy(name.begin(), name.end(), r.PilotName.begin());
    r.TODScoreA = r.TODScoreB = r.TODScoreC = r.TODScoreD = 1000;
    r.TODBonus = 50;
    r.AzzScoreA = r.AzzScoreB = r.AzzScoreC = r.AzzScoreD = 200;
    r.AzzBonus = 5;
    r.CampaignCalculatedTotal = 1255;
    r.PilotFileName = "/home/pilot/XWA/Red_Leader 2.plt";
    return r;
}

std::string entryWith(MemorySettings& settings, const PilotRecord& record)
{
    return buildLogEntry(settings, record, [] { return std::string("08.12.2026"); });
}

TEST(ScoreSummary, FiveLinesWithSignedTotals)
{
    PilotRecord r = kestrel();
    LineCollector sink;
    writeScoreSummary(sink, r);
    EXPECT_EQ(sink.lines,
              (std::vector<std::string>{"Name: Kestrel", "TOD Score: 1000 TOD Bonus: 50", "Azz Score: 200 Azz Bonus: 5",
                                        "-------------------------------------------------", "Total: 1255"}));
    r.TODScoreA = -260;
    sink.clear();
    writeScoreSummary(sink, r);
    EXPECT_EQ(sink.lines[4], "Total: -5");

    r.TODScoreA = INT_MAX;
    r.TODBonus = 1;
    r.AzzScoreB = r.AzzBonus = 0;
    EXPECT_EQ(CampaignScoreSum(r), INT_MIN);
}

TEST(LogEntry, ScoreFormats)
{
    MemorySettings settings;
    settings.set("NameSource", "0");
    const PilotRecord r = kestrel();
    const std::pair<const char*, const char*> cases[] = {
        {"0", "Kestrel - Score: 1255"},
        {"1", "Kestrel - Score: 1255 (1200+55)"},
        {"2", "Kestrel - Score: 1200+55"},
        {"3", "Kestrel"},
        {"-1", "Kestrel"},
    };
    for (const auto& [format, expected] : cases) {
        settings.set("ScoreFormat", format);
        EXPECT_EQ(entryWith(settings, r), expected) << format;
    }
    settings.values.erase("scoreformat");
    EXPECT_EQ(entryWith(settings, r), "Kestrel - Score: 1255 (1200+55)");
}

TEST(LogEntry, NameSources)
{
    MemorySettings settings;
    settings.set("ScoreFormat", "3");
    PilotRecord r = kestrel();
    const std::pair<const char*, const char*> cases[] = {
        {"0", "Kestrel"}, {"1", "Red_Leader 2"}, {"2", "Red"}, {"7", "John Doe"}, {"-2", "John Doe"}};
    for (const auto& [source, expected] : cases) {
        settings.set("NameSource", source);
        EXPECT_EQ(entryWith(settings, r), expected) << source;
    }
    settings.values.erase("namesource");
    EXPECT_EQ(entryWith(settings, r), "Red");  // truncated file name by default

    r.PilotFileName = "C:\\Pilots\\ leading.plt";
    EXPECT_EQ(entryWith(settings, r), "");
    r.PilotFileName = "/pilots/Wedge Antilles_Rogue.plt";
    EXPECT_EQ(entryWith(settings, r), "Wedge");
    r.PilotFileName = "/pilots/Biggs_Darklighter.plt";
    EXPECT_EQ(entryWith(settings, r), "Biggs");
}

// One entry is one line of the main log, whatever bytes the name holds.
TEST(LogEntry, ControlCharactersInTheNameBecomeQuestionMarks)
{
    MemorySettings settings;
    settings.set("ScoreFormat", "0");
    PilotRecord r = kestrel();
    const std::string inFile = std::string("K\ne\rs\tt\x1F\x7F") + "r\xE9";  // 0xE9 is no control character
    std::fill(r.PilotName.begin(), r.PilotName.end(), '\0');
    std::copy(inFile.begin(), inFile.end(), r.PilotName.begin());
    r.PilotFileName = "/pilots/Red\nLeader\x01\x7F_2 x.plt";
    const std::pair<const char*, const char*> cases[] = {
        {"0", "K?e?s?t??r\xC3\xA9 - Score: 1255"},
        {"1", "Red?Leader??_2 x - Score: 1255"},
        {"2", "Red?Leader?? - Score: 1255"},
    };
    for (const auto& [source, expected] : cases) {
        settings.set("NameSource", source);
        EXPECT_EQ(entryWith(settings, r), expected) << source;
    }
}

TEST(LogEntry, DateComesFirstWithOneBlank)
{
    MemorySettings settings;
    settings.set("IncludeDate", "1");
    settings.set("NameSource", "0");
    PilotRecord r = kestrel();
    EXPECT_EQ(entryWith(settings, r), "08.12.2026 Kestrel - Score: 1255 (1200+55)");
    r.PilotName.fill('\0');
    EXPECT_EQ(entryWith(settings, r), "08.12.2026  - Score: 1255 (1200+55)");
    settings.set("IncludeDate", "yes");
    EXPECT_EQ(entryWith(settings, r), " - Score: 1255 (1200+55)");
}

TEST(LogEntry, SettingsThatAreNotWholeNumbersRaiseTheConversionError)
{
    MemorySettings settings;
    const PilotRecord r = kestrel();
    for (const char* bad : {"x", "", " 1", "1.0", "99999999999"}) {
        settings.set("NameSource", bad);
        try {
            entryWith(settings, r);
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
    settings.set("NameSource", "+1");
    settings.set("ScoreFormat", "abc");
    EXPECT_THROW(entryWith(settings, r), ConversionError);
}

TEST(PilotNameFromFileName, CutsTheLastExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(PilotNameFromFileName(""), "");
    EXPECT_EQ(PilotNameFromFileName("C:\\XWA\\pilot.plt"), "pilot");
    EXPECT_EQ(PilotNameFromFileName("/home/x/pilot.old.plt"), "pilot.old");
    EXPECT_EQ(PilotNameFromFileName("/home/x.d/pilot"), "pilot");
    EXPECT_EQ(PilotNameFromFileName("C:\\dir.v2\\pilot"), "pilot");
    EXPECT_EQ(PilotNameFromFileName("/home/x/.plt"), "");
    EXPECT_EQ(PilotNameFromFileName("mixed\\a/b\\Joe.plt"), "Joe");
    EXPECT_EQ(PilotNameFromFileName("Joe.plt"), "Joe");
}

class BuildPilotReportTest : public ::testing::Test {
protected:
    std::string build(bool withListing = true)
    {
        return BuildPilotReport(sink, settings, record, range, withListing, [] { return std::string("D"); });
    }
    MemorySettings settings;
    PilotRecord record = kestrel();
    MissionRange range;
    LineCollector sink;
};

TEST_F(BuildPilotReportTest, DefaultReportIsSummaryCheckAndListing)
{
    record.CampaignMissionCount = 1;
    record.CampaignMissions[0] = {0, 1, 1200, 30, 55};
    range.to.set(1);
    sink.addLine("left over from before");
    const std::string entry = build();
    EXPECT_EQ(entry, "Red - Score: 1255 (1200+55)");
    EXPECT_EQ(sink.lines, (std::vector<std::string>{
                              "Name: Kestrel", "TOD Score: 1000 TOD Bonus: 50", "Azz Score: 200 Azz Bonus: 5",
                              "-------------------------------------------------", "Total: 1255",
                              "File Cheat/Error check:", "Pilotfile seems OK.",
                              "--- Mission details: ----------------------------", "1: Tot. Score= 1255 (1200+55)"}));
    EXPECT_EQ(record.FileErrorCount, 0);
}

TEST_F(BuildPilotReportTest, ErrorsMarkTheEntryOnceHoweverOftenTheReportRuns)
{
    record.TODScoreB = 1;
    settings.set("NameSource", "0");
    EXPECT_EQ(build(), "! Kestrel - Score: 1255 (1200+55) ! Errors in file!");
    EXPECT_EQ(build(), "! Kestrel - Score: 1255 (1200+55) ! Errors in file!");
    EXPECT_EQ(record.FileErrorCount, 1);

    settings.set("CheckCheat", "true");
    EXPECT_EQ(build(), "Kestrel - Score: 1255 (1200+55)");
    EXPECT_EQ(record.FileErrorCount, 0);
    EXPECT_EQ(sink.lines.size(), 5u + 1u);  // summary and the listing's header only
}

TEST_F(BuildPilotReportTest, TheExportEntryOnItsOwnIsTheEntryTheReportReturns)
{
    settings.set("NameSource", "0");
    // Copies that agree, copies that differ, and only the total warning (no mark).
    const std::vector<std::function<void(PilotRecord&)>> files = {
        [](PilotRecord&) {},
        [](PilotRecord& r) { r.AzzScoreD = 7; },
        [](PilotRecord& r) { r.CampaignCalculatedTotal = 9; },
    };
    for (const char* check : {"1", "0", "yes"}) {
        settings.set("CheckCheat", check);
        for (std::size_t k = 0; k < files.size(); ++k) {
            SCOPED_TRACE(std::string(check) + " file " + std::to_string(k));
            record = kestrel();
            files[k](record);
            const std::string alone = BuildExportEntry(settings, record, [] { return std::string("D"); });
            EXPECT_EQ(alone, build());
            EXPECT_EQ(alone.starts_with("! "), k == 1 && std::string(check) == "1");
        }
    }
    settings.set("ScoreFormat", "x");
    EXPECT_THROW(BuildExportEntry(settings, record), ConversionError);
}

TEST_F(BuildPilotReportTest, WithoutListingTheHeaderIsLeftOut)
{
    settings.set("CheckCheat", "0");
    build(false);
    EXPECT_EQ(sink.lines.size(), 5u);
}

TEST_F(BuildPilotReportTest, FullDetailsComeLast)
{
    settings.set("MegaDetails", "1");
    build();
    ASSERT_EQ(sink.lines.size(), 8u + 54u);
    EXPECT_EQ(sink.lines[8], "");
    EXPECT_EQ(sink.lines[10], "--- All other known details: ---");
    EXPECT_EQ(sink.lines.back(), "From collisions: 0");
}

TEST_F(BuildPilotReportTest, AConversionErrorStopsAfterTheSummary)
{
    settings.set("ScoreFormat", "x");
    EXPECT_THROW(build(), ConversionError);
    EXPECT_EQ(sink.lines.size(), 5u);
}

// The buffer the report lines are built in: numbers of every size read as
// std::to_string gives them, and lines longer than the buffer's first size
// arrive whole, line after line.
TEST(LineBuilder, NumbersReadAsToStringGivesThemAndLongLinesArriveWhole)
{
    LineCollector sink;
    LineBuilder out(sink);
    std::vector<std::int64_t> values;
    for (std::int64_t v = -12; v <= 12; ++v)
        values.push_back(v);
    // Every power of ten that fits, stopping before the step that would overflow.
    for (std::int64_t p = 10;; p *= 10) {
        values.insert(values.end(), {p - 1, p, p + 1, -p + 1, -p, -p - 1});
        if (p > std::numeric_limits<std::int64_t>::max() / 10)
            break;
    }
    values.insert(values.end(), {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()});
    for (const std::int64_t v : values) {
        out << v;
        out.end();
        EXPECT_EQ(sink.lines.back(), std::to_string(v));
    }
    out << std::numeric_limits<std::int32_t>::min() << ' ' << std::uint8_t{255} << ' ' << std::size_t{7};
    out.end();
    EXPECT_EQ(sink.lines.back(), "-2147483648 255 7");

    std::string expected;
    for (int i = 0; i < 300; ++i) {
        out << "piece " << i << ';';
        expected += "piece " + std::to_string(i) + ';';
    }
    out.end();
    EXPECT_EQ(sink.lines.back(), expected);
    out << "next";
    out.end();
    EXPECT_EQ(sink.lines.back(), "next");
}

}  // namespace
