// Charts read back as XML: every document parses, every bar's length is its
// value on the panel's one scale, and whatever a pilot file or a file name
// holds comes out as text, never as markup.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>

#include "SvgReader.h"
#include "TestSupport.h"
#include "core/charts/HistoryChart.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/Vocabulary.h"
#include "core/reports/PilotDiff.h"
#include "core/reports/PilotHistory.h"
#include "core/reports/PilotReport.h"
#include "tests/support/PilotImage.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

XmlDocument parsed(const std::string& svg)
{
    XmlDocument doc = parseXml(svg);
    EXPECT_TRUE(doc.ok) << doc.error;
    EXPECT_EQ(doc.root.name, "svg");
    EXPECT_EQ(doc.root.attribute("version"), "1.1");
    EXPECT_NE(doc.root.child("title"), nullptr);
    EXPECT_NE(doc.root.child("desc"), nullptr);
    // Self-contained: nothing to run and nothing to fetch.
    const auto outside = doc.root.find([](const XmlElement& e) {
        return e.name == "script" || e.name == "image" || e.name == "use" || e.name == "style" ||
               e.name == "foreignObject" || e.attributes.count("href") || e.attributes.count("xlink:href");
    });
    EXPECT_TRUE(outside.empty());
    return doc;
}

struct Bar {
    std::string series;
    double x = 0;
    double width = 0;
};

struct ChartRow {
    std::string label;
    std::string value;
    std::string mark;
    std::vector<Bar> bars;
};

// The rows of each panel, as drawn.
std::vector<std::vector<ChartRow>> panelsOf(const XmlDocument& doc)
{
    std::vector<std::vector<ChartRow>> panels;
    for (const XmlElement* panel : doc.root.withClass("panel")) {
        auto& rows = panels.emplace_back();
        for (const XmlElement* g : panel->withClass("row")) {
            ChartRow row;
            for (const XmlElement& e : g->children) {
                if (e.name == "text" && e.hasClass("label"))
                    row.label = e.text;
                else if (e.name == "text" && e.hasClass("value"))
                    row.value = e.text;
                else if (e.name == "text" && e.hasClass("mark"))
                    row.mark = e.text;
                else if (e.name == "rect" && !e.hasClass("mark-flagged") && !e.hasClass("mark-warning") &&
                         !e.hasClass("mark-not-loaded"))
                    row.bars.push_back({e.attribute("class"), e.number("x"), e.number("width")});
            }
            rows.push_back(std::move(row));
        }
    }
    return panels;
}

// Every bar of a panel is |value| times one scale, within the rounding of
// the written coordinates; returns that scale.
double expectProportional(const std::vector<std::pair<double, std::int64_t>>& widthsAndValues)
{
    double scale = 0;
    std::int64_t largest = 0;
    for (const auto& [width, value] : widthsAndValues) {
        const std::int64_t magnitude = value < 0 ? -value : value;
        if (magnitude > largest) {
            largest = magnitude;
            scale = width / static_cast<double>(magnitude);
        }
    }
    for (const auto& [width, value] : widthsAndValues) {
        const double magnitude = static_cast<double>(value < 0 ? -value : value);
        EXPECT_NEAR(width, magnitude * scale, 0.011) << "value " << value;
        EXPECT_GE(width, 0);
    }
    return scale;
}

PilotRecord loaded(const PilotImage& image, const TempDir& dir, const std::string& name = "pilot.plt")
{
    const std::string path = dir.file(name);
    EXPECT_TRUE(image.save(path));
    PilotRecord record;
    EXPECT_TRUE(ReadMission(record, path).ok());
    return record;
}

