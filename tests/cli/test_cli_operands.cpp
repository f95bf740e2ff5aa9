// vantrel-cli as a Windows user types it: wildcards and a folder's closing
// quote left to the program by cmd, "/?", the help naming this system's
// places, and non-ASCII pilot names in a diff of two folders.
#include <algorithm>
#include <filesystem>
#include <string>

#include "CliFixture.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

class OperandsCliTest : public CliFixture {
protected:
    void savePilot(const std::string& path, std::string_view name, std::int32_t tod)
    {
        ASSERT_TRUE(namedPilot(name, tod).save(path));
    }
};

TEST_F(OperandsCliTest, DiffOfTwoFoldersNamesNonAsciiPilotsAsTheyAre)
{
    const std::string before = dir.file("vorher"), after = dir.file("nachher");
    std::filesystem::create_directories(fileio::toPath(before));
    std::filesystem::create_directories(fileio::toPath(after));
    savePilot(before + "/J\xC3\xA4ger.plt", "J\xC3\xA4ger", 1000);
    savePilot(after + "/J\xC3\xA4ger.plt", "J\xC3\xA4ger", 1500);
    savePilot(before + "/\xC3\x96lfass.plt", "Oelfass", 10);

    const CliRun run = cli("diff '" + before + "' '" + after + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "J\xC3\xA4ger.plt:");
    EXPECT_NE(run.out.find("\nOnly in " + before + ": \xC3\x96lfass.plt\n"), std::string::npos) << run.out;
}

TEST_F(OperandsCliTest, SlashQuestionMarkAndHelpNameThisSystemsPlaces)
{
    const CliRun help = cli("--help");
    const CliRun windowsWay = cli("/?");
    EXPECT_EQ(windowsWay.status, 0);
    EXPECT_EQ(windowsWay.err, "");
    EXPECT_EQ(windowsWay.out, help.out);
    // chart cannot do without --kind: it is not shown as optional.
    EXPECT_NE(help.out.find("  chart    --kind missions|kills|squadron|history [--column NAME] PATH...\n"),
              std::string::npos)
        << help.out;
#ifdef _WIN32
    for (const char* place : {"%APPDATA%\\Vantrel\\vantrel.ini", "%USERPROFILE%\\VANTREL_MainLog.txt",
                              "%LOCALAPPDATA%\\Vantrel\\backups as\n"})
        EXPECT_NE(help.out.find(place), std::string::npos) << place;
    EXPECT_EQ(help.out.find("XDG"), std::string::npos);
#else
    for (const char* place : {"$XDG_CONFIG_HOME/vantrel.ini", "~/VANTREL_MainLog.txt",
                              "$XDG_DATA_HOME/vantrel/backups (default ~/.local/share/vantrel/backups) as\n"})
        EXPECT_NE(help.out.find(place), std::string::npos) << place;
    EXPECT_EQ(help.out.find("%APPDATA%"), std::string::npos);
#endif
}

TEST_F(OperandsCliTest, WildcardsAreTheProgramsOwnOnlyOnWindows)
{
    const std::string battle = dir.file("Battle 12");
    std::filesystem::create_directories(fileio::toPath(battle));
    const std::string red1 = dir.file("Battle 12/Red_1.plt"), red2 = dir.file("Battle 12/Red_2.plt");
    savePilot(red1, "Red One", 100);
    savePilot(red2, "Red Two", 200);
    savePilot(dir.file("Battle 12/Blue.plt"), "Blue", 300);
    const CliRun named = cli("entry --ini '" + ini + "' '" + red1 + "' '" + red2 + "'");
    ASSERT_EQ(named.status, 0) << named.err;
#ifdef _WIN32
    const std::string pattern = battle + "\\Red_*.plt";
    const CliRun expanded = cli("entry --ini '" + ini + "' '" + pattern + "'");
    EXPECT_EQ(expanded.status, 0) << expanded.err;
    EXPECT_EQ(expanded.out, named.out);

    const CliRun none = cli("entry --ini '" + ini + "' '" + red1 + "' '" + battle + "\\Gold_*.plt'");
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "vantrel-cli: no file matches " + battle + "\\Gold_*.plt\n");

    // cmd hands "Battle 12\" over with the closing quote in it.
    const CliRun quoted = cli("table --ini '" + ini + "' '" + battle + "\"'");
    const CliRun plain = cli("table --ini '" + ini + "' '" + battle + "'");
    EXPECT_EQ(quoted.status, 0) << quoted.err;
    EXPECT_EQ(quoted.out, plain.out);
#else
    // The shell expanded what it was to: a '*' that reaches the program is
    // part of a file's name.
    const std::string star = dir.file("Battle 12/Red_*.plt");
    savePilot(star, "Star", 400);
    const CliRun literal = cli("entry --ini '" + ini + "' '" + star + "'");
    EXPECT_EQ(literal.status, 0) << literal.err;
    // One entry, the score of that file's pilot.
    EXPECT_EQ(std::count(literal.out.begin(), literal.out.end(), '\n'), 1) << literal.out;
    EXPECT_NE(literal.out.find("Score: 400 "), std::string::npos) << literal.out;
    // Nor is a closing quote dropped.
    EXPECT_NE(cli("table --ini '" + ini + "' '" + battle + "\"'").status, 0);
#endif
}

}  // namespace
