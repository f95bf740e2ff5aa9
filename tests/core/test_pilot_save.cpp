// Saving edited pilot details: exactly the promised bytes change, and
// failures are reported instead of "Update complete.".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "TestSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// Offsets written literally, independent of the layout table.
constexpr std::uint32_t kName = 0, kRating = 69278, kRank = 69282, kKalidor = 69286, kCampaign = 44286;

// Which byte offsets a save with this edit may change.
std::vector<bool> promisedBytes(const PilotDetailsEdit& edit)
{
    std::vector<bool> may(152076, false);
    for (std::uint32_t k = 0; edit.name && k < 13; ++k)
        may[kName + k] = true;
    const auto mark4 = [&](std::uint32_t at) {
        for (std::uint32_t k = 0; k < 4; ++k)
            may[at + k] = true;
    };
    if (edit.rankIndex >= 0)
        mark4(kRank);
    if (edit.ratingIndex >= 0)
        mark4(kRating);
    if (edit.kalidorIndex >= 0)
        mark4(kKalidor);
    for (int i = 0; i < std::min(edit.activeMissionIndex, 254); ++i)
        may[kCampaign + 48 * static_cast<std::uint32_t>(i) + 16] = true;
    return may;
}

class PilotSaveTest : public ::testing::Test {
protected:
    // A pilot with three missions and junk everywhere the program does not read.
    void SetUp() override
    {
        std::mt19937 random(7);
        for (auto& byte : image.bytes())
            byte = static_cast<char>(random());
        image.setText(layout::PilotName, "Kestrel");
        image.setIntAt(kRank, 2);
        image.setIntAt(kRating, 5);
        image.setIntAt(kKalidor, 1);
        for (std::uint32_t i = 0; i < 3; ++i)
            image.setMission(layout::CampaignMissionRecords, i, {0x1234 + static_cast<int>(i), -7, 100, 200, 1234});
        image.setIntAt(kCampaign + 48 * 3 + 16, 0);  // end of the list; its other bytes stay junk
        path = dir.file("pilot.plt");
        ASSERT_TRUE(image.save(path));
        loaded = ReadMission(record, path);
        ASSERT_TRUE(loaded.ok());
        edit = {loaded.pilotNameText, loaded.rankIndex, loaded.ratingIndex, loaded.kalidorIndex,
                loaded.activeMissionIndex};
    }

    TempDir dir;
    PilotImage image;
    std::string path;
    PilotRecord record;
    LoadResult loaded;
    PilotDetailsEdit edit;
};

TEST_F(PilotSaveTest, NamesAreZeroFilledWithTheTerminatorOnlyWhileThereIsRoom)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", std::string(13, '\0')},
        {"Wedge", std::string("Wedge") + std::string(8, '\0')},
        {"TwelveCharsX", std::string("TwelveCharsX") + '\0'},
        {"ThirteenChars", "ThirteenChars"},
        {"Luk\xC3\xA9", std::string("Luk\xE9") + std::string(9, '\0')},
    };
    for (const auto& [name, bytes] : cases) {
        edit.name = name;
        EXPECT_TRUE(WritePilotDetails(path, record, edit).ok());
        EXPECT_EQ(readFile(path).substr(0, 13), bytes) << name;
    }
}

TEST_F(PilotSaveTest, DetailsLandAtTheirOffsetsAndNewMissionsOnlyGainTheirStatus)
{
    for (std::uint32_t i : {4u, 5u})
        image.setIntAt(kCampaign + 48 * i + 16, 0);
    ASSERT_TRUE(image.save(path));
    ASSERT_TRUE(ReadMission(record, path).ok());
    edit.rankIndex = 8;
    edit.ratingIndex = 24;
    edit.kalidorIndex = 6;
    edit.activeMissionIndex = 5;
    const std::string before = readFile(path);
    const SaveResult result = WritePilotDetails(path, record, edit);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.message(), "Update complete.");

    PilotImage after;
    after.bytes() = readFile(path);
    ASSERT_EQ(after.bytes().size(), 152076u);
    EXPECT_EQ(after.intAt(kRank), 8);
    EXPECT_EQ(after.intAt(kRating), 24);
    EXPECT_EQ(after.intAt(kKalidor), 6);
    EXPECT_EQ(record.Rank, 8);
    // The three loaded records come back byte for byte: status -7 and a bonus
    // of 1234 (not a multiple of ten) included.
    EXPECT_EQ(after.bytes().substr(kCampaign, 48 * 3), before.substr(kCampaign, 48 * 3));
    // The two missions in between are completed now and keep the file's other bytes.
    for (std::uint32_t i = 3; i < 5; ++i) {
        const std::uint32_t base = kCampaign + 48 * i;
        EXPECT_EQ(after.intAt(base + 16), 1) << i;
        std::string expected = before.substr(base, 48);
        expected[16] = 1;
        EXPECT_EQ(after.bytes().substr(base, 48), expected) << i;
    }
    // Records from the active mission on are not touched.
    EXPECT_TRUE(after.bytes().substr(kCampaign + 48 * 5, 48 * 250) == before.substr(kCampaign + 48 * 5, 48 * 250));

    // The next load sees five completed missions, the first three as stored.
    PilotRecord reloaded;
    ASSERT_TRUE(ReadMission(reloaded, path).ok());
    EXPECT_EQ(reloaded.CampaignMissionCount, 5);
    EXPECT_EQ(reloaded.CampaignMissions[0].MissionBonus, 123);
}

