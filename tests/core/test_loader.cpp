// Loading pilot files: the size check, every field at its offset, both
// mission lists, and the failures the loader counts and reports.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstring>
#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "core/pilot/PilotLoader.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

class LoaderTest : public ::testing::Test {
protected:
    std::string save(const PilotImage& image, const std::string& name = "pilot.plt")
    {
        const std::string path = dir.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    TempDir dir;
    PilotRecord record;
};

TEST_F(LoaderTest, OnlyFilesOfExactlyTheRightLengthLoad)
{
    for (const std::int64_t length : {152075, 152077, 1000, 0}) {
        const std::string path = dir.file("odd.plt");
        writeFile(path, std::string(static_cast<std::size_t>(length), '\0'));
        const LoadResult result = ReadMission(record, path);
        EXPECT_EQ(result.LoadErrorCount, 1);
        ASSERT_EQ(result.messages.size(), 2u);
        EXPECT_EQ(result.messages[0],
                  "The file have wrong size. " + std::to_string(length) + " The plt file must be 152.076 bytes!");
        EXPECT_EQ(result.messages[1], "1 Errors while loading file! This may not be a XWA pilotfile.");
    }
    const LoadResult good = ReadMission(record, save(PilotImage{}));
    EXPECT_EQ(good.LoadErrorCount, 0);
    EXPECT_TRUE(good.messages.empty());
}

TEST_F(LoaderTest, AFailedSizeCheckChangesNothingButTheFileName)
{
    PilotImage image;
    image.setText(L::PilotName, "Wedge");
    image.setInt(L::TODScoreA, 777);
    image.setMission(L::CampaignMissionRecords, 0, {1, 1, 10, 20, 30});
    ASSERT_TRUE(ReadMission(record, save(image)).ok());
    const PilotRecord before = record;

    const std::string shortFile = dir.file("short.plt");
    writeFile(shortFile, std::string(152075, 'x'));
    ReadMission(record, shortFile);
    PilotRecord expected = before;
    expected.PilotFileName = shortFile;
    EXPECT_EQ(record, expected);
}

TEST_F(LoaderTest, APathThatCannotBeOpenedCountsAsLengthMinusOneAndTellsItsCause)
{
    // The boxes' texts stay as they are; the cause says what the path is.
    const std::filesystem::path folder = dir.path() / "folder.plt";
    std::filesystem::create_directory(folder);
#ifndef _WIN32
    std::filesystem::create_symlink("gone.plt", dir.path() / "dangling.plt");
    std::filesystem::create_symlink("circle.plt", dir.path() / "circle.plt");
    ASSERT_EQ(::mkfifo(dir.file("pipe.plt").c_str(), 0644), 0);
#endif
    writeFile(dir.file("file"), "x");
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("missing.plt"), "no such file"},
        {folder.string(), "is a folder"},
#ifndef _WIN32
        {dir.file("dangling.plt"), "a link to a missing file"},
        {dir.file("circle.plt"), "a link that leads round in a circle"},
        {dir.file("pipe.plt"), "is not a regular file"},
#else
        {"NUL", "is not a regular file"},
        {"CON", "is not a regular file"},
#endif
        {dir.file("file/inside.plt"), "no such file"},
    };
    for (const auto& [path, cause] : cases) {
        SCOPED_TRACE(path);
        const LoadResult result = ReadMission(record, path);
        EXPECT_EQ(result.LoadErrorCount, 2);
        ASSERT_EQ(result.messages.size(), 2u);
        EXPECT_EQ(result.messages[0], "The file have wrong size. -1 The plt file must be 152.076 bytes!");
        EXPECT_EQ(result.messages[1], "2 Errors while loading file! This may not be a XWA pilotfile.");
        EXPECT_EQ(result.cause, cause);
        EXPECT_EQ(result.failureTexts(), std::vector<std::string>{cause});
        EXPECT_EQ(record.PilotFileName, path);
    }

    // A file that opens has no cause: its failure is told by the boxes' texts.
    writeFile(dir.file("short.plt"), "abc");
    const LoadResult shortFile = ReadMission(record, dir.file("short.plt"));
    EXPECT_EQ(shortFile.cause, "");
    EXPECT_EQ(shortFile.failureTexts(), shortFile.messages);
    EXPECT_EQ(ReadMission(record, save(PilotImage{})).cause, "");

    // An open that fails without telling why.
    FailingFileAccess failing;
    failing.failOn[FailingFileAccess::Op::Open] = {1};
    EXPECT_EQ(ReadMission(record, save(PilotImage{}), failing).cause, "cannot be opened");
}

