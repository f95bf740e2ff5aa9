// The game's word tables: sizes, the rows people look for, and selection.
#include <gtest/gtest.h>

#include "core/pilot/Vocabulary.h"

using namespace vantrel::vocabulary;

namespace {

std::size_t tabsIn(std::string_view s)
{
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\t'));
}

TEST(Vocabulary, TableSizesAndEnds)
{
    ASSERT_EQ(rankNames().size(), 9u);
    ASSERT_EQ(ratingNames().size(), 25u);
    ASSERT_EQ(kalidorStates().size(), 7u);
    ASSERT_EQ(missionTitles().size(), 255u);
    ASSERT_EQ(craftTypeLabels().size(), 231u);
    EXPECT_EQ(rankNames()[0], "Recruit");
    EXPECT_EQ(rankNames()[8], "General");
    EXPECT_EQ(ratingNames()[0], "Target Drone");
    EXPECT_EQ(ratingNames()[14], "Ace 2nd");
    EXPECT_EQ(ratingNames()[24], "Jedi Master");
    EXPECT_EQ(kalidorStates()[0], "None");
    EXPECT_EQ(kalidorStates()[6], "Kalidor Crescent: Diamond Eyes");
}

TEST(Vocabulary, MissionTitles)
{
    const auto t = missionTitles();
    EXPECT_EQ(t[0], "01 - Aeron's Lesson: Transport Operations");
    EXPECT_EQ(t[18], "19 - Kill K'Armyn Viraxo ");
    EXPECT_EQ(t[21], "22 - Destroy Imperial Research Facility ");
    EXPECT_EQ(t[40], "41 - Recover Family Data Core ");
    EXPECT_EQ(t[52], "53 - Phase 4: Death Star Tunnel Run");
    EXPECT_EQ(t[53], "54 - <custom mission>");
    EXPECT_EQ(t[249], "250 - <custom mission>");
    for (std::size_t i = 250; i < 254; ++i)
        EXPECT_EQ(t[i], "");
    EXPECT_EQ(t[254], " ");
    for (std::size_t i = 0; i < 53; ++i) {
        char number[4];
        std::snprintf(number, sizeof number, "%02zu", i + 1);
        EXPECT_EQ(t[i].substr(0, 5), std::string(number) + " - ") << i;
    }
    int trailingBlanks = 0;
    for (std::size_t i = 0; i < 250; ++i)
        trailingBlanks += t[i].back() == ' ';
    EXPECT_EQ(trailingBlanks, 3);
}

TEST(Vocabulary, CraftTypeLabelsCarryTabsAndAColon)
{
    const auto c = craftTypeLabels();
    EXPECT_EQ(c[0], "Xwing\t\t\t:");
    EXPECT_EQ(c[35], "Rebel Med Transport\t:");
    EXPECT_EQ(c[50], "Interdictor,Starship\t\t:");
    EXPECT_EQ(c[159], "*Homing Mine A\t\t:");
    EXPECT_EQ(c[182], "BACKDROP\t\t:");
    EXPECT_EQ(c[202], "203\t\t\t:");
    EXPECT_EQ(c[203], "204\t\t\t:");
    EXPECT_EQ(c[204], "205\t\t\t:");
    EXPECT_EQ(c[226], "Death Star II\t\t:");
    EXPECT_EQ(c[227], "Calamari Cruiser Type 2\t:");
    EXPECT_EQ(c[230], "231\t\t\t:");
    std::size_t one = 0, two = 0, three = 0;
    for (const auto label : c) {
        EXPECT_EQ(label.back(), ':');
        EXPECT_EQ(label.find('\t'), label.size() - 1 - tabsIn(label)) << label;
        const std::size_t n = tabsIn(label);
        one += n == 1;
        two += n == 2;
        three += n == 3;
    }
    EXPECT_EQ(one, 17u);
    EXPECT_EQ(three, 82u);
    EXPECT_EQ(one + two + three, 231u);
    int starred = 0;
    for (const auto label : c)
        starred += label.front() == '*';
    EXPECT_EQ(starred, 5);
}

TEST(Vocabulary, SelectionOutsideATableIsMinusOne)
{
    EXPECT_EQ(selectionFor(rankNames(), 8), 8);
    EXPECT_EQ(selectionFor(rankNames(), 9), -1);
    EXPECT_EQ(selectionFor(rankNames(), -1), -1);
    EXPECT_EQ(selectionFor(missionTitles(), 254), 254);
    EXPECT_EQ(selectionFor(missionTitles(), 255), -1);
    EXPECT_EQ(selectionFor(kalidorStates(), 0), 0);
}

}  // namespace
