// Finding the game's install folders on a fake home folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TestSupport.h"
#include "core/platform/GameFolders.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

// The Linux layouts of Steam, Proton and Wine.
#ifndef _WIN32
namespace {

TEST(GameFolders, LibraryPathsFromBothFormsOfTheVdfFile)
{
    const std::string current = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/pilot/.local/share/Steam"
		"label"		""
		"apps"
		{
			"228980"		"415865380"
			"361670"		"1234"
		}
	}
	// a second drive
	"1" { "PATH" "/mnt/games/Steam \"Library\"" "contentid" "77" }
	"2"
	{
		"path"		"C:\\Games\\Steam"
	}
}
)";
    EXPECT_EQ(gamefolders::libraryPathsFromVdf(current),
              (std::vector<std::string>{"/home/pilot/.local/share/Steam", "/mnt/games/Steam \"Library\"",
                                        "C:\\Games\\Steam"}));

    const std::string older = R"("LibraryFolders"
{
	"TimeNextStatsReport"		"1620000000"
	"ContentStatsID"		"-123"
	"1"		"/media/disk/SteamLibrary"
	"2"		"/srv/steam"
}
)";
    EXPECT_EQ(gamefolders::libraryPathsFromVdf(older),
              (std::vector<std::string>{"/media/disk/SteamLibrary", "/srv/steam"}));
    EXPECT_EQ(gamefolders::libraryPathsFromVdf("\"libraryfolders\" { \"0\" { \"path\""), std::vector<std::string>{});
}

TEST(GameFolders, CandidatesCoverSteamProtonAndWine)
{
    TempDir home;
    const std::string h = home.path().string();
    const std::string extra = home.file("disk/SteamLibrary");
    fs::create_directories(home.path() / ".local/share/Steam/steamapps");
    writeFile(h + "/.local/share/Steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\" { \"0\" { \"path\" \"" + h + "/.local/share/Steam/\" } \"1\" { \"path\" \"" + extra +
                  "\" } \"2\" { \"path\" \"D:\\\\Steam\" } }");

    EXPECT_EQ(gamefolders::steamLibraries(h),
              (std::vector<std::string>{h + "/.steam/steam", h + "/.local/share/Steam",
                                        h + "/.var/app/com.valvesoftware.Steam/.local/share/Steam", extra}));

    const auto candidates = gamefolders::candidateGameFolders(h);
    const auto has = [&](const std::string& path) {
        return std::find(candidates.begin(), candidates.end(), path) != candidates.end();
    };
    EXPECT_TRUE(has(extra + "/steamapps/common/Star Wars X-Wing Alliance"));
    EXPECT_TRUE(has(h + "/.local/share/Steam/steamapps/compatdata/361670/pfx/drive_c/Program Files (x86)/GOG Galaxy/"
                        "Games/Star Wars - X-Wing Alliance"));
    EXPECT_TRUE(has(h + "/.wine/drive_c/Program Files/LucasArts/XWing Alliance"));
    EXPECT_TRUE(has(h + "/.wine/drive_c/GOG Games/Star Wars - X-Wing Alliance"));
    EXPECT_EQ(candidates.front(), h + "/.steam/steam/steamapps/common/Star Wars X-Wing Alliance");
    EXPECT_EQ(candidates.back(), h + "/.wine/drive_c/GOG Games/Star Wars - X-Wing Alliance");
}

TEST(GameFolders, ExistingFoldersOnceEachInListOrder)
{
    TempDir home;
    const std::string h = fs::canonical(home.path()).string();
    const std::string steam = h + "/.local/share/Steam";
    const std::string library = h + "/disk/SteamLibrary";
    fs::create_directories(steam + "/steamapps/common/Star Wars X-Wing Alliance");
    fs::create_directories(steam + "/steamapps/compatdata/361670/pfx/drive_c/Program Files (x86)/LucasArts/XWing Alliance");
    fs::create_directories(library + "/steamapps/common/STAR WARS X-Wing Alliance");  // letter case differs
    fs::create_directories(h + "/.wine/drive_c/Program Files/GOG Galaxy/Games/Star Wars - X-Wing Alliance");
    fs::create_directories(h + "/.wine/drive_c/Program Files/LucasArts");
    writeFile(h + "/.wine/drive_c/Program Files/LucasArts/XWing Alliance", "a file, not a folder");
    fs::create_directories(h + "/.steam");
    fs::create_directory_symlink(steam, h + "/.steam/steam");  // the same library twice
    writeFile(steam + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\" { \"0\" { \"path\" \"" + steam + "\" } \"1\" { \"path\" \"" + library + "\" } }");

    EXPECT_EQ(gamefolders::existingGameFolders(h),
              (std::vector<std::string>{
                  steam + "/steamapps/common/Star Wars X-Wing Alliance",
                  steam + "/steamapps/compatdata/361670/pfx/drive_c/Program Files (x86)/LucasArts/XWing Alliance",
                  library + "/steamapps/common/STAR WARS X-Wing Alliance",
                  h + "/.wine/drive_c/Program Files/GOG Galaxy/Games/Star Wars - X-Wing Alliance",
              }));

    TempDir empty;
    EXPECT_EQ(gamefolders::existingGameFolders(empty.path().string()), std::vector<std::string>{});
}

}  // namespace

namespace {

// The open dialog looks these files up each time it opens: a FIFO in the
// place of Steam's library list must not freeze it.
TEST(GameFolders, AFifoInPlaceOfTheLibraryListIsNotWaitedOn)
{
    TempDir home;
    fs::create_directories(home.path() / ".steam/steam/steamapps");
    ASSERT_EQ(::mkfifo((home.path() / ".steam/steam/steamapps/libraryfolders.vdf").c_str(), 0600), 0);
    const auto found = resultWithin(10, [&] {
        return std::to_string(gamefolders::steamLibraries(home.path().string()).size());
    });
    ASSERT_TRUE(found.has_value()) << "the search blocked on the FIFO";
    EXPECT_EQ(*found, "3");  // the three Steam roots themselves, nothing read from the FIFO
}

}  // namespace

#endif