#ifndef _WIN32
TEST_F(LoaderTest, AFileWithoutReadPermissionIsToldAsSuch)
{
    // Root reads every file: the load then runs as the unprivileged user.
    const std::string path = save(PilotImage{});
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::optional<std::string> cause = resultWithin(20, [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return std::string("cannot become another user");
        PilotRecord loaded;
        const LoadResult result = ReadMission(loaded, path);
        return std::to_string(result.LoadErrorCount) + " " + result.cause;
    });
    EXPECT_EQ(cause, std::optional<std::string>("2 permission denied"));
}
#endif

TEST_F(LoaderTest, AReadOnlyPilotFileCanBeViewed)
{
    const std::string path = save(PilotImage{});
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_TRUE(ReadMission(record, path).ok());
}

// Offsets written literally here, independent of the layout table, so that a
// wrong entry in the table shows up.
TEST_F(LoaderTest, EveryScalarFieldComesFromItsOwnOffset)
{
    struct Case {
        std::uint32_t offset;
        std::int32_t PilotRecord::*member;
        std::int32_t stored;
        std::int32_t expected;
    };
    const Case cases[] = {
        {154, &PilotRecord::ToNextRating, 55, 55},
        {158, &PilotRecord::TODScoreA, 1001, 1001},
        {162, &PilotRecord::AzzScoreA, 1002, 1002},
        {166, &PilotRecord::SimScoreA, 1003, 1003},
        {69278, &PilotRecord::Rating, 7, 7},
        {69282, &PilotRecord::Rank, 3, 3},
        {69286, &PilotRecord::KalidorCrescent, 4, 4},
        {70726, &PilotRecord::TODScoreB, 1004, 1004},
        {70734, &PilotRecord::TODBonus, 1234, 123},
        {70738, &PilotRecord::TODScoreC, 1005, 1005},
        {70742, &PilotRecord::TODScoreD, 1006, 1006},
        {70766, &PilotRecord::TODTotalKills, 88, 88},
        {111310, &PilotRecord::SimScoreB, 1007, 1007},
        {111318, &PilotRecord::SimBonus, -15, -1},
        {111322, &PilotRecord::SimScoreC, 1008, 1008},
        {111334, &PilotRecord::SimScoreD, 1009, 1009},
        {130990, &PilotRecord::CraftLossesTotal, 21, 21},
        {131002, &PilotRecord::LossesFromCollisions, 22, 22},
        {131014, &PilotRecord::LossesToStarships, 23, 23},
        {131026, &PilotRecord::LossesToMines, 24, 24},
        {131378, &PilotRecord::LossesToNonPlayerCraft, 25, 25},
        {131602, &PilotRecord::AzzScoreB, 1010, 1010},
        {131610, &PilotRecord::AzzBonus, 255, 25},
        {131614, &PilotRecord::AzzScoreC, 1011, 1011},
        {131622, &PilotRecord::AzzScoreD, 1012, 1012},
        {131646, &PilotRecord::AzzTotalKills, 99, 99},
    };
    PilotImage image;
    for (const Case& c : cases)
        image.setIntAt(c.offset, c.stored);
    ASSERT_TRUE(ReadMission(record, save(image)).ok());
    for (const Case& c : cases)
        EXPECT_EQ(record.*(c.member), c.expected) << "offset " << c.offset;
}

TEST_F(LoaderTest, TablesAndTextsComeFromTheirOffsets)
{
    struct Table {
        std::uint32_t offset;
        const std::int32_t* (*first)(const PilotRecord&);
    };
    PilotImage image;
    const std::uint32_t craftTables[] = {210, 70794, 2258, 4306, 115474, 6354, 76938, 8402, 139862, 10450};
    for (std::size_t t = 0; t < std::size(craftTables); ++t) {
        image.setIntAt(craftTables[t], static_cast<std::int32_t>(100 + t));
        image.setIntAt(craftTables[t] + 4 * 230, static_cast<std::int32_t>(200 + t));
    }
    image.setIntAt(130006 + 4 * 24, 31);
    image.setIntAt(131230, 32);
    for (int k = 0; k < 31; ++k) {
        image.bytes()[74 + k] = static_cast<char>('a' + k % 26);
        image.bytes()[106 + k] = static_cast<char>('A' + k % 26);
    }
    ASSERT_TRUE(ReadMission(record, save(image)).ok());
    const CraftTable* tables[] = {&record.TODKillsA,   &record.TODKillsB,   &record.AzzKills,    &record.SimKillsA,
                                  &record.SimKillsB,   &record.TODAssistsA, &record.TODAssistsB, &record.AzzAssistsA,
                                  &record.AzzAssistsB, &record.SimAssists};
    for (std::size_t t = 0; t < std::size(tables); ++t) {
        EXPECT_EQ((*tables[t])[0], static_cast<std::int32_t>(100 + t)) << t;
        EXPECT_EQ((*tables[t])[230], static_cast<std::int32_t>(200 + t)) << t;
    }
    EXPECT_EQ(record.PlayerKillsByRating[24], 31);
    EXPECT_EQ(record.KilledByPlayersByRating[0], 32);
    EXPECT_EQ(fieldText(record.MPJoinGameName), "abcdefghijklmnopqrstuvwxyzabcde");
    EXPECT_EQ(fieldText(record.MPHostGameName).size(), 31u);
}