TEST_F(PilotSaveTest, ASaveWithoutChangesLeavesEveryByteAndTheFileItself)
{
    // A record the game marked with status 2 and a bonus of 198.1 points.
    image.setMission(layout::CampaignMissionRecords, 1, {0x77, 2, 2490, 61, 1981});
    ASSERT_TRUE(image.save(path));
    loaded = ReadMission(record, path);
    ASSERT_TRUE(loaded.ok());
    const auto inodeBefore = std::filesystem::status(path).permissions();
    const auto identityBefore = fileIdentity(path);

    edit = {};  // no option given: nothing to write
    edit.activeMissionIndex = loaded.activeMissionIndex;
    EXPECT_TRUE(WritePilotDetails(path, record, edit).ok());
    EXPECT_EQ(readFile(path), image.bytes());
    EXPECT_EQ(fileIdentity(path), identityBefore);
    EXPECT_EQ(std::filesystem::status(path).permissions(), inodeBefore);

    // The loaded name written back as it was shown.
    edit.name = loaded.pilotNameText;
    EXPECT_TRUE(WritePilotDetails(path, record, edit).ok());
    EXPECT_EQ(readFile(path), image.bytes());
}

TEST_F(PilotSaveTest, WithoutANameTheThirteenNameBytesStayAsTheFileHasThem)
{
    image.setText(layout::PilotName, std::string("Kes\0junk\x01zz", 12));
    ASSERT_TRUE(image.save(path));
    ASSERT_TRUE(ReadMission(record, path).ok());
    PilotDetailsEdit rankOnly;
    rankOnly.rankIndex = 4;
    ASSERT_TRUE(WritePilotDetails(path, record, rankOnly).ok());
    EXPECT_EQ(readFile(path).substr(0, 13), image.bytes().substr(0, 13));
}

TEST_F(PilotSaveTest, MissionsTheFileAlreadyCountsAreNeverRewritten)
{
    // As in a real club pilot: an empty first record, real scores further on.
    image.setIntAt(kCampaign + 16, 0);
    for (std::uint32_t i : {3u, 4u, 5u})
        image.setMission(layout::CampaignMissionRecords, i, {0x10, 1, 2490 - static_cast<int>(i), 300, 4321});
    ASSERT_TRUE(image.save(path));
    loaded = ReadMission(record, path);
    ASSERT_TRUE(loaded.ok());
    ASSERT_EQ(record.CampaignMissionCount, 0);

    edit.activeMissionIndex = 5;  // "06"
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    const std::string after = readFile(path);
    for (std::uint32_t i = 0; i < 255; ++i) {
        const std::uint32_t base = kCampaign + 48 * i;
        std::string expected = image.bytes().substr(base, 48);
        if (i < 5 && image.intAt(base + 16) == 0)
            expected[16] = 1;
        EXPECT_EQ(after.substr(base, 48), expected) << "record " << i;
    }
}

TEST(PilotSaveRealFile, ChoosingALaterActiveMissionKeepsTheScoresTheFileHolds)
{
    VANTREL_REQUIRE_REAL_PILOT(real, "PickledYoda0.plt");
    TempDir dir;
    const std::string path = dir.file("PickledYoda0.plt");
    const std::string original = readFile(real);
    writeFile(path, original);
    PilotRecord record;
    const LoadResult loaded = ReadMission(record, path);
    ASSERT_TRUE(loaded.ok());
    PilotDetailsEdit edit;
    edit.activeMissionIndex = 5;
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    const std::string after = readFile(path);
    ASSERT_EQ(after.size(), original.size());
    for (std::size_t k = 0; k < after.size(); ++k) {
        const bool statusByte = k >= kCampaign && k < kCampaign + 48 * 5 && (k - kCampaign) % 48 == 16;
        if (!statusByte) {
            ASSERT_EQ(after[k], original[k]) << "offset " << k;
        }
    }
}