TEST(Charts, MissionBarsAreTheRecordsScoresAndBonusesStackedOnOneScale)
{
    TempDir dir;
    PilotImage image;
    image.setText(layout::PilotName, "A&<\xDC\xE9>'\"");  // Windows-1252: Ü é
    const std::int32_t scores[] = {2774, 0, 150, -300, 1935, 999, 40, 5000, 12};
    const std::int32_t storedBonuses[] = {4460, 0, -55, 1000, 0, 9, 123, 20000, -999};
    for (std::uint32_t k = 0; k < 9; ++k)
        image.setMission(layout::CampaignMissionRecords, k, {0, 1, scores[k], 60, storedBonuses[k]});
    const PilotRecord record = loaded(image, dir);

    const XmlDocument doc = parsed(charts::renderSvg(charts::missionsChart(record)));
    EXPECT_EQ(doc.root.child("title")->text, "Campaign missions of A&<\u00DC\u00E9>'\"");
    const auto panels = panelsOf(doc);
    ASSERT_EQ(panels.size(), 1u);
    const auto& rows = panels[0];
    ASSERT_EQ(rows.size(), 9u);
    std::vector<std::pair<double, std::int64_t>> measured;
    const double zero = doc.root.withClass("zero").at(0)->number("x1");
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const MissionEntry& m = record.CampaignMissions[k];
        EXPECT_EQ(rows[k].label, vocabulary::missionTitles()[k]);
        EXPECT_EQ(rows[k].value, std::to_string(m.MissionScore + m.MissionBonus) + " (" +
                                     std::to_string(m.MissionScore) + "+" + std::to_string(m.MissionBonus) + ")");
        ASSERT_EQ(rows[k].bars.size(), 2u);
        const bool azz = charts::isAzzameenMission(k);
        EXPECT_EQ(rows[k].bars[0].series, azz ? "azz-score" : "tod-score");
        EXPECT_EQ(rows[k].bars[1].series, azz ? "azz-bonus" : "tod-bonus");
        measured.emplace_back(rows[k].bars[0].width, m.MissionScore);
        measured.emplace_back(rows[k].bars[1].width, m.MissionBonus);
        // Positive values stack to the right of the zero line, negative ones to its left.
        const Bar& score = rows[k].bars[0];
        const Bar& bonus = rows[k].bars[1];
        if (m.MissionScore >= 0)
            EXPECT_NEAR(score.x, zero, 0.011);
        else
            EXPECT_NEAR(score.x + score.width, zero, 0.011);
        if (m.MissionBonus >= 0)
            EXPECT_NEAR(bonus.x, m.MissionScore >= 0 ? score.x + score.width : zero, 0.011);
        else
            EXPECT_NEAR(bonus.x + bonus.width, m.MissionScore < 0 ? score.x : zero, 0.011);
    }
    // The plot spans the most negative stack (-300; the +100 beside it goes
    // right) to the largest (5000 + 2000).
    const double scale = expectProportional(measured);
    EXPECT_NEAR((7000.0 + 300.0) * scale, charts::kPlotWidth, 0.05);
}