TEST_F(LoaderTest, PilotNamesRunToTheFirstZeroByteOrTheWholeField)
{
    PilotImage image;
    image.setText(L::PilotName, "ThirteenChars");
    LoadResult result = ReadMission(record, save(image));
    EXPECT_EQ(result.pilotNameText, "ThirteenChars");
    EXPECT_EQ(fieldText(record.PilotName), "ThirteenChars");

    image.bytes()[0] = '\0';
    result = ReadMission(record, save(image));
    EXPECT_EQ(result.pilotNameText, "");

    image.setText(L::PilotName, std::string("Luk\xE9", 4));  // e acute in the game's code page
    result = ReadMission(record, save(image));
    EXPECT_EQ(result.pilotNameText, "Luk\xC3\xA9");
}

TEST_F(LoaderTest, AListEndsAtTheFirstZeroStatusWhateverElseThatRecordHolds)
{
    PilotImage image;
    image.setMission(L::CampaignMissionRecords, 0, {7, 1, 100, 60, 50});
    image.setMission(L::CampaignMissionRecords, 1, {7, -3, 200, 61, 1234});
    image.setMission(L::CampaignMissionRecords, 2, {9, 0, 999, 999, 999});  // terminator with junk
    image.setMission(L::CampaignMissionRecords, 3, {9, 1, 500, 5, 5});      // never read
    const LoadResult result = ReadMission(record, save(image));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(record.CampaignMissionCount, 2);
    EXPECT_EQ(record.CampaignMissions[1], (MissionEntry{7, -3, 200, 61, 123}));
    EXPECT_EQ(record.CampaignMissions[2], MissionEntry{});
    EXPECT_EQ(record.CampaignCalculatedTotal, 100 + 5 + 200 + 123);
    EXPECT_EQ(result.activeMissionIndex, 2);
    EXPECT_EQ(result.getTo, 2);
}

TEST_F(LoaderTest, BonusesTruncateTowardZero)
{
    PilotImage image;
    image.setMission(L::CampaignMissionRecords, 0, {0, 1, 1000, 0, 255});
    image.setMission(L::CampaignMissionRecords, 1, {0, 1, 0, 0, -15});
    ASSERT_TRUE(ReadMission(record, save(image)).ok());
    EXPECT_EQ(record.CampaignMissions[0].MissionBonus, 25);
    EXPECT_EQ(record.CampaignMissions[1].MissionBonus, -1);
    EXPECT_EQ(record.CampaignCalculatedTotal, 1000 + 25 - 1);
}

TEST_F(LoaderTest, FullListsStopAfter255RecordsWithoutReadingOn)
{
    PilotImage image;
    for (std::uint32_t i = 0; i < 255; ++i) {
        image.setMission(L::CampaignMissionRecords, i, {0, 1, 1, 0, 0});
        image.setMission(L::SimMissionRecords, i, {0, 1, 2, 0, 0});
    }
    const LoadResult result = ReadMission(record, save(image));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(record.CampaignMissionCount, 255);
    EXPECT_EQ(record.SimMissionCount, 255);
    // The campaign list's 256th record would be the first simulator record.
    EXPECT_EQ(record.CampaignCalculatedTotal, 255);
    EXPECT_EQ(record.CampaignMissions[255], MissionEntry{});
    EXPECT_EQ(record.SimMissions[255], MissionEntry{});
    EXPECT_EQ(result.activeMissionIndex, -1);
    EXPECT_EQ(result.getTo, 255);
}

