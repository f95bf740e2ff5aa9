// Saving edited pilot details: exactly the promised bytes change, and
// failures are reported instead of "Update complete.".
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "pilotfile/PilotLoader.h"
#include "pilotfile/PilotSave.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// Offsets written literally, independent of the layout table.
constexpr std::uint32_t kName = 0, kRating = 69278, kRank = 69282, kKalidor = 69286, kCampaign = 44286;

// Which byte offsets a save with this edit may change.
std::vector<bool> promisedBytes(const PilotDetailsEdit& edit)
{
    std::vector<bool> may(152076, false);
    for (std::uint32_t k = 0; k < 13; ++k)
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
    for (int i = 0; i < edit.activeMissionIndex; ++i) {
        const std::uint32_t base = kCampaign + 48 * static_cast<std::uint32_t>(i);
        may[base] = true;
        may[base + 16] = true;
        mark4(base + 24);
        mark4(base + 28);
        mark4(base + 40);
    }
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

TEST_F(PilotSaveTest, namesAreZeroFilledWithTheTerminatorOnlyWhileThereIsRoom)
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
        EXPECT_TRUE(WritePilotDetails(path, record, edit).ok);
        EXPECT_EQ(readFile(path).substr(0, 13), bytes) << name;
    }
}

TEST_F(PilotSaveTest, detailsAndRecordsLandAtTheirOffsets)
{
    edit.rankIndex = 8;
    edit.ratingIndex = 24;
    edit.kalidorIndex = 6;
    edit.activeMissionIndex = 5;
    const std::string before = readFile(path);
    const SaveResult result = WritePilotDetails(path, record, edit);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.message, "Update complete.");

    PilotImage after;
    after.bytes() = readFile(path);
    ASSERT_EQ(after.bytes().size(), 152076u);
    EXPECT_EQ(after.intAt(kRank), 8);
    EXPECT_EQ(after.intAt(kRating), 24);
    EXPECT_EQ(after.intAt(kKalidor), 6);
    for (std::uint32_t i = 0; i < 5; ++i) {
        const std::uint32_t base = kCampaign + 48 * i;
        const bool loadedRecord = i < 3;
        EXPECT_EQ(static_cast<unsigned char>(after.bytes()[base]), loadedRecord ? 0x34 + i : 0) << i;
        EXPECT_EQ(after.bytes()[base + 16], 1) << i;
        EXPECT_EQ(after.intAt(base + 24), loadedRecord ? 100 : 0);
        EXPECT_EQ(after.intAt(base + 28), loadedRecord ? 200 : 0);
        EXPECT_EQ(after.intAt(base + 40), loadedRecord ? 1230 : 0);  // the bonus comes back in whole points
        // The bytes the program keeps no value for are the file's own.
        for (std::uint32_t k : {1u, 2u, 3u, 15u, 17u, 18u, 19u, 20u, 23u, 32u, 39u, 44u, 47u})
            EXPECT_EQ(after.bytes()[base + k], before[base + k]) << i << "+" << k;
    }
    // Records from the active mission on are not touched.
    EXPECT_TRUE(after.bytes().substr(kCampaign + 48 * 5, 48 * 250) == before.substr(kCampaign + 48 * 5, 48 * 250));
}

TEST_F(PilotSaveTest, noActiveMissionOrTheFirstWritesNoRecord)
{
    for (const int index : {0, -1}) {
        const std::string before = readFile(path);
        edit.activeMissionIndex = index;
        EXPECT_TRUE(WritePilotDetails(path, record, edit).ok);
        EXPECT_EQ(readFile(path).substr(kCampaign, 48 * 255), before.substr(kCampaign, 48 * 255)) << index;
    }
}

TEST_F(PilotSaveTest, aBoxWithoutSelectionKeepsTheFilesValue)
{
    image.setIntAt(kRank, 9);  // no row: the box loads without a selection
    ASSERT_TRUE(image.save(path));
    loaded = ReadMission(record, path);
    EXPECT_EQ(loaded.rankIndex, -1);
    edit.rankIndex = loaded.rankIndex;
    edit.ratingIndex = -1;
    edit.kalidorIndex = -1;
    EXPECT_TRUE(WritePilotDetails(path, record, edit).ok);
    PilotImage after;
    after.bytes() = readFile(path);
    EXPECT_EQ(after.intAt(kRank), 9);
    EXPECT_EQ(after.intAt(kRating), 5);
    EXPECT_EQ(after.intAt(kKalidor), 1);
}