TEST(Charts, TwoHundredFiftyFiveMissionsOverflowingScoresAndEmptyTitlesAllShow)
{
    TempDir dir;
    PilotImage image;
    image.setText(layout::PilotName, "Kestrel");
    for (std::uint32_t k = 0; k < 255; ++k)
        image.setMission(layout::CampaignMissionRecords, k, {0, 1, static_cast<std::int32_t>(k) * 100, 0, 0});
    image.setMission(layout::CampaignMissionRecords, 10, {0, 1, INT_MAX, 0, 2'000'000'000});
    image.setMission(layout::CampaignMissionRecords, 11, {0, 1, INT_MIN, 0, -2'000'000'000});
    const PilotRecord record = loaded(image, dir);
    ASSERT_EQ(record.CampaignMissionCount, 255);

    const XmlDocument doc = parsed(charts::renderSvg(charts::missionsChart(record)));
    const auto rows = panelsOf(doc).at(0);
    ASSERT_EQ(rows.size(), 255u);
    // The listing's wrapped total, and unwrapped bars.
    EXPECT_EQ(rows[10].value, std::to_string(INT_MIN + 199'999'999) + " (2147483647+200000000)");
    std::vector<std::pair<double, std::int64_t>> measured;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        measured.emplace_back(rows[k].bars.at(0).width, record.CampaignMissions[k].MissionScore);
        measured.emplace_back(rows[k].bars.at(1).width, record.CampaignMissions[k].MissionBonus);
    }
    expectProportional(measured);
    EXPECT_NEAR(rows[10].bars[0].width + rows[10].bars[1].width + rows[11].bars[0].width + rows[11].bars[1].width,
                charts::kPlotWidth, 0.05);
    // Titles with markup characters come back as text; blank titles as the number.
    EXPECT_EQ(rows[53].label, "54 - <custom mission>");
    EXPECT_EQ(rows[250].label, "251");
    EXPECT_EQ(rows[254].label, "255");
}

TEST(Charts, AnEmptyPilotGivesAValidChartWithoutBarsThatSaysSo)
{
    PilotRecord record;  // no name, no missions, no kills
    record.PilotFileName = "/tmp/no-name.plt";
    for (const std::string& svg :
         {charts::renderSvg(charts::missionsChart(record)), charts::renderSvg(charts::killsChart(record))}) {
        const XmlDocument doc = parsed(svg);
        for (const auto& rows : panelsOf(doc))
            EXPECT_TRUE(rows.empty());
        EXPECT_FALSE(doc.root.withClass("empty").empty());
        EXPECT_NE(doc.root.child("title")->text.find("no-name.plt"), std::string::npos);
    }
}

TEST(Charts, KillBarsShowEachCraftWithAKillOrAssistLargestFirst)
{
    TempDir dir;
    PilotImage image;
    image.setInt(layout::TODKillsA, 3, 0);  // X-wing: 3 + 1
    image.setInt(layout::TODAssistsA, 1, 0);
    image.setInt(layout::TODKillsA, 40, 4);  // TIE Fighter: 40 + 2
    image.setInt(layout::TODAssistsA, 2, 4);
    image.setInt(layout::TODAssistsA, 7, 5);  // TIE Interceptor: assists only
    image.setInt(layout::TODKillsA, -5, 9);   // a corrupt count shows too
    image.setInt(layout::AzzKills, INT_MAX, 2);
    image.setInt(layout::AzzAssistsA, INT_MAX, 2);
    image.setInt(layout::SimKillsA, 1, 230);
    const PilotRecord record = loaded(image, dir);

    const auto panels = panelsOf(parsed(charts::renderSvg(charts::killsChart(record))));
    ASSERT_EQ(panels.size(), 3u);
    const auto& tod = panels[0];
    ASSERT_EQ(tod.size(), 4u);
    EXPECT_EQ(tod[0].label, "TIE Fighter");
    EXPECT_EQ(tod[0].value, "40 kills, 2 assists");
    EXPECT_EQ(tod[1].label, "TIE Interceptor");
    EXPECT_EQ(tod[2].label, "Xwing");
    EXPECT_EQ(tod[2].value, "3 kills, 1 assist");
    EXPECT_EQ(tod[3].value, "-5 kills, 0 assists");
    const std::size_t crafts[] = {4, 5, 0, 9};
    std::vector<std::pair<double, std::int64_t>> measured;
    for (std::size_t k = 0; k < 4; ++k) {
        measured.emplace_back(tod[k].bars.at(0).width, record.TODKillsA[crafts[k]]);
        measured.emplace_back(tod[k].bars.at(1).width, record.TODAssistsA[crafts[k]]);
    }
    expectProportional(measured);
    ASSERT_EQ(panels[1].size(), 1u);  // both counters at the largest value: no overflow
    EXPECT_NEAR(panels[1][0].bars.at(0).width, panels[1][0].bars.at(1).width, 0.011);
    EXPECT_NEAR(panels[1][0].bars[0].width + panels[1][0].bars[1].width, charts::kPlotWidth, 0.05);
    ASSERT_EQ(panels[2].size(), 1u);
}

TEST(Charts, SquadronBarsAreTheTablesColumnWithMarkedAndUnloadedPilotsAsInTheReviewWindow)
{
    TempDir dir;
    const std::vector<PilotTableEntry> entries = chartSquadron(fileio::toUtf8(dir.path()), false);

    const auto column = pilotTableNumberColumnNamed("tod score");
    ASSERT_TRUE(column);
    const XmlDocument doc = parsed(charts::renderSvg(charts::squadronChart(entries, *column)));
    EXPECT_EQ(doc.root.child("title")->text, "Squadron: TOD score");
    const auto rows = panelsOf(doc).at(0);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].label, "<Biggs> (c.plt)");
    EXPECT_EQ(rows[0].mark, "!");
    EXPECT_EQ(rows[1].label, "Wedge & Co (a.plt)");
    EXPECT_EQ(rows[1].mark, "");
    EXPECT_EQ(rows[2].label, "\u00C5sa (d.plt)");
    EXPECT_EQ(rows[3].label, "b\uFFFD\uFFFD.plt");
    EXPECT_EQ(rows[3].value, "-200");
    EXPECT_EQ(rows[4].label, "short.plt");
    EXPECT_EQ(rows[4].mark, "X");
    EXPECT_EQ(rows[4].value, "not loaded");
    EXPECT_TRUE(rows[4].bars.empty());
    expectProportional({{rows[0].bars.at(0).width, 2000},
                        {rows[1].bars.at(0).width, 500},
                        {rows[2].bars.at(0).width, 0},
                        {rows[3].bars.at(0).width, -200}});

    // As given: the order of a table the user sorted.
    const auto asGiven =
        panelsOf(parsed(charts::renderSvg(charts::squadronChart(entries, *column, charts::RowOrder::AsGiven)))).at(0);
    EXPECT_EQ(asGiven.at(0).label, "Wedge & Co (a.plt)");
    EXPECT_EQ(asGiven.at(3).mark, "X");

    // A pilot with only the total warning is marked apart, as in the review window.
    const std::string wes = dir.file("e.plt");
    ASSERT_TRUE(squadronPilot("Wes", 300, true, 250).save(wes));
    const std::vector<PilotTableEntry> warned = {pilotTableEntry(wes), entries[0]};
    ASSERT_EQ(warned[0].mark(), PilotMark::TotalWarningOnly);
    const XmlDocument warnedDoc = parsed(charts::renderSvg(charts::squadronChart(warned, *column)));
    const auto warnedRows = panelsOf(warnedDoc).at(0);
    EXPECT_EQ(warnedRows.at(0).mark, "");  // Wedge's 500 before Wes's 300
    EXPECT_EQ(warnedRows.at(1).mark, "?");
    EXPECT_NE(warnedDoc.root.child("desc")->text.find("1 marked ? (only the score total warning applies)"),
              std::string::npos)
        << warnedDoc.root.child("desc")->text;

    EXPECT_FALSE(pilotTableNumberColumnNamed("Pilot name"));
    EXPECT_FALSE(pilotTableNumberColumnNamed("TOD"));
}

TEST(Charts, HistoryShowsEachBackupAndTheFileNowWithTheChangesBetweenThem)
{
    TempDir dir;
    const std::string path = dir.file("Wedge.plt");
    const std::string backups = dir.file("backups");
    std::time_t when = 1'700'000'000;
    std::vector<std::int32_t> totals;
    for (int save = 0; save < 3; ++save) {
        PilotImage image;
        image.setText(layout::PilotName, "Wedge");
        image.setInt(layout::TODScoreA, 1000 * save);
        image.setInt(layout::TODScoreB, 1000 * save);
        for (std::uint32_t k = 0; k < static_cast<std::uint32_t>(save); ++k)
            image.setMission(layout::CampaignMissionRecords, k, {0, 1, 500, 0, 0});
        image.setInt(layout::TODKillsA, save * 4, 3);
        ASSERT_TRUE(makeBackup(path, image.bytes(), 0644, backups, when + save * 60));
    }
    ASSERT_TRUE(fs::create_directories(backups + "/other"));  // not a backup
    {
        // The oldest, and no pilot file.
        std::ofstream broken(backups + "/Wedge." + backupOwnerTag(path) + ".20000101-000000.plt");
        broken << "broken";
    }
    // Another pilot of the same file name, in another folder, and a backup
    // named by the stem alone: neither is this pilot's history.
    PilotImage other;
    other.setText(layout::PilotName, "Biggs");
    other.setInt(layout::TODScoreA, 90'000);
    ASSERT_TRUE(fs::create_directories(dir.file("other")));
    ASSERT_TRUE(makeBackup(dir.file("other/Wedge.plt"), other.bytes(), 0644, backups, when + 30));
    ASSERT_TRUE(other.save(backups + "/Wedge-20100101-000000.plt"));
    PilotImage now;
    now.setText(layout::PilotName, "Wedge");
    now.setInt(layout::TODScoreB, 5000);
    ASSERT_TRUE(now.save(path));

    const std::vector<PilotVersion> history = pilotHistory(path, backups);
    ASSERT_EQ(history.size(), 5u);
    EXPECT_EQ(history[0].date, "2000-01-01 00:00:00");
    EXPECT_FALSE(history[0].record);
    EXPECT_FALSE(history[0].loadMessages.empty());
    EXPECT_EQ(history[1].date, localDateTime(when));
    EXPECT_EQ(history[3].date, localDateTime(when + 120));
    EXPECT_TRUE(history[4].current);
    EXPECT_EQ(history[4].path, path);
    EXPECT_TRUE(history[0].changesToNext.empty());
    EXPECT_FALSE(history[1].changesToNext.empty());
    EXPECT_EQ(history[3].changesToNext, diffPilots(*history[3].record, *history[4].record));
    EXPECT_TRUE(history[4].changesToNext.empty());
    for (const PilotVersion& version : history)
        EXPECT_NE(version.record ? version.record->TODScoreA : 0, 90'000) << version.path;
    ASSERT_EQ(olderBackupVersions(path, backups).size(), 1u);
    EXPECT_EQ(olderBackupVersions(path, backups)[0].path, backups + "/Wedge-20100101-000000.plt");

    const XmlDocument doc = parsed(charts::renderSvg(charts::historyChart("Wedge", history)));
    const auto panels = panelsOf(doc);
    ASSERT_EQ(panels.size(), 3u);
    for (const auto& rows : panels) {
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[0].mark, "X");
        EXPECT_TRUE(rows[0].bars.empty());
        EXPECT_EQ(rows[4].label, history[4].date + " (now)");
    }
    std::vector<std::pair<double, std::int64_t>> totalsDrawn, missionsDrawn, killsDrawn;
    for (std::size_t k = 1; k < 5; ++k) {
        const PilotRecord& r = *history[k].record;
        totalsDrawn.emplace_back(panels[0][k].bars.at(0).width, CampaignScoreSum(r));
        missionsDrawn.emplace_back(panels[1][k].bars.at(0).width, r.CampaignMissionCount);
        killsDrawn.emplace_back(panels[2][k].bars.at(0).width, r.TODKillsA[3]);
        EXPECT_EQ(panels[0][k].value, std::to_string(CampaignScoreSum(r)));
    }
    expectProportional(totalsDrawn);
    expectProportional(missionsDrawn);
    expectProportional(killsDrawn);
}

TEST(Charts, RealPilotsChartAsTheirRecordsSay)
{
    const fs::path folder = VANTREL_REAL_PILOTS_DIR;
    if (!fs::is_directory(folder))
        GTEST_SKIP() << "no real pilot files at " << folder;
    for (const auto& file : {"PickledYoda0.plt", "XWA-TC-56.plt"}) {
        PilotRecord record;
        ASSERT_TRUE(ReadMission(record, (folder / file).string()).ok());
        const auto rows = panelsOf(parsed(charts::renderSvg(charts::missionsChart(record)))).at(0);
        ASSERT_EQ(rows.size(), record.CampaignMissionCount);
        std::vector<std::pair<double, std::int64_t>> measured;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            measured.emplace_back(rows[k].bars.at(0).width, record.CampaignMissions[k].MissionScore);
            measured.emplace_back(rows[k].bars.at(1).width, record.CampaignMissions[k].MissionBonus);
        }
        expectProportional(measured);
        parsed(charts::renderSvg(charts::killsChart(record)));
    }
}

}  // namespace
