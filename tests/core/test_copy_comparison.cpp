// The deeper check: the A and B kill and assist lists, the stored kill
// totals and the simulator score copies, element by element; real pilots
// agree, and an edit of one copy is found and named.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/CopyComparison.h"
#include "core/reports/PilotReport.h"
#include "core/reports/PilotTable.h"
#include "tests/support/LineCollector.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

constexpr std::uint32_t kTieInterceptor = 5;

PilotRecord loaded(const std::string& path)
{
    PilotRecord record;
    EXPECT_TRUE(ReadMission(record, path).ok()) << path;
    return record;
}

PilotRecord loaded(const PilotImage& image, const TempDir& dir)
{
    const std::string path = dir.file("p.plt");
    EXPECT_TRUE(image.save(path));
    return loaded(path);
}

TEST(CopyComparison, RealPilotsAndTheSampleAgreeInEveryCopy)
{
    EXPECT_EQ(CompareOtherCopies(loaded(VANTREL_SAMPLE_PILOT)), std::vector<std::string>{});
    VANTREL_REQUIRE_REAL_PILOT(yoda, "PickledYoda0.plt");
    VANTREL_REQUIRE_REAL_PILOT(tc, "XWA-TC-56.plt");
    for (const std::string& path : {yoda, tc}) {
        const PilotRecord record = loaded(path);
        EXPECT_EQ(CompareOtherCopies(record), std::vector<std::string>{}) << path;
        // Worth comparing: these pilots have kills in both lists.
        EXPECT_GT(record.TODTotalKills, 0) << path;
    }
}

TEST(CopyComparison, EachDifferingCopyIsNamedWithBothValues)
{
    TempDir dir;
    PilotImage image;
    EXPECT_EQ(CompareOtherCopies(loaded(image, dir)), std::vector<std::string>{});

    image.setInt(L::TODKillsA, 81, kTieInterceptor);
    image.setInt(L::TODKillsB, 41, kTieInterceptor);
    image.setInt(L::TODTotalKills, 81);
    image.setInt(L::SimKillsB, 2, 0);
    image.setInt(L::TODAssistsA, -1, L::kCraftTypeCount - 1);
    image.setInt(L::AzzAssistsB, 7, 226);
    image.setInt(L::AzzKills, 3, 1);
    image.setInt(L::SimScoreA, 150);
    image.setInt(L::SimScoreB, 150);
    image.setInt(L::SimScoreD, 150);
    EXPECT_EQ(CompareOtherCopies(loaded(image, dir)),
              (std::vector<std::string>{
                  "TOD kills, TIE Interceptor: list A 81, list B 41", "Simulator kills, Xwing: list A 0, list B 2",
                  "TOD assists, 231: list A -1, list B 0", "Azzameen assists, Death Star II: list A 0, list B 7",
                  "Azzameen total kills: stored 0, the list adds up to 3", "Simulator score: copy A 150, copy C 0"}));

    // The stored total is checked against list A; sums wrap as the reports' do.
    image = PilotImage();
    image.setInt(L::TODKillsA, 0x7fffffff, 0);
    image.setInt(L::TODKillsA, 2, 1);
    image.setInt(L::TODKillsB, 0x7fffffff, 0);
    image.setInt(L::TODKillsB, 2, 1);
    image.setInt(L::TODTotalKills, 1);
    EXPECT_EQ(CompareOtherCopies(loaded(image, dir)),
              std::vector<std::string>{"TOD total kills: stored 1, list A adds up to -2147483647"});
}

TEST(CopyComparison, FortyKillsAddedToListAAloneShowInTheTableButNotInTheReport)
{
    TempDir dir;
    PilotImage image;
    image.bytes() = readFile(VANTREL_SAMPLE_PILOT);
    ASSERT_EQ(image.bytes().size(), static_cast<std::size_t>(L::kPilotFileSize));
    const std::uint32_t element = L::TODKillsA.offset + 4 * kTieInterceptor;
    image.setIntAt(element, image.intAt(element) + 40);
    const std::string path = dir.file("edited.plt");
    ASSERT_TRUE(image.save(path));

    PilotRecord record;
    const PilotTableEntry entry = pilotTableEntry(path, record);
    ASSERT_TRUE(entry.loaded);
    EXPECT_EQ(entry.cells[kCheckErrorsColumn], "0");
    EXPECT_EQ(entry.cells[kTotalWarningColumn], "no");
    EXPECT_EQ(entry.cells[kOtherCopiesColumn], "2");
    EXPECT_EQ(entry.otherCopies, (std::vector<std::string>{"TOD kills, TIE Interceptor: list A 61, list B 21",
                                                           "TOD total kills: stored 81, list A adds up to 121"}));
    EXPECT_TRUE(entry.flagged());
    EXPECT_EQ(pilotTableRow(path, record), entry.cells);

    // The report keeps its texts: the check it runs compares the score copies only.
    MemorySettings settings;
    LineCollector lines;
    MissionRange range;
    BuildPilotReport(lines, settings, record, range, true);
    EXPECT_NE(std::find(lines.lines.begin(), lines.lines.end(), "Pilotfile seems OK."), lines.lines.end());
    for (const std::string& line : lines.lines)
        EXPECT_EQ(line.find("list A"), std::string::npos) << line;

    // A file that did not load has no count.
    writeFile(path, "abc");
    const PilotTableEntry failed = pilotTableEntry(path);
    EXPECT_EQ(failed.cells[kOtherCopiesColumn], "");
    EXPECT_TRUE(failed.otherCopies.empty());
}

}  // namespace