TEST_F(LoaderTest, EachLoadEmptiesTheMissionTablesFirst)
{
    PilotImage many;
    for (std::uint32_t i = 0; i < 40; ++i)
        many.setMission(L::CampaignMissionRecords, i, {1, 1, 10, 10, 10});
    ASSERT_TRUE(ReadMission(record, save(many, "many.plt")).ok());
    PilotImage few;
    for (std::uint32_t i = 0; i < 5; ++i)
        few.setMission(L::CampaignMissionRecords, i, {1, 1, 20, 20, 20});
    ASSERT_TRUE(ReadMission(record, save(few, "few.plt")).ok());
    EXPECT_EQ(record.CampaignMissionCount, 5);
    for (std::size_t slot = 5; slot < kMissionSlots; ++slot)
        EXPECT_EQ(record.CampaignMissions[slot], MissionEntry{}) << slot;
}

TEST_F(LoaderTest, SelectionsOutsideTheTablesSelectNothing)
{
    PilotImage image;
    image.setInt(L::Rank, 9);
    image.setInt(L::Rating, -1);
    image.setInt(L::KalidorCrescent, 0);
    LoadResult result = ReadMission(record, save(image));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.rankIndex, -1);
    EXPECT_EQ(result.ratingIndex, -1);
    EXPECT_EQ(result.kalidorIndex, 0);
    EXPECT_EQ(result.activeMissionIndex, 0);
    EXPECT_EQ(record.Rank, 9);  // kept as stored

    image.setInt(L::Rank, 8);
    image.setInt(L::Rating, 24);
    image.setInt(L::KalidorCrescent, 7);
    result = ReadMission(record, save(image));
    EXPECT_EQ(result.rankIndex, 8);
    EXPECT_EQ(result.ratingIndex, 24);
    EXPECT_EQ(result.kalidorIndex, -1);
}

TEST_F(LoaderTest, EveryFailedStepIsCountedAndTheLoadGoesOn)
{
    const std::string path = save(PilotImage{});
    struct Case {
        FailingFileAccess::Op op;
        std::vector<int> which;
        int expectedErrors;
    };
    const Case cases[] = {
        {FailingFileAccess::Op::Read, {1}, 1},      // the name, read straight after opening
        {FailingFileAccess::Op::Read, {2, 30}, 2},  // two field reads
        {FailingFileAccess::Op::Seek, {5}, 1},      // a positioning
        {FailingFileAccess::Op::Seek, {-1}, 42},    // 40 field positionings and both list starts
        {FailingFileAccess::Op::Read, {-1}, 43},    // 41 field reads and both lists' first record
        {FailingFileAccess::Op::Open, {1}, 2},      // cannot open: wrong size -1, then the count
    };
    for (const Case& c : cases) {
        FailingFileAccess files;
        files.failOn[c.op] = c.which;
        const LoadResult result = ReadMission(record, path, files);
        EXPECT_EQ(result.LoadErrorCount, c.expectedErrors);
        ASSERT_FALSE(result.messages.empty());
        EXPECT_EQ(result.messages.back(),
                  std::to_string(c.expectedErrors) + " Errors while loading file! This may not be a XWA pilotfile.");
    }
}

TEST_F(LoaderTest, AFailedListReadCountsOnceAndKeepsTheRecordsBeforeIt)
{
    PilotImage image;
    for (std::uint32_t i = 0; i < 3; ++i)
        image.setMission(L::CampaignMissionRecords, i, {0, 1, 10, 0, 0});
    const std::string path = save(image);
    FailingFileAccess counting;
    ASSERT_TRUE(ReadMission(record, path, counting).ok());
    const int readsBeforeSecondCampaignRecord = counting.counts[FailingFileAccess::Op::Read] - 2;

    FailingFileAccess files;
    files.failOn[FailingFileAccess::Op::Read] = {readsBeforeSecondCampaignRecord};
    const LoadResult result = ReadMission(record, path, files);
    EXPECT_EQ(result.LoadErrorCount, 1);
    EXPECT_EQ(record.CampaignMissionCount, 1);
}

// The real file system with willRead() left out: every read goes to the file
// (or its whole-file copy) as it would without the loader's hint.
class UnhintedFiles final : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        auto inner = systemFileAccess().open(path, mode);
        return inner ? std::make_unique<File>(std::move(inner)) : nullptr;
    }

private:
    class File final : public OpenFile {
    public:
        explicit File(std::unique_ptr<OpenFile> inner) : inner_(std::move(inner)) {}
        std::int64_t size() override { return inner_->size(); }
        bool seek(std::int64_t offset) override { return inner_->seek(offset); }
        bool read(void* buffer, std::size_t count) override { return inner_->read(buffer, count); }
        bool write(const void* buffer, std::size_t count) override { return inner_->write(buffer, count); }
        bool atEnd() override { return inner_->atEnd(); }
        bool flush() override { return inner_->flush(); }

    private:
        std::unique_ptr<OpenFile> inner_;
    };
};

