// What watching the game's pilot folders decides without a window: what is
// offered for a save the game wrote, and which folders are watched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "core/pilot/PilotLayout.h"
#include "core/platform/GameFolders.h"
#include "core/reports/SaveOffer.h"
#include "core/text/WholeNumber.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;
namespace fs = std::filesystem;

namespace {

// A pilot after `missions` campaign missions of 100 points and a kill each.
PilotImage pilotAfter(int missions)
{
    PilotImage image;
    image.setText(L::PilotName, "Wedge");
    image.setInt(L::TODScoreA, 100 * missions);
    for (int i = 0; i < missions; ++i)
        image.setMission(L::CampaignMissionRecords, static_cast<std::uint32_t>(i), {1, 1, 100, 60, 0});
    image.setInt(L::TODKillsA, missions, 4);
    return image;
}

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SeenSaves, OfferTellsTheChangeSinceTheLastSaveSeenAndNothingWhenThereIsNone)
{
    TempDir dir;
    const std::string path = dir.file("Wedge_Antilles.plt");
    ASSERT_TRUE(pilotAfter(2).save(path));
    SeenSaves seen;
    ASSERT_TRUE(seen.remember(path));
    MemorySettings settings;

    // The same save again: nothing to offer.
    EXPECT_EQ(seen.offerFor(path, settings), std::nullopt);

    ASSERT_TRUE(pilotAfter(3).save(path));
    const std::optional<SaveOffer> third = seen.offerFor(path, settings);
    ASSERT_TRUE(third);
    EXPECT_FALSE(third->firstSeen);
    EXPECT_EQ(third->path, path);
    EXPECT_TRUE(contains(third->changes, "Campaign missions completed: 2 -> 3")) << third->changes.front();
    EXPECT_TRUE(contains(third->changes, "Campaign total: 200 -> 300 (+100)"));
    EXPECT_TRUE(contains(third->changes, "TOD kills A total: 2 -> 3 (+1)"));
    // The entry with the default settings: the file name cut at the
    // underscore, and the total with its parts.
    EXPECT_NE(third->entry.find("Wedge - Score: 300 (300+0)"), std::string::npos) << third->entry;

    // Not offered yet: the next save is still told against the second.
    ASSERT_TRUE(pilotAfter(4).save(path));
    EXPECT_TRUE(contains(seen.offerFor(path, settings)->changes, "Campaign missions completed: 2 -> 4"));
    // Offered: the one after is told against it.
    seen.offered(*seen.offerFor(path, settings));
    ASSERT_TRUE(pilotAfter(5).save(path));
    const std::optional<SaveOffer> fifth = seen.offerFor(path, settings);
    ASSERT_TRUE(fifth);
    EXPECT_TRUE(contains(fifth->changes, "Campaign missions completed: 4 -> 5"));
    EXPECT_FALSE(contains(fifth->changes, "Campaign missions completed: 2 -> 5"));

    // The entry follows the settings of the moment.
    settings.set("NameSource", "1");
    settings.set("ScoreFormat", "0");
    EXPECT_NE(seen.offerFor(path, settings)->entry.find("Wedge_Antilles - Score: 500"), std::string::npos);
    settings.set("NameSource", "x");
    EXPECT_THROW(seen.offerFor(path, settings), ConversionError);
}

TEST(SeenSaves, FirstSaveOfAFileIsOfferedWithoutChanges)
{
    TempDir dir;
    const std::string path = dir.file("Rookie.plt");
    SeenSaves seen;
    EXPECT_FALSE(seen.remember(path));  // not there yet
    ASSERT_TRUE(pilotAfter(1).save(path));
    MemorySettings settings;
    const std::optional<SaveOffer> first = seen.offerFor(path, settings);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->firstSeen);
    EXPECT_TRUE(first->changes.empty());
    EXPECT_FALSE(seen.knows(path));
    seen.offered(*first);
    EXPECT_TRUE(seen.knows(path));
    EXPECT_EQ(seen.offerFor(path, settings), std::nullopt);
}

