// Charts as drawings: the SVG written from a chart's drawing is, byte for
// byte, the document the program has always written (the expectations in
// tests/data/charts were taken from it), and the drawing itself places every
// bar where its value puts it.
#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "core/charts/HistoryChart.h"
#include "core/charts/PilotCharts.h"
#include "core/charts/SquadronChart.h"
#include "core/pilot/PilotLoader.h"
#include "tests/support/PilotImage.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

PilotRecord loaded(const PilotImage& image, const TempDir& dir, const std::string& name = "pilot.plt")
{
    const std::string path = dir.file(name);
    EXPECT_TRUE(image.save(path));
    PilotRecord record;
    EXPECT_TRUE(ReadMission(record, path).ok());
    return record;
}

std::string expectation(const std::string& name)
{
    std::ifstream in(std::string(VANTREL_TEST_DATA_DIR) + "/charts/" + name + ".svg", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_TRUE(in.is_open()) << name << ": no expectation";
    return bytes.str();
}

void expectSvg(const std::string& name, const charts::BarChart& chart)
{
    EXPECT_EQ(charts::renderSvg(chart), expectation(name)) << name;
}

PilotRecord missionPilot(const TempDir& dir)
{
    PilotImage image;
    image.setText(layout::PilotName, "A&<\xDC\xE9>'\"");  // Windows-1252: Ü é
    const std::int32_t scores[] = {2774, 0, 150, -300, 1935, 999, 40, 5000, 12};
    const std::int32_t bonuses[] = {4460, 0, -55, 1000, 0, 9, 123, 20000, -999};
    for (std::uint32_t k = 0; k < 9; ++k)
        image.setMission(layout::CampaignMissionRecords, k, {0, 1, scores[k], 60, bonuses[k]});
    image.setInt(layout::TODKillsA, 3, 0);
    image.setInt(layout::TODAssistsA, 1, 0);
    image.setInt(layout::TODKillsA, 40, 4);
    image.setInt(layout::TODAssistsA, 7, 5);
    image.setInt(layout::TODKillsA, -5, 9);
    image.setInt(layout::AzzKills, INT_MAX, 2);
    image.setInt(layout::AzzAssistsA, INT_MAX, 2);
    return loaded(image, dir);
}

TEST(ChartDrawing, PilotChartsAreWrittenAsTheyAlwaysWere)
{
    TempDir dir;
    const PilotRecord record = missionPilot(dir);
    expectSvg("missions", charts::missionsChart(record));
    expectSvg("kills", charts::killsChart(record));

    PilotImage many;
    many.setText(layout::PilotName, "Kestrel");
    for (std::uint32_t k = 0; k < 60; ++k)
        many.setMission(layout::CampaignMissionRecords, k, {0, 1, static_cast<std::int32_t>(k) * 100, 0, 0});
    many.setMission(layout::CampaignMissionRecords, 10, {0, 1, INT_MAX, 0, 2'000'000'000});
    many.setMission(layout::CampaignMissionRecords, 11, {0, 1, INT_MIN, 0, -2'000'000'000});
    many.setInt(layout::SimKillsA, 1, 230);
    const PilotRecord kestrel = loaded(many, dir, "kestrel.plt");
    expectSvg("missions-many", charts::missionsChart(kestrel));
    expectSvg("kills-simulator", charts::killsChart(kestrel));

    PilotRecord empty;
    empty.PilotFileName = "/tmp/no-name.plt";
    expectSvg("missions-empty", charts::missionsChart(empty));
    expectSvg("kills-empty", charts::killsChart(empty));
}

TEST(ChartDrawing, SquadronAndHistoryChartsAreWrittenAsTheyAlwaysWere)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "among the pilots is a file named with bytes that are not UTF-8, which only POSIX file systems hold";
#endif
    TempDir dir;
    const std::vector<PilotTableEntry> entries = chartSquadron(fileio::toUtf8(dir.path()), true);
    ASSERT_EQ(entries[3].mark(), PilotMark::TotalWarningOnly);
    expectSvg("squadron", charts::squadronChart(entries, charts::kSquadronDefaultColumn));
    expectSvg("squadron-as-given", charts::squadronChart(entries, kTodScoreColumn, charts::RowOrder::AsGiven));
    expectSvg("squadron-empty", charts::squadronChart({}, kTodScoreColumn));

    std::vector<PilotVersion> versions(3);
    versions[0].date = "2000-01-01 00:00:00";
    versions[0].loadMessages = {"too short"};
    versions[1].date = "2026-11-01 12:00:00";
    versions[1].record = std::make_shared<PilotRecord>(missionPilot(dir));
    versions[2].date = "2026-11-02 08:30:00";
    versions[2].current = true;
    auto grown = std::make_shared<PilotRecord>(*versions[1].record);
    grown->CampaignMissionCount = 3;
    versions[2].record = grown;
    expectSvg("history", charts::historyChart("Wedge", versions));
    expectSvg("history-empty", charts::historyChart("/tmp/x.plt", {}));
}

TEST(ChartDrawing, AnyChartIsWrittenAsItAlwaysWas)
{
    charts::BarChart chart;
    chart.title = std::string("Odd \xFF\x01 chart with a title far longer than its bars need, ") + std::string(40, 'W');
    chart.description = "Tabs\tand\nnewlines & 'quotes'";
    chart.series = {{"up", "#102030", "Up"}, {"down", "#a0b0c0", "Down <all>"}};
    charts::Panel negative;
    negative.heading = "Only below zero";
    for (int k = 0; k < 4; ++k) {
        charts::Row row;
        row.label = std::string(k == 2 ? 90 : 5 + k, 'x') + "\xC3\xA9";
        row.add(1, -7 * k - 1);
        if (k % 2)
            row.add(0, 3 * k);
        row.valueText = std::to_string(k);
        row.mark = static_cast<charts::RowMark>(k);
        negative.rows.push_back(std::move(row));
    }
    charts::Panel empty;
    empty.heading = "Nothing";
    empty.emptyText = "Nothing at all.";
    charts::Panel zeros;
    charts::Row zero;
    zero.label = "zero";
    zero.add(0, 0);
    zeros.rows.push_back(zero);
    chart.panels = {negative, empty, zeros};
    expectSvg("any", chart);
    expectSvg("bare", charts::BarChart{});
}

}  // namespace

namespace {

template <typename T>
std::vector<T> shapesOf(const charts::Drawing& drawing, const std::string& className)
{
    std::vector<T> found;
    for (const charts::Shape& shape : drawing.shapes) {
        if (const T* s = std::get_if<T>(&shape); s && s->className == className)
            found.push_back(*s);
    }
    return found;
}

TEST(ChartDrawing, EachBarLiesOnItsPanelsScaleFromTheZeroLineWithinTheDrawing)
{
    charts::BarChart chart;
    chart.title = "Scale";
    chart.series = {{"up", "#102030", "Up"}, {"down", "#a0b0c0", "Down"}};
    for (const std::int64_t largest : {1000, 10}) {
        charts::Panel panel;
        for (const std::int64_t value : {largest, -largest / 4, largest / 2}) {
            charts::Row row;
            row.label = "r";
            row.add(value < 0 ? 1 : 0, value);
            row.add(1, -largest / 10);
            panel.rows.push_back(row);
        }
        chart.panels.push_back(panel);
    }
    const charts::Drawing drawing = charts::drawChart(chart);
    const auto zeros = shapesOf<charts::Line>(drawing, "zero");
    ASSERT_EQ(zeros.size(), 2u);
    // Both panels span their own range, -350 to 1000 and -3 to 10 (the
    // second's integer quarters and tenths), across the same plot width.
    EXPECT_DOUBLE_EQ(zeros[0].x1 - 350 * charts::kPlotWidth / 1350, zeros[1].x1 - 3 * charts::kPlotWidth / 13);
    const auto up = shapesOf<charts::Rect>(drawing, "up");
    const auto down = shapesOf<charts::Rect>(drawing, "down");
    ASSERT_EQ(up.size(), 4u);
    ASSERT_EQ(down.size(), 8u);
    const double perUnit = charts::kPlotWidth / 1350;
    EXPECT_DOUBLE_EQ(up[0].x, zeros[0].x1);
    EXPECT_DOUBLE_EQ(up[0].width, 1000 * perUnit);
    EXPECT_DOUBLE_EQ(up[1].x, zeros[0].x1);
    EXPECT_DOUBLE_EQ(up[1].width, 500 * perUnit);
    // Negative segments stack leftwards from the zero line.
    EXPECT_DOUBLE_EQ(down[0].x + down[0].width, zeros[0].x1);
    EXPECT_DOUBLE_EQ(down[1].x + down[1].width, zeros[0].x1);
    EXPECT_DOUBLE_EQ(down[2].x + down[2].width, down[1].x);
    EXPECT_DOUBLE_EQ(down[2].width, 100 * perUnit);
    EXPECT_DOUBLE_EQ(up[2].width, 10 * charts::kPlotWidth / 13);
    EXPECT_EQ(down[0].title, "Down: -100");
    EXPECT_EQ(down[0].fill, "#a0b0c0");
    for (const auto& bar : down) {
        EXPECT_DOUBLE_EQ(bar.height, 12);
        EXPECT_GE(bar.x, 0);
        EXPECT_LE(bar.x + bar.width, drawing.width);
        EXPECT_LE(bar.y + bar.height, drawing.height);
    }
    // Rows follow each other, each bar within its row's label line.
    const auto labels = shapesOf<charts::Text>(drawing, "label");
    ASSERT_EQ(labels.size(), 6u);
    EXPECT_DOUBLE_EQ(labels[1].y - labels[0].y, charts::kRowHeight);
    EXPECT_LT(up[1].y, labels[2].y);
    EXPECT_GT(up[1].y + up[1].height, labels[2].y - 12);
}

TEST(ChartDrawing, TextsAreWrittenWithTheirAnchorSizeAndColour)
{
    charts::Drawing drawing;
    drawing.width = 100.5;
    drawing.height = 20;
    drawing.title = "<t>";
    drawing.fontSize = 11;
    charts::Text middle{50, 10, "a&b", "c", 14, false, true, charts::Anchor::Middle, "#ff0000"};
    charts::Text end;
    end.x = 99;
    end.y = 10;
    end.text = "z";
    end.anchor = charts::Anchor::End;
    drawing.shapes = {charts::GroupStart{}, middle, end, charts::GroupEnd{}};
    const std::string svg = charts::svgDocument(drawing);
    EXPECT_NE(
        svg.find(" width=\"100.5\" height=\"20\" viewBox=\"0 0 100.5 20\" font-size=\"11\">\n<title>&lt;t&gt;</title>"
                 "\n<desc></desc>\n<g>\n"),
        std::string::npos)
        << svg;
    EXPECT_NE(
        svg.find("<text x=\"50\" y=\"10\" class=\"c\" font-size=\"14\" font-style=\"italic\" text-anchor=\"middle\" "
                 "fill=\"#ff0000\">a&amp;b</text>\n<text x=\"99\" y=\"10\" text-anchor=\"end\">z</text>\n</g>\n"),
        std::string::npos)
        << svg;
}

}  // namespace