std::string randomBytes(std::mt19937& random, std::size_t count)
{
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Files of random bytes whose mission lists end at random places, loaded one
// after the other into the same record: the ranges fetched ahead must give
// the very bytes a read of the file gives, and nothing of the file before.
TEST_F(LoaderTest, FetchedAheadOrReadPieceByPieceTheRecordIsTheSame)
{
    std::mt19937 random(20240812);
    UnhintedFiles unhinted;
    PilotRecord plain;
    for (int round = 0; round < 40; ++round) {
        PilotImage image;
        image.bytes() = randomBytes(random, image.bytes().size());
        for (const auto& list : {L::CampaignMissionRecords, L::SimMissionRecords}) {
            const std::uint32_t length = random() % 300;
            if (length < L::kMissionListCapacity)
                image.setIntAt(L::missionRecordOffset(list, length) + L::record::kStatus, 0);
        }
        const std::string path = save(image, "pilot" + std::to_string(round % 3) + ".plt");
        const LoadResult fast = ReadMission(record, path);
        const LoadResult slow = ReadMission(plain, path, unhinted);
        ASSERT_TRUE(fast.ok()) << round;
        EXPECT_EQ(record, plain) << round;
        EXPECT_EQ(fast.pilotNameText, slow.pilotNameText);
        EXPECT_EQ(fast.rankIndex, slow.rankIndex);
        EXPECT_EQ(fast.activeMissionIndex, slow.activeMissionIndex);
        EXPECT_EQ(fast.getTo, slow.getTo);
    }
}

// Reads after willRead() give the file's bytes wherever they fall: inside a
// fetched range, across its edge, between ranges; a file cut short after
// opening fails exactly the reads that pass its new end.
TEST(FileReadAhead, ReadsGiveTheFilesBytesWhereverTheyFall)
{
    TempDir dir;
    std::mt19937 random(7);
    const std::string path = dir.file("bytes.plt");
    const std::string bytes = randomBytes(random, static_cast<std::size_t>(L::kPilotFileSize));
    writeFile(path, bytes);
    const auto readAt = [](OpenFile& file, std::int64_t offset, std::size_t count) -> std::optional<std::string> {
        std::string out(count, '\0');
        if (!file.seek(offset) || !file.read(out.data(), count))
            return std::nullopt;
        return out;
    };
    const auto expected = [&](std::int64_t offset, std::size_t count) {
        return std::optional<std::string>(bytes.substr(static_cast<std::size_t>(offset), count));
    };

    {
        auto file = systemFileAccess().open(path, OpenMode::ReadOnly);
        ASSERT_TRUE(file);
        const ByteRange ranges[] = {{20000, 30}, {120, 200}, {100, 50}, {5000, 10}, {152070, 40}};
        file->willRead(ranges);
        const std::pair<std::int64_t, std::size_t> reads[] = {
            {100, 50},   {130, 100},  {300, 20},   {310, 20}, {5000, 10},   {4995, 10},
            {6000, 924}, {20010, 20}, {20020, 20}, {0, 13},   {152066, 10},
        };
        for (const auto& [offset, count] : reads)
            EXPECT_EQ(readAt(*file, offset, count), expected(offset, count)) << offset << "+" << count;
        EXPECT_EQ(readAt(*file, 152070, 10), std::nullopt);
    }
    {
        auto file = systemFileAccess().open(path, OpenMode::ReadOnly);
        ASSERT_TRUE(file);
        std::filesystem::resize_file(path, 60000);
        const ByteRange ranges[] = {{0, 1000}, {59990, 20}, {100000, 8}};
        file->willRead(ranges);
        EXPECT_EQ(readAt(*file, 0, 1000), expected(0, 1000));
        EXPECT_EQ(readAt(*file, 59990, 10), expected(59990, 10));
        EXPECT_EQ(readAt(*file, 59995, 10), std::nullopt);
        EXPECT_EQ(readAt(*file, 100000, 8), std::nullopt);
    }
}

TEST(RealPilots, LoadWithoutErrors)
{
    VANTREL_REQUIRE_REAL_PILOT(tc56, "XWA-TC-56.plt");
    VANTREL_REQUIRE_REAL_PILOT(yoda, "PickledYoda0.plt");
    PilotRecord record;
    LoadResult result = ReadMission(record, tc56);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(record.CampaignMissionCount, 58);
    EXPECT_EQ(result.getTo, 58);

    result = ReadMission(record, yoda);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(record.CampaignMissionCount, 0);
    EXPECT_EQ(record.TODScoreA, record.TODScoreB);
}

}  // namespace
