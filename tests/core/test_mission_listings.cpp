// Mission listings: range normalisation, the line layouts of both
// listings, the zero-mission filter and the time format.
#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "core/reports/MissionListings.h"
#include "tests/support/LineCollector.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

MissionRange rangeOf(const std::string& from, const std::string& to)
{
    MissionRange r;
    r.from.text = from;
    r.to.text = to;
    return r;
}

TEST(MissionRange, Normalisation)
{
    struct Case {
        const char* from;
        const char* to;
        int count;
        const char* fromAfter;
        const char* toAfter;
    };
    const Case cases[] = {
        {"7", "3", 40, "2", "3"},  {"0", "300", 40, "0", "40"},
        {"0", "-5", 40, "0", "0"}, {"10", "5", 5, "4", "5"},
        {"-3", "4", 40, "0", "4"}, {"5", "0", 0, "0", "0"},
        {"10", "10", 5, "4", "5"}, {"abc", "2", 5, "abc", "2"},
        {"", "", 5, "", ""},       {"2147483647", "-2147483648", 255, "0", "0"},
    };
    for (const Case& c : cases) {
        MissionRange r = rangeOf(c.from, c.to);
        normaliseRange(r, c.count);
        EXPECT_EQ(r.from.text, c.fromAfter) << c.from << ".." << c.to;
        EXPECT_EQ(r.to.text, c.toAfter) << c.from << ".." << c.to;
    }
}

TEST(MissionTime, MinutesAndSecondsWithoutPadding)
{
    EXPECT_EQ(formatMissionTime(0), "0:0");
    EXPECT_EQ(formatMissionTime(59), "0:59");
    EXPECT_EQ(formatMissionTime(60), "1:0");
    EXPECT_EQ(formatMissionTime(725), "12:5");
    EXPECT_EQ(formatMissionTime(3600), "60:0");
    EXPECT_EQ(formatMissionTime(-5), "0:-5");
    EXPECT_EQ(formatMissionTime(INT_MIN), "0:-2147483648");
    EXPECT_EQ(formatMissionTime(INT_MAX), "35791394:7");
}

class ListingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        record.CampaignMissionCount = 40;
        for (int i = 0; i < 40; ++i)
            record.CampaignMissions[static_cast<std::size_t>(i)] = {0, 1, 100 * (i + 1), 60, i};
        record.CampaignMissions[2] = {0, 1, 2000, 725, 350};
    }
    std::vector<std::string> campaign(const std::string& from, const std::string& to)
    {
        MissionRange r = rangeOf(from, to);
        LineCollector sink;
        RipScore(sink, settings, record, r);
        return sink.lines;
    }
    MemorySettings settings;
    PilotRecord record;
};

TEST_F(ListingTest, EveryCombinationOfFigures)
{
    const char* header = "--- Mission details: ----------------------------";
    struct Case {
        const char *total, *score, *bonus, *time;
        const char* line;
    };
    const Case cases[] = {
        {"1", "1", "1", "0", "3: Tot. Score= 2350 (2000+350)"},
        {"1", "1", "1", "1", "3: Tot. Score= 2350 (2000+350) Time=12:5"},
        {"1", "1", "0", "0", "3: Tot. Score= 2350 (2000)"},
        {"1", "0", "1", "0", "3: Tot. Score= 2350 (Bonus=350)"},
        {"1", "0", "0", "0", "3: Tot. Score= 2350"},
        {"0", "1", "1", "0", "3: Score=2000 Bonus=350"},
        {"0", "1", "0", "0", "3: Score=2000"},
        {"0", "0", "1", "0", "3:  (Bonus=350)"},
        {"0", "0", "0", "0", "3: "},
        {"0", "0", "0", "1", "3:  Time=12:5"},
    };
    for (const Case& c : cases) {
        settings.set("ShowMissionTotal", c.total);
        settings.set("ShowMissionScore", c.score);
        settings.set("ShowMissionBonus", c.bonus);
        settings.set("ShowMissionTime", c.time);
        EXPECT_EQ(campaign("3", "3"), (std::vector<std::string>{header, c.line}));
    }
}

TEST_F(ListingTest, FromZeroAndFromOneListTheSameMissions)
{
    EXPECT_EQ(campaign("0", "4"), campaign("1", "4"));
    EXPECT_EQ(campaign("", "4").size(), 5u);
    EXPECT_EQ(campaign("0", "4")[1], "1: Tot. Score= 100 (100+0)");
}

TEST_F(ListingTest, NormalisedRangeDecidesTheLines)
{
    const auto lines = campaign("7", "3");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].substr(0, 3), "2: ");
    EXPECT_EQ(lines[2].substr(0, 3), "3: ");
    EXPECT_EQ(campaign("0", "300").size(), 41u);
    EXPECT_EQ(campaign("0", "-5").size(), 1u);
}

TEST_F(ListingTest, EmptyMissionsNeedShowZeroMissions)
{
    record.CampaignMissions[4] = {0, 1, 0, 0, 0};
    record.CampaignMissions[5] = {0, 1, 0, 9, 0};  // time alone is enough
    EXPECT_EQ(campaign("5", "6"), (std::vector<std::string>{"--- Mission details: ----------------------------",
                                                            "6: Tot. Score= 0 (0+0)"}));
    for (const char* on : {"1", "", "yes"}) {
        settings.set("ShowZeroMissions", on);
        EXPECT_EQ(campaign("5", "6").size(), 3u) << on;
    }
    settings.set("ShowZeroMissions", "0");
    EXPECT_EQ(campaign("5", "6").size(), 2u);
}

TEST_F(ListingTest, TotalsWrapAround)
{
    record.CampaignMissions[0] = {0, 1, INT_MAX, 0, 1};
    EXPECT_EQ(campaign("1", "1")[1], "1: Tot. Score= -2147483648 (2147483647+1)");
}

TEST_F(ListingTest, ListingsAskTheStoreToSyncFirst)
{
    campaign("1", "1");
    LineCollector sink;
    SimRipScore(sink, settings, record);
    EXPECT_EQ(settings.updates, 2);
}

TEST_F(ListingTest, SimulatorListingCoversAll256SlotsWithBestLabels)
{
    record.SimMissions[2] = {0, 1, 2000, 725, 350};
    record.SimMissions[255] = {0, 0, 0, 1, 0};
    settings.set("ShowMissionTime", "1");
    LineCollector sink;
    SimRipScore(sink, settings, record);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"-- Combat simulator mission details: --",
                                                    "3: Best Tot. Score= 2350 (2000+350) Best Time=12:5",
                                                    "256: Best Tot. Score= 0 (0+0) Best Time=0:1"}));

    settings.set("ShowZeroMissions", "1");
    settings.set("ShowMissionTotal", "0");
    sink.clear();
    SimRipScore(sink, settings, record);
    ASSERT_EQ(sink.lines.size(), 257u);
    EXPECT_EQ(sink.lines[1], "1: Best Score=0 Best Bonus=0 Best Time=0:0");
    EXPECT_EQ(sink.lines[3], "3: Best Score=2000 Best Bonus=350 Best Time=12:5");

    settings.set("ShowMissionScore", "0");
    sink.clear();
    SimRipScore(sink, settings, record);
    EXPECT_EQ(sink.lines[3], "3:  (Best Bonus=350) Best Time=12:5");
}

}  // namespace
