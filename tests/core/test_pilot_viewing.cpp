// Opening a pilot for viewing: the load, its failures named with the file,
// and the report run that stops at a setting that is no whole number.
#include <gtest/gtest.h>

#include "LineCollector.h"
#include "TestSupport.h"
#include "core/app/PilotViewing.h"
#include "core/pilot/MemoryFileAccess.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

TEST(PilotViewing, ALoadSetsToAndKeepsFromAndTheReportGivesTheEntry)
{
    MemoryFileAccess files;
    files.put("Red.plt", scrambledPilot(5).bytes());
    MemorySettings settings;
    app::PilotView view;
    view.range.from.set(2);
    ASSERT_TRUE(app::openForViewing(view, "Red.plt", settings, files));
    EXPECT_TRUE(view.ok());
    EXPECT_EQ(view.range.to.value(), 5);
    EXPECT_EQ(view.range.from.value(), 2);
    EXPECT_FALSE(view.entry.empty());
    EXPECT_TRUE(view.errorLines().empty());
}

TEST(PilotViewing, LoadFailuresAreNamedWithTheFileAsGiven)
{
    MemoryFileAccess files;
    files.put("short.plt", "abc");
    MemorySettings settings;
    app::PilotView missing;
    EXPECT_FALSE(app::openForViewing(missing, "Red_07.plt", settings, files));
    EXPECT_EQ(missing.errorLines(), std::vector<std::string>{"Red_07.plt: no such file"});
    app::PilotView wrongSize;
    EXPECT_FALSE(app::loadForViewing(wrongSize, "short.plt", files));
    ASSERT_FALSE(wrongSize.errorLines().empty());
    for (const std::string& line : wrongSize.errorLines())
        EXPECT_EQ(line.rfind("short.plt: ", 0), 0u) << line;
}

TEST(PilotViewing, ASettingThatIsNoWholeNumberStopsTheReportAfterItsFirstLines)
{
    MemoryFileAccess files;
    files.put("Red.plt", scrambledPilot(1).bytes());
    MemorySettings settings;
    settings.set("ScoreFormat", "x1");
    app::PilotView view;
    ASSERT_TRUE(app::loadForViewing(view, "Red.plt", files));
    LineCollector report;
    EXPECT_FALSE(app::reportForViewing(view, settings, report));
    EXPECT_TRUE(view.loaded());
    EXPECT_FALSE(view.ok());
    EXPECT_EQ(view.errorLines(), std::vector<std::string>{"'x1' is not a valid integer value"});
    EXPECT_FALSE(report.lines.empty());  // the summary came first
    // Mended, the same view reports again.
    settings.set("ScoreFormat", "1");
    EXPECT_TRUE(app::reportForViewing(view, settings, report));
    EXPECT_TRUE(view.ok());
}

}  // namespace