TEST_F(PilotSaveTest, NoActiveMissionOrTheFirstWritesNoRecord)
{
    for (const int index : {0, -1}) {
        const std::string before = readFile(path);
        edit.activeMissionIndex = index;
        EXPECT_TRUE(WritePilotDetails(path, record, edit).ok());
        EXPECT_EQ(readFile(path).substr(kCampaign, 48 * 255), before.substr(kCampaign, 48 * 255)) << index;
    }
}

TEST_F(PilotSaveTest, ABoxWithoutSelectionKeepsTheFilesValue)
{
    image.setIntAt(kRank, 9);  // no row: the box loads without a selection
    ASSERT_TRUE(image.save(path));
    loaded = ReadMission(record, path);
    EXPECT_EQ(loaded.rankIndex, -1);
    edit.rankIndex = loaded.rankIndex;
    edit.ratingIndex = -1;
    edit.kalidorIndex = -1;
    EXPECT_TRUE(WritePilotDetails(path, record, edit).ok());
    PilotImage after;
    after.bytes() = readFile(path);
    EXPECT_EQ(after.intAt(kRank), 9);
    EXPECT_EQ(after.intAt(kRating), 5);
    EXPECT_EQ(after.intAt(kKalidor), 1);
}

TEST_F(PilotSaveTest, SavingTwiceWritesTheSameBytes)
{
    edit.activeMissionIndex = 4;
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    const std::string once = readFile(path);
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    EXPECT_EQ(readFile(path), once);
}

TEST_F(PilotSaveTest, AFileThatChangedUnderfootIsNotWritten)
{
    // Truncated since the load.
    writeFile(path, image.bytes().substr(0, 152075));
    SaveResult result = WritePilotDetails(path, record, edit);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(),
              "Cannot update " + path + ": its length is 152075 bytes, not 152.076. Nothing was written.");
    EXPECT_EQ(readFile(path), image.bytes().substr(0, 152075));

    // Replaced by a folder.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    result = WritePilotDetails(path, record, edit);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(),
              "Cannot update " + path + ": its length is -1 bytes, not 152.076. Nothing was written.");
}

TEST_F(PilotSaveTest, AFailedStepLeavesTheFileAsItWasAndSaysWhy)
{
    edit.name = "Changed";
    const std::string before = readFile(path);
    {
        FailingFileAccess cannotOpen;
        cannotOpen.failOn[FailingFileAccess::Op::Open] = {1};
        const SaveResult result = WritePilotDetails(path, record, edit, cannotOpen);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.message(), "Cannot open " + path + " for writing. Nothing was written.");
    }
    {
        FailingFileAccess cannotRead;
        cannotRead.failOn[FailingFileAccess::Op::Read] = {1};
        const SaveResult result = WritePilotDetails(path, record, edit, cannotRead);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.message().starts_with("Cannot update " + path + ": ")) << result.message();
        EXPECT_TRUE(result.message().ends_with(". Nothing was written.")) << result.message();
    }
    {
        FailingFileAccess diskFull;
        diskFull.replaceFailure = "No space left on device";
        const SaveResult result = WritePilotDetails(path, record, edit, diskFull);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.message(), "Cannot update " + path + ": No space left on device. Nothing was written.");
    }
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(record.PilotName[0], 'K');  // the record keeps what the file holds
}

TEST_F(PilotSaveTest, AFileWithoutWriteBitsIsLeftAloneEvenForRoot)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    edit.name = "Changed";
    std::string copyMade;
    bool hookRan = false;
    const SaveResult result =
        WritePilotDetails(path, record, edit, systemFileAccess(), [&](const PilotFileSnapshot&, std::string&) {
            hookRan = true;
            return FileResult::success();
        });
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "Cannot open " + path + " for writing. Nothing was written.");
    EXPECT_FALSE(hookRan);  // no backup of a file that is not going to change
    EXPECT_EQ(readFile(path), image.bytes());
}

#ifndef _WIN32  // links need privileges there
TEST_F(PilotSaveTest, ALinkIsFollowedAndTheModeKept)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string link = dir.file("link.plt");
    std::filesystem::create_symlink(path, link);
    edit.name = "Linked";
    ASSERT_TRUE(WritePilotDetails(link, record, edit).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(path).substr(0, 7), std::string("Linked\0", 7));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