TEST(SeenSaves, FilesTheLoaderRefusesAreNeitherRememberedNorOffered)
{
    TempDir dir;
    MemorySettings settings;
    SeenSaves seen;

    const std::string shortFile = dir.file("Short.plt");
    writeFile(shortFile, pilotAfter(1).bytes().substr(0, 1000));
    EXPECT_FALSE(seen.remember(shortFile));
    EXPECT_EQ(seen.offerFor(shortFile, settings), std::nullopt);

#ifndef _WIN32
    // A FIFO named like a pilot: refused at once, not waited on for a writer.
    const std::string fifo = dir.file("Fifo.plt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(seen.remember(fifo));
    EXPECT_EQ(seen.offerFor(fifo, settings), std::nullopt);
#else
    // A device name, in any folder: refused at once, never opened.
    for (const std::string& device : {dir.file("NUL.plt"), dir.file("COM1.plt")}) {
        EXPECT_FALSE(seen.remember(device));
        EXPECT_EQ(seen.offerFor(device, settings), std::nullopt);
    }
#endif

    // A known file that turns unreadable is no offer, and is still known.
    const std::string known = dir.file("Known.plt");
    ASSERT_TRUE(pilotAfter(1).save(known));
    ASSERT_TRUE(seen.remember(known));
    writeFile(known, "cut");
    EXPECT_EQ(seen.offerFor(known, settings), std::nullopt);
    EXPECT_TRUE(seen.knows(known));
}

// 152,076 bytes of random data, or a pilot whose name or lists hold what
// the game never writes: not a save of the game, so never offered, nor
// taken as the last save seen of its file.
TEST(SeenSaves, BytesThatDoNotLookLikeAPilotAreNeitherRememberedNorOffered)
{
    TempDir dir;
    MemorySettings settings;
    std::mt19937 random(5);
    std::string noise(static_cast<std::size_t>(L::kPilotFileSize), '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random());

    std::vector<std::pair<std::string, std::string>> strangers = {{"random data", noise},
                                                                  {"zero bytes only", std::string(noise.size(), '\0')}};
    const auto changed = [&](const char* what, auto change) {
        PilotImage image = pilotAfter(1);
        change(image);
        strangers.emplace_back(what, image.bytes());
    };
    changed("no zero byte in the name field", [](PilotImage& p) { p.setText(L::PilotName, "ThirteenChars"); });
    changed("a control character in the name", [](PilotImage& p) { p.setText(L::PilotName, "We\tdge"); });
    changed("rank 9", [](PilotImage& p) { p.setInt(L::Rank, 9); });
    changed("rating -1", [](PilotImage& p) { p.setInt(L::Rating, -1); });
    changed("rating 25", [](PilotImage& p) { p.setInt(L::Rating, 25); });
    changed("Kalidor Crescent 7", [](PilotImage& p) { p.setInt(L::KalidorCrescent, 7); });

    const std::string known = dir.file("Known.plt");
    for (const auto& [what, bytes] : strangers) {
        SCOPED_TRACE(what);
        const std::string garbage = dir.file("garbage.plt");
        writeFile(garbage, bytes);
        SeenSaves seen;
        EXPECT_FALSE(seen.remember(garbage));
        EXPECT_FALSE(seen.knows(garbage));
        EXPECT_EQ(seen.offerFor(garbage, settings), std::nullopt);
        // Written over a pilot whose save was seen.
        ASSERT_TRUE(pilotAfter(1).save(known));
        ASSERT_TRUE(seen.remember(known));
        writeFile(known, bytes);
        EXPECT_EQ(seen.offerFor(known, settings), std::nullopt);
    }

    // The edges of the game's lists, an empty name and one of 12 characters
    // of the code page are a pilot's.
    PilotImage edge = pilotAfter(1);
    edge.setText(L::PilotName, "Caf\xE9 Twelve");
    edge.setInt(L::Rank, 8);
    edge.setInt(L::Rating, 24);
    edge.setInt(L::KalidorCrescent, 6);
    const std::string edgeFile = dir.file("Edge.plt");
    ASSERT_TRUE(edge.save(edgeFile));
    SeenSaves seen;
    EXPECT_TRUE(seen.offerFor(edgeFile, settings));
    edge.setText(L::PilotName, "");
    ASSERT_TRUE(edge.save(edgeFile));
    EXPECT_TRUE(seen.offerFor(edgeFile, settings));
}

TEST(SeenSaves, TheGamesOwnPilotFilesLookLikePilots)
{
    MemorySettings settings;
    for (const char* name : {"PickledYoda0.plt", "XWA-TC-56.plt"}) {
        VANTREL_REQUIRE_REAL_PILOT(path, name);
        SeenSaves seen;
        EXPECT_TRUE(seen.remember(path)) << name;
        seen.forget(path);
        EXPECT_TRUE(seen.offerFor(path, settings)) << name;
    }
}

TEST(WatchedPilotFolders, GameFoldersThenTheFolderOfTheOpenDialogsStartEachOnce)
{
    TempDir home;
    const fs::path game = (home.path() / ".wine/drive_c/GOG Games/Star Wars - X-Wing Alliance").make_preferred();
    const fs::path pilots = home.path() / "pilots";
    fs::create_directories(game);
    fs::create_directories(pilots);
    ASSERT_TRUE(pilotAfter(1).save((pilots / "Wedge.plt").string()));
    const std::string h = home.path().string();

    EXPECT_EQ(gamefolders::watchedPilotFolders(h, ""), (std::vector<std::string>{game.string()}));
    // A file's folder, or the folder itself.
    const std::vector<std::string> both{game.string(), pilots.string()};
    EXPECT_EQ(gamefolders::watchedPilotFolders(h, (pilots / "Wedge.plt").string()), both);
    EXPECT_EQ(gamefolders::watchedPilotFolders(h, pilots.string() + "/"), both);
    // A file no longer there still names its folder.
    EXPECT_EQ(gamefolders::watchedPilotFolders(h, (pilots / "Gone.plt").string()), both);
    // The game folder once, however it is named.
    EXPECT_EQ(gamefolders::watchedPilotFolders(h, game.string() + "/../Star Wars - X-Wing Alliance"),
              (std::vector<std::string>{game.string()}));
    // Nothing for a place that is not there, or a bare file name.
    EXPECT_EQ(gamefolders::watchedPilotFolders(h, "/no/such/folder/x.plt"), (std::vector<std::string>{game.string()}));
    EXPECT_EQ(gamefolders::watchedPilotFolders(h, "Wedge.plt"), (std::vector<std::string>{game.string()}));
}

}  // namespace
