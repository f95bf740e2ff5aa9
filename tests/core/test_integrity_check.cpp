// The comparison of the file's score copies.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/reports/IntegrityCheck.h"
#include "tests/support/LineCollector.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

class IntegrityCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        r.TODScoreA = r.TODScoreB = r.TODScoreC = r.TODScoreD = 500;
        r.TODBonus = 20;
        r.AzzScoreA = 1;  // never compared
        r.AzzScoreB = r.AzzScoreC = r.AzzScoreD = 300;
        r.AzzBonus = 7;
        r.CampaignCalculatedTotal = 827;
    }
    IntegrityFindings run()
    {
        sink.clear();
        return RunIntegrityCheck(sink, settings, r);
    }
    PilotRecord r;
    MemorySettings settings;
    LineCollector sink;
};

TEST_F(IntegrityCheckTest, AgreeingCopiesPass)
{
    r.AzzScoreC = 12345;  // only used for the total warning
    EXPECT_EQ(run().errors(), 0);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"File Cheat/Error check:", "Pilotfile seems OK."}));
}

TEST_F(IntegrityCheckTest, EachCopyThatDiffersFromTheFirstCountsOnce)
{
    r.TODScoreB = r.TODScoreC = r.TODScoreD = 499;
    EXPECT_EQ(run().errors(), 3);
    EXPECT_EQ(sink.lines,
              (std::vector<std::string>{"File Cheat/Error check:", "TODScoreA <> TODScoreB!", "TODScoreA <> TODScoreC!",
                                        "TODScoreA <> TODScoreD!", "3 error(s) found!"}));
}

TEST_F(IntegrityCheckTest, AllFourTestsFailing)
{
    r.TODScoreB = 1;
    r.TODScoreC = 2;
    r.TODScoreD = 3;
    r.AzzScoreD = 4;
    EXPECT_EQ(run().errors(), 4);
    EXPECT_EQ(sink.lines[4], "AzzScore1 <> AzzScore2!");
    EXPECT_EQ(sink.lines.back(), "4 error(s) found!");
}

TEST_F(IntegrityCheckTest, TotalWarningNeedsBothSumsToMiss)
{
    r.AzzScoreB = r.AzzScoreD = 301;  // first sum misses, second meets
    IntegrityFindings found = run();
    EXPECT_EQ(found.errors(), 0);
    EXPECT_FALSE(found.totalWarning);
    EXPECT_EQ(sink.lines.size(), 2u);

    r.AzzScoreC = 302;  // both miss: a warning, still no error
    found = run();
    EXPECT_EQ(found.errors(), 0);
    EXPECT_TRUE(found.totalWarning);
    EXPECT_EQ(sink.lines, (std::vector<std::string>{"File Cheat/Error check:",
                                                    "TODScore+TODBonuns+AzzScore+AzzBonus <> Calculated Total "
                                                    "Score. This may not be a real error.",
                                                    "Pilotfile seems OK."}));
}

TEST_F(IntegrityCheckTest, ANewPilotPassesWithoutWarning)
{
    r = PilotRecord{};
    EXPECT_EQ(run().errors(), 0);
    EXPECT_EQ(sink.lines.size(), 2u);
}

TEST_F(IntegrityCheckTest, ValueListingOnlyWithErrorsAndTheSetting)
{
    settings.set("ShowErrorDetailes", "1");
    r.CampaignCalculatedTotal = 0;  // a warning alone lists nothing
    EXPECT_EQ(run().errors(), 0);
    EXPECT_EQ(sink.lines.size(), 3u);

    r.TODScoreD = -9;
    EXPECT_EQ(run().errors(), 1);
    const std::vector<std::string> listing(sink.lines.end() - 10, sink.lines.end());
    EXPECT_EQ(listing,
              (std::vector<std::string>{"TODScoreA= 500", "TODScoreB= 500", "TODScoreC= 500", "TODScoreD= -9",
                                        "TODBonus= 20", "AzzScore1= 300", "AzzScore2= 300", "AzzBonus= 7",
                                        "TODScoreA+TODBonuns+AzzScore1+AzzBonus= 827", "Calculated Total Score= 0"}));
    EXPECT_EQ(sink.lines[sink.lines.size() - 11], "1 error(s) found!");

    settings.set("ShowErrorDetailes", "on");
    EXPECT_EQ(run().errors(), 1);
    EXPECT_EQ(sink.lines.back(), "1 error(s) found!");
}

}  // namespace