#endif

// Another program at work on the same file between the save's read and its
// replace: the save must not put its bytes over the other program's.
TEST_F(PilotSaveTest, AFileChangedWhileSavingIsNotOverwritten)
{
    PilotImage other;
    other.setText(layout::PilotName, "Other");
    other.setIntAt(kRank, 7);
    const std::string otherPath = dir.file("other.plt");
    ASSERT_TRUE(other.save(otherPath));
    edit.name = "Mine";
    edit.rankIndex = 1;

    struct Case {
        const char* what;
        std::function<void()> meanwhile;
        std::string expectedBytes;
    };
    const Case cases[] = {
        {"renamed over", [&] { writeFile(path, readFile(otherPath)); }, other.bytes()},
        {"truncated", [&] { std::filesystem::resize_file(path, 69290); }, {}},
        {"replaced",
         [&] {
             const std::string fresh = dir.file("fresh.plt");
             ASSERT_TRUE(other.save(fresh));
             std::filesystem::rename(fresh, path);
         },
         other.bytes()},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(image.save(path));
        ASSERT_TRUE(ReadMission(record, path).ok());
        FailingFileAccess files;
        files.beforeReplace = c.meanwhile;
        const SaveResult result = WritePilotDetails(path, record, edit, files);
        EXPECT_FALSE(result.ok()) << c.what;
        EXPECT_EQ(result.message(),
                  "Cannot update " + path + ": the file was changed by another program meanwhile. Nothing was written.")
            << c.what;
        const std::string now = readFile(path);
        if (!c.expectedBytes.empty())
            EXPECT_EQ(now, c.expectedBytes) << c.what;
        else
            EXPECT_EQ(now.size(), 69290u) << c.what;
    }
}

TEST_F(PilotSaveTest, ARefusalBeforeTheFirstWriteWritesNothing)
{
    const std::string before = readFile(path);
    edit.name = "Changed";
    const SaveResult result =
        WritePilotDetails(path, record, edit, systemFileAccess(),
                          [](const PilotFileSnapshot&, std::string&) { return FileResult::refused("no backup"); });
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "no backup");
    EXPECT_EQ(readFile(path), before);
}

// Random pilots and random edits: every byte outside the promised ranges
// stays as it was, and the file keeps its length.
TEST(PilotSaveProperty, OnlyPromisedBytesEverChange)
{
    TempDir dir;
    std::mt19937 random(2026);
    for (int round = 0; round < 60; ++round) {
        PilotImage image;
        for (auto& byte : image.bytes())
            byte = static_cast<char>(random());
        const std::uint32_t missions = random() % 256;
        for (std::uint32_t i = 0; i < 255; ++i) {
            const std::uint32_t statusAt = kCampaign + 48 * i + 16;
            if (i == missions) {
                image.setIntAt(statusAt, 0);
            } else if (image.intAt(statusAt) == 0) {
                image.setIntAt(statusAt, 1);
            }
        }
        const std::string path = dir.file("random.plt");
        ASSERT_TRUE(image.save(path));
        PilotRecord record;
        const LoadResult loaded = ReadMission(record, path);
        ASSERT_TRUE(loaded.ok());

        PilotDetailsEdit edit;
        if (random() % 4 != 0)
            edit.name = std::string(random() % 13, static_cast<char>('a' + random() % 26));
        edit.rankIndex = static_cast<int>(random() % 10) - 1;
        edit.ratingIndex = static_cast<int>(random() % 26) - 1;
        edit.kalidorIndex = static_cast<int>(random() % 8) - 1;
        edit.activeMissionIndex = static_cast<int>(random() % 256) - 1;
        ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());

        const std::string after = readFile(path);
        ASSERT_EQ(after.size(), image.bytes().size());
        const std::vector<bool> may = promisedBytes(edit);
        for (std::size_t k = 0; k < after.size(); ++k) {
            if (!may[k]) {
                ASSERT_EQ(after[k], image.bytes()[k]) << "round " << round << " offset " << k;
            }
        }
        // A status byte changes only from a status of 0, and only to 1.
        for (std::uint32_t i = 0; i < 255; ++i) {
            const std::uint32_t at = kCampaign + 48 * i + 16;
            if (after[at] != image.bytes()[at]) {
                ASSERT_EQ(image.intAt(at), 0) << "round " << round << " record " << i;
                ASSERT_EQ(after[at], 1);
            }
        }
    }
}

}  // namespace
