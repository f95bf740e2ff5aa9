// The review's words about its rows, which the review window and the
// browser page both show: each mark in words, the summary line and what
// adding the entries to the main log did.
#include <gtest/gtest.h>

#include "core/reports/ReviewTexts.h"

using namespace vantrel;

TEST(ReviewTexts, EachMarkInWords)
{
    PilotTableEntry entry;
    entry.cells[kLoadErrorColumn] = "The file is 1000 bytes, not 152076.";
    entry.cells[kOtherCopiesColumn] = "";
    EXPECT_EQ(pilotMarkDescription(entry), "Not loaded: The file is 1000 bytes, not 152076.");

    entry.loaded = true;
    EXPECT_EQ(pilotMarkDescription(entry), "Check passed");
    entry.check.totalWarning = true;
    EXPECT_EQ(pilotMarkDescription(entry),
              "Score total warning only: the stored scores do not add up to the "
              "missions' sum, which may not be a real error");
    entry.check.todScoreB = true;
    entry.check.azzScore2 = true;
    EXPECT_EQ(pilotMarkDescription(entry), "Fails the check: 2 integrity error(s), score total warning");
    entry.check = {};
    entry.otherCopies = {"Kills differ: 3 and 4", "Losses differ: 0 and 1"};
    EXPECT_EQ(pilotMarkDescription(entry),
              "Fails the check: 2 other copy(ies) differ\nKills differ: 3 and 4\nLosses differ: 0 and 1");

    EXPECT_EQ(pilotMarkLegend(),
              "!: the error/cheat check finds errors, or other copies differ; ?: only the score "
              "total warning applies; X: the file did not load");
    EXPECT_EQ(markedOnlyHint(), "Show only the rows marked !, ? or X");
}

TEST(ReviewTexts, CountsInTheirSingularAndPlural)
{
    EXPECT_EQ(pilotTableSummary(17, 2, 1, 0),
              "17 pilots: 2 fail the check, 1 with the total warning only, 0 did not load");
    EXPECT_EQ(pilotTableSummary(1, 1, 0, 0),
              "1 pilot: 1 fails the check, 0 with the total warning only, 0 did not load");
    EXPECT_EQ(pilotTableSummary(0, 0, 0, 0),
              "0 pilots: 0 fail the check, 0 with the total warning only, 0 did not load");

    EXPECT_EQ(entriesAddedText(3, 0), "3 entries added to the main log");
    EXPECT_EQ(entriesAddedText(1, 1), "1 entry added to the main log; 1 row that did not load was skipped");
    EXPECT_EQ(entriesAddedText(0, 2), "0 entries added to the main log; 2 rows that did not load were skipped");
}
