// File operands as a Windows console hands them over: the wildcard matcher,
// the stray closing quote after a folder's backslash, and the expansion that
// vantrel-cli applies on Windows only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/platform/FileOperands.h"
#include "core/platform/Process.h"
#include "core/reports/PilotPairs.h"

namespace vantrel {
namespace {

using testing::TempDir;
using testing::writeFile;

TEST(FileOperands, WildcardsMatchAsWindowsMatchesFileNames)
{
    using operands::matchesPattern;
    EXPECT_TRUE(matchesPattern("Red_*.plt", "Red_07.plt"));
    EXPECT_TRUE(matchesPattern("Red_*.plt", "red_07.PLT"));  // case does not count
    EXPECT_TRUE(matchesPattern("Red_*.plt", "Red_.plt"));
    EXPECT_FALSE(matchesPattern("Red_*.plt", "Blue_07.plt"));
    EXPECT_FALSE(matchesPattern("*.plt", "Red.plt.bak"));
    EXPECT_TRUE(matchesPattern("*", ""));
    EXPECT_TRUE(matchesPattern("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(matchesPattern("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(matchesPattern("Red_?.plt", "Red_7.plt"));
    EXPECT_FALSE(matchesPattern("Red_?.plt", "Red_12.plt"));
    EXPECT_FALSE(matchesPattern("Red_?.plt", "Red_.plt"));
    // One character, not one byte.
    EXPECT_TRUE(matchesPattern("J?ger.plt", "J\xC3\xA4ger.plt"));
    EXPECT_FALSE(matchesPattern("J??ger.plt", "J\xC3\xA4ger.plt"));
    EXPECT_TRUE(matchesPattern("*\xC3\xA4*", "J\xC3\xA4ger.plt"));

    EXPECT_TRUE(operands::hasWildcard("Battle 12\\Red_*.plt"));
    EXPECT_TRUE(operands::hasWildcard("Battle 12/Red_?.plt"));
    EXPECT_FALSE(operands::hasWildcard("Battle *\\Red.plt"));  // only the name is matched
    EXPECT_FALSE(operands::hasWildcard("Red.plt"));
}

TEST(FileOperands, AClosingQuoteAfterAFolderIsThatFolder)
{
    const auto folders = [](const std::string& path) { return path == "Battle 12 before" || path == "C:\\XWA\\"; };
    using operands::withoutStrayQuote;
    EXPECT_EQ(withoutStrayQuote("Battle 12 before\"", folders), "Battle 12 before");
    EXPECT_EQ(withoutStrayQuote("C:\\XWA\\\"", folders), "C:\\XWA\\");
    // A quote after anything that is no folder stays, so that the load tells of it.
    EXPECT_EQ(withoutStrayQuote("Battle 13\"", folders), "Battle 13\"");
    EXPECT_EQ(withoutStrayQuote("Battle 12 before", folders), "Battle 12 before");
    EXPECT_EQ(withoutStrayQuote("\"", folders), "\"");
}

TEST(FileOperands, PatternsAreReplacedByTheNamesInTheirFolder)
{
    TempDir dir;
    const std::string battle = dir.file("Battle 12");
    std::filesystem::create_directories(fileio::toPath(battle + "/Red_sub"));
    for (const char* name : {"Red_2.plt", "Red_1.plt", "Blue.plt", "J\xC3\xA4ger.plt"})
        writeFile(battle + "/" + name, "x");
    const std::string sep = "/";
    const operands::Expansion expanded =
        operands::expandAsWindowsDoes({battle + sep + "Red_*.plt", battle + sep + "Blue.plt",
                                       battle + sep + "Gold_*.plt", battle + "\"", battle + sep + "J?ger.plt"});
    EXPECT_EQ(expanded.files, (std::vector<std::string>{battle + "/Red_1.plt", battle + "/Red_2.plt",
                                                        battle + "/Blue.plt", battle, battle + "/J\xC3\xA4ger.plt"}));
    EXPECT_EQ(expanded.unmatched, std::vector<std::string>{battle + "/Gold_*.plt"});

    // Folders match too, and are searched by the command as any folder given.
    EXPECT_EQ(operands::expandAsWindowsDoes({battle + "/Red*"}).files,
              (std::vector<std::string>{battle + "/Red_1.plt", battle + "/Red_2.plt", battle + "/Red_sub"}));
}

TEST(FileOperands, OnlyWindowsExpandsThemForTheProgram)
{
    TempDir dir;
    const std::string star = dir.file("Red_*.plt");
#ifdef _WIN32
    writeFile(dir.file("Red_1.plt"), "x");
    const operands::Expansion expanded = process::fileOperands({star, fileio::toUtf8(dir.path()) + "\""});
    EXPECT_EQ(expanded.files, (std::vector<std::string>{dir.file("Red_1.plt"), fileio::toUtf8(dir.path())}));
#else
    // A POSIX shell expanded what it was to; a '*' left is part of a name.
    writeFile(star, "x");
    writeFile(dir.file("Red_1.plt"), "x");
    const operands::Expansion expanded = process::fileOperands({star, dir.file("Gold_*.plt"), dir.file("x\"")});
    EXPECT_EQ(expanded.files, (std::vector<std::string>{star, dir.file("Gold_*.plt"), dir.file("x\"")}));
    EXPECT_TRUE(expanded.unmatched.empty());
#endif
}

TEST(FileOperands, PathsInsideAFolderKeepTheirUtf8Names)
{
    TempDir dir;
    const std::string before = dir.file("Vor der Schlacht \xC3\xA4");
    const std::string inside =
        fileio::toUtf8(fileio::toPath(before) / fileio::toPath("gold") / fileio::toPath("J\xC3\xA4ger.plt"));
    EXPECT_EQ(pathInside(before, inside), "gold/J\xC3\xA4ger.plt");
}

}  // namespace
}  // namespace vantrel