TEST_F(PilotSaveTest, savingTwiceWritesTheSameBytes)
{
    edit.activeMissionIndex = 4;
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok);
    const std::string once = readFile(path);
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok);
    EXPECT_EQ(readFile(path), once);
}

TEST_F(PilotSaveTest, aFileThatChangedUnderfootIsNotWritten)
{
    // Truncated since the load.
    writeFile(path, image.bytes().substr(0, 152075));
    SaveResult result = WritePilotDetails(path, record, edit);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Cannot update " + path + ": its length is 152075 bytes, not 152.076. Nothing was written.");
    EXPECT_EQ(readFile(path), image.bytes().substr(0, 152075));

    // Replaced by a folder.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    result = WritePilotDetails(path, record, edit);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Cannot update " + path + ": its length is -1 bytes, not 152.076. Nothing was written.");
}

TEST_F(PilotSaveTest, failedStepsAreCountedAndReported)
{
    edit.activeMissionIndex = 3;
    struct Case {
        FailingFileAccess::Op op;
        std::vector<int> which;
        int failures;
    };
    const Case cases[] = {
        {FailingFileAccess::Op::Write, {1}, 1},     // the name
        {FailingFileAccess::Op::Write, {2, 3}, 2},  // rank and rating
        {FailingFileAccess::Op::Open, {2}, 1},      // the reopen before the rank
        {FailingFileAccess::Op::Open, {5}, 1},      // the reopen before the records
        {FailingFileAccess::Op::Seek, {1}, 1},      // positioning for the name
        {FailingFileAccess::Op::Read, {2}, 1},      // a record's own bytes
        {FailingFileAccess::Op::Write, {-1}, 7},    // every write: name, three details, three records
    };
    for (const Case& c : cases) {
        FailingFileAccess files;
        files.failOn[c.op] = c.which;
        const SaveResult result = WritePilotDetails(path, record, edit, files);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.failedSteps, c.failures);
        EXPECT_EQ(result.message, "Update failed: " + std::to_string(c.failures) + " errors while writing " + path +
                                      ". The file may be incomplete.");
    }
    FailingFileAccess cannotOpen;
    cannotOpen.failOn[FailingFileAccess::Op::Open] = {1};
    const std::string before = readFile(path);
    const SaveResult result = WritePilotDetails(path, record, edit, cannotOpen);
    EXPECT_EQ(result.message, "Cannot open " + path + " for writing. Nothing was written.");
    EXPECT_EQ(readFile(path), before);
}

TEST_F(PilotSaveTest, aRefusalBeforeTheFirstWriteWritesNothing)
{
    const std::string before = readFile(path);
    edit.name = "Changed";
    const SaveResult result = WritePilotDetails(path, record, edit, systemFileAccess(),
                                                [](const std::string&) { return std::string("no backup"); });
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "no backup");
    EXPECT_EQ(readFile(path), before);
}

// Random pilots and random edits: every byte outside the promised ranges
// stays as it was, and the file keeps its length.
TEST(PilotSaveProperty, onlyPromisedBytesEverChange)
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
        edit.name = std::string(random() % 13, static_cast<char>('a' + random() % 26));
        edit.rankIndex = static_cast<int>(random() % 10) - 1;
        edit.ratingIndex = static_cast<int>(random() % 26) - 1;
        edit.kalidorIndex = static_cast<int>(random() % 8) - 1;
        edit.activeMissionIndex = static_cast<int>(random() % 256) - 1;
        ASSERT_TRUE(WritePilotDetails(path, record, edit).ok);

        const std::string after = readFile(path);
        ASSERT_EQ(after.size(), image.bytes().size());
        const std::vector<bool> may = promisedBytes(edit);
        for (std::size_t k = 0; k < after.size(); ++k) {
            if (!may[k]) {
                ASSERT_EQ(after[k], image.bytes()[k]) << "round " << round << " offset " << k;
            }
        }
    }
}

}  // namespace
