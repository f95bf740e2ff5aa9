// What watching the game's pilot folders decides without a window: when a
// save the game writes is complete, what is offered for it, and which
// folders are watched.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>

#include "TestSupport.h"
#include "core/files/SettleTracker.h"
#include "core/pilot/PilotLayout.h"
#include "core/platform/GameFolders.h"
#include "core/reports/SaveOffer.h"
#include "core/text/WholeNumber.h"

using namespace vantrel;
using namespace vantrel::testing;
using namespace std::chrono_literals;
namespace L = vantrel::layout;
namespace fs = std::filesystem;

namespace {

// Files as a test says they are, at a clock the test moves.
struct FakeFolder {
    std::map<std::string, FileIdentity> files;
    SettleTracker::Clock::time_point now{};
    std::int64_t writes = 0;

    // The file written to `size` bytes: a new modification time.
    std::optional<FileIdentity> write(const std::string& path, std::int64_t size)
    {
        FileIdentity& file = files[path];
        file.inode = 7;
        file.size = size;
        file.mtimeNs = ++writes;
        return file;
    }
    std::optional<FileIdentity> look(const std::string& path) const
    {
        const auto it = files.find(path);
        return it == files.end() ? std::nullopt : std::optional<FileIdentity>(it->second);
    }
    SettleTracker::Look looker() const
    {
        return [this](const std::string& path) { return look(path); };
    }
};

constexpr std::int64_t kComplete = L::kPilotFileSize;
constexpr auto kQuiet = 500ms;

TEST(SettleTracker, SaveWrittenInTwoStepsSettlesOnceWhateverThePause)
{
    for (const auto pause : {100ms, 400ms, 900ms, 3000ms}) {
        SCOPED_TRACE(pause.count());
        FakeFolder folder;
        SettleTracker tracker(kComplete, kQuiet);
        tracker.known("Tester.plt", std::nullopt);
        std::vector<std::string> settled;
        const auto runUntil = [&](SettleTracker::Clock::duration until) {
            // Decisions at every moment the tracker asks for, and in between.
            for (const auto end = folder.now + until; folder.now < end; folder.now += 50ms) {
                const auto now = tracker.settle(folder.now, folder.looker());
                settled.insert(settled.end(), now.begin(), now.end());
            }
        };

        tracker.noteChange("Tester.plt", folder.write("Tester.plt", kComplete / 2), folder.now);
        runUntil(pause);
        EXPECT_TRUE(settled.empty());
        tracker.noteChange("Tester.plt", folder.write("Tester.plt", kComplete), folder.now);
        runUntil(kQuiet - 50ms);
        EXPECT_TRUE(settled.empty()) << "settled before the quiet period was over";
        runUntil(5s);
        EXPECT_EQ(settled, std::vector<std::string>{"Tester.plt"});
        EXPECT_FALSE(tracker.hasPending());
        EXPECT_EQ(tracker.nextDecision(), std::nullopt);
    }
}

TEST(SettleTracker, OnlyACompleteFileIsReturnedAndOnlyAChangeCounts)
{
    FakeFolder folder;
    SettleTracker tracker(kComplete, kQuiet);
    const auto complete = folder.write("a.plt", kComplete);
    tracker.known("a.plt", complete);

    // Told of a change that is none (the folder changed for another file).
    tracker.noteChange("a.plt", complete, folder.now);
    EXPECT_FALSE(tracker.hasPending());

    // A file cut short, one grown too long, one removed: settled, never returned.
    for (const std::int64_t size : {kComplete - 1, kComplete + 1, std::int64_t{0}}) {
        tracker.noteChange("a.plt", folder.write("a.plt", size), folder.now);
        folder.now += kQuiet;
        EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
        EXPECT_FALSE(tracker.hasPending());
    }
    folder.files.erase("a.plt");
    tracker.noteChange("a.plt", std::nullopt, folder.now);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});

    // Written again in full, it is returned once.
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    ASSERT_EQ(tracker.nextDecision(), folder.now + kQuiet);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
}

TEST(SettleTracker, AWriteNobodyToldOfStartsTheQuietPeriodAfresh)
{
    FakeFolder folder;
    SettleTracker tracker(kComplete, kQuiet);
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    // Written again without a notice (notices may be merged or lost).
    folder.now += 400ms;
    folder.write("a.plt", kComplete);
    folder.now += 200ms;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{});
    EXPECT_EQ(tracker.nextDecision(), folder.now + kQuiet);
    folder.now += kQuiet;
    EXPECT_EQ(tracker.settle(folder.now, folder.looker()), std::vector<std::string>{"a.plt"});

    // A repeated notice of the same state keeps the period running.
    tracker.noteChange("a.plt", folder.write("a.plt", kComplete), folder.now);
    const auto due = folder.now + kQuiet;
    folder.now += 300ms;
    tracker.noteChange("a.plt", folder.look("a.plt"), folder.now);
    EXPECT_EQ(tracker.nextDecision(), due);
}

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

    // A FIFO named like a pilot: refused at once, not waited on for a writer.
    const std::string fifo = dir.file("Fifo.plt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(seen.remember(fifo));
    EXPECT_EQ(seen.offerFor(fifo, settings), std::nullopt);

    // A known file that turns unreadable is no offer, and is still known.
    const std::string known = dir.file("Known.plt");
    ASSERT_TRUE(pilotAfter(1).save(known));
    ASSERT_TRUE(seen.remember(known));
    writeFile(known, "cut");
    EXPECT_EQ(seen.offerFor(known, settings), std::nullopt);
    EXPECT_TRUE(seen.knows(known));
}

TEST(WatchedPilotFolders, GameFoldersThenTheFolderOfTheOpenDialogsStartEachOnce)
{
    TempDir home;
    const fs::path game = home.path() / ".wine/drive_c/GOG Games/Star Wars - X-Wing Alliance";
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
