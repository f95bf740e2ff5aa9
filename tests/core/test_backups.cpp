// Backups of pilot files before a save: names of one file's own, pruning
// that never touches another file's, once per file and run, writers at the
// same moment, and a failed copy stopping the save.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

#include "TestSupport.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"
#include "core/platform/PlatformPaths.h"
#include "core/text/TextRules.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

// 2024-03-05 06:07:08 UTC
constexpr std::time_t kMoment = 1709618828;

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(fileio::toUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// A backup of the file as it is on disk now, as a save would make it.
FileResult backUp(const std::string& pilot, const std::string& backups, std::time_t now)
{
    return makeBackup(pilot, readFile(pilot), 0644, backups, now);
}

// What a save's hook does for the file as it is on disk now.
FileResult backUpOnce(BackupSession& session, const std::string& pilot)
{
    const std::string bytes = readFile(pilot);
    std::string made;
    return session.beforeFirstWrite()(PilotFileSnapshot{pilot, bytes, 0644}, made);
}

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PilotImage image;
        image.setText(layout::PilotName, "Wedge");
        image.setInt(layout::Rank, 3);
        pilot = dir.file("Wedge.plt");
        ASSERT_TRUE(image.save(pilot));
        original = readFile(pilot);
        backups = dir.file("data/vantrel/backups");
    }

    ScopedEnv utc{"TZ", "UTC"};
    TempDir dir;
    std::string pilot, original, backups;
};

TEST(BackupNames, CarryTheStemATagOfTheFullPathAndTheLocalTime)
{
    ScopedEnv utc("TZ", "UTC");
    // The tag is a digest of the path that is the same on every build.
    EXPECT_EQ(text::hex16(text::fnv1a64("c:\\games\\xwa\\wedge.plt")), "a49de756c4674ee5");
#ifdef _WIN32
    // Windows ignores letter case and takes either slash.
    EXPECT_EQ(backupOwnerKey("C:/Games/XWA/Wedge.plt"), "c:\\games\\xwa\\wedge.plt");
    EXPECT_EQ(backupOwnerTag("C:\\GAMES\\xwa\\WEDGE.plt"), "a49de756c4674ee5");
#else
    EXPECT_EQ(backupOwnerTag("/games/xwa/Wedge.plt"), "6cb533c6833c9993");
    EXPECT_EQ(backupFileName("/games/xwa/Wedge.plt", kMoment), "Wedge.6cb533c6833c9993.20240305-060708.plt");
#endif
    TempDir dir;
    fs::create_directories(dir.path() / "alpha");
    fs::create_directories(dir.path() / "bravo");
    const std::string alpha = dir.file("alpha/Wedge.plt");
    EXPECT_NE(backupOwnerTag(alpha), backupOwnerTag(dir.file("bravo/Wedge.plt")));
    EXPECT_EQ(backupOwnerTag(alpha), backupOwnerTag(dir.file("bravo/../alpha/./Wedge.plt")));
    for (const char* name : {"Red Two.PLT", "pilot.v2.plt"}) {
        const std::string made = backupFileName(dir.file(name), kMoment);
        EXPECT_EQ(made, fs::path(name).stem().string() + "." + backupOwnerTag(dir.file(name)) + ".20240305-060708.plt");
    }
    ScopedEnv berlin("TZ", "CET-1");
    EXPECT_EQ(backupFileName(alpha, kMoment), "Wedge." + backupOwnerTag(alpha) + ".20240305-070708.plt");
}

TEST_F(BackupTest, CopiesTheFileIntoANewFolderAndNumbersSecondsTaken)
{
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    writeFile(pilot, "changed");
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    const std::string base = "Wedge." + backupOwnerTag(pilot) + ".20240305-060708";
    EXPECT_EQ(namesIn(backups), (std::vector<std::string>{base + "-2.plt", base + "-3.plt", base + ".plt"}));
    EXPECT_EQ(readFile(backups + "/" + base + ".plt"), original);
    EXPECT_EQ(readFile(backups + "/" + base + "-3.plt"), "changed");
}

TEST_F(BackupTest, BackupsMadeAtTheSameMomentEachGetANameOfTheirOwn)
{
    // Many writers in one second, as several programs saving at once: none
    // is refused over a name another has just taken.
    constexpr int kWriters = 8;
    for (int round = 0; round < 3; ++round) {
        std::vector<FileResult> results(kWriters, FileResult::success());
        std::vector<std::string> made(kWriters);
        std::vector<std::thread> writers;
        for (int k = 0; k < kWriters; ++k)
            writers.emplace_back([&, k] {
                results[k] = makeBackup(pilot, original + std::to_string(k), 0644, backups, kMoment + round, &made[k]);
            });
        for (std::thread& writer : writers)
            writer.join();
        for (int k = 0; k < kWriters; ++k) {
            ASSERT_TRUE(results[k].ok()) << results[k].message();
            EXPECT_EQ(readFile(made[k]), original + std::to_string(k));
        }
    }
    EXPECT_EQ(listBackups(pilot, backups).size(), kBackupsKept);
}

TEST_F(BackupTest, KeepsTheTwentyNewestOfEachFile)
{
    fs::create_directories(backups);
    const std::string ours = "Wedge." + backupOwnerTag(pilot) + ".";
    // 25 older backups; within 20230106-120000 the numbers 9 and 10 must
    // sort as numbers, not as text.
    std::vector<std::string> fakes;
    for (int day = 1; day <= 4; ++day)
        fakes.push_back(ours + "2023010" + std::to_string(day) + "-120000.plt");
    fakes.push_back(ours + "20230106-120000.plt");
    fakes.push_back(ours + "20230106-120000-9.plt");
    fakes.push_back(ours + "20230106-120000-10.plt");
    for (int day = 7; day <= 24; ++day)
        fakes.push_back(ours + "202301" + std::string(day < 10 ? "0" : "") + std::to_string(day) + "-120000.plt");
    ASSERT_EQ(fakes.size(), 25u);
    // Another Wedge.plt's backups, and older ones named by the stem alone,
    // are never this file's to remove.
    const std::string theirs = "Wedge." + backupOwnerTag(dir.file("bravo/Wedge.plt")) + ".";
    const std::vector<std::string> others = {
        "Wedgeling-20200101-000000.plt", "Biggs-20200101-000000.plt",     "Wedge-notes.plt",
        "Wedge-20200101-000000.txt",     "Wedge-20200101-000000.plt",     "Wedge-20200102-000000-2.plt",
        theirs + "20200101-000000.plt",  "Wedge.0123.20200101-000000.plt"};
    for (const auto& name : fakes)
        writeFile(backups + "/" + name, "old");
    for (const auto& name : others)
        writeFile(backups + "/" + name, "other");

    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());

    std::vector<std::string> expected(fakes.begin() + 6, fakes.end());  // the six oldest are gone
    expected.push_back(ours + "20240305-060708.plt");
    expected.insert(expected.end(), others.begin(), others.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(backups), expected);
    EXPECT_TRUE(fs::exists(backups + "/" + ours + "20230106-120000-10.plt"));

    // The older ones named like the file are listed apart, oldest first.
    const auto older = listOlderBackups(pilot, backups);
    ASSERT_EQ(older.size(), 2u);
    EXPECT_EQ(fs::path(older[0].path), fs::path(backups) / "Wedge-20200101-000000.plt");
    EXPECT_EQ(older[1].date, "2020-01-02 00:00:00");
    EXPECT_EQ(listBackups(pilot, backups).size(), kBackupsKept);
}

TEST_F(BackupTest, TwoPilotsOfOneFileNameKeepHistoriesOfTheirOwn)
{
    fs::create_directories(dir.path() / "bravo");
    const std::string bravo = dir.file("bravo/Wedge.plt");
    PilotImage other;
    other.setText(layout::PilotName, "Biggs");
    ASSERT_TRUE(other.save(bravo));
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    // Many edits of the other pilot, each in a run of its own.
    for (int edit = 0; edit < 21; ++edit)
        ASSERT_TRUE(backUp(bravo, backups, kMoment + 60 + edit).ok());

    const auto alphas = listBackups(pilot, backups);
    ASSERT_EQ(alphas.size(), 1u);
    EXPECT_EQ(readFile(alphas[0].path), original);
    const auto bravos = listBackups(bravo, backups);
    EXPECT_EQ(bravos.size(), kBackupsKept);
    for (const BackupFile& backup : bravos)
        EXPECT_EQ(readFile(backup.path), other.bytes());
    EXPECT_TRUE(listOlderBackups(pilot, backups).empty());
    EXPECT_FALSE(isBackupOfAnotherFile(alphas[0].path, pilot));
    EXPECT_TRUE(isBackupOfAnotherFile(bravos[0].path, pilot));
    EXPECT_FALSE(isBackupOfAnotherFile(backups + "/Wedge-20200101-000000.plt", pilot));
}

TEST_F(BackupTest, AStemTooLongForABackupNameIsCutAtACharacter)
{
    // 240 bytes of two-byte characters: the name may hold 255.
    std::string stem;
    for (int k = 0; k < 120; ++k)
        stem += "\xc3\xa9";
    const std::string longPilot = dir.file(stem + ".plt");
    ASSERT_TRUE(fs::copy_file(fileio::toPath(pilot), fileio::toPath(longPilot)));
    std::string made;
    const FileResult backedUp = makeBackup(longPilot, original, 0644, backups, kMoment, &made);
    ASSERT_TRUE(backedUp.ok()) << backedUp.message();
    ASSERT_TRUE(backUp(longPilot, backups, kMoment).ok());  // and once more, numbered
    const std::string name = fileio::toUtf8(fileio::toPath(made).filename());
    EXPECT_LE(name.size() + 2, 255u);
    EXPECT_EQ(name, stem.substr(0, 200) + "." + backupOwnerTag(longPilot) + ".20240305-060708.plt");
    EXPECT_EQ(readFile(made), original);
    EXPECT_EQ(listBackups(longPilot, backups).size(), 2u);
    EXPECT_TRUE(listBackups(pilot, backups).empty());
}

TEST_F(BackupTest, TheNewBackupSurvivesOlderNamesFromTheFuture)
{
    fs::create_directories(backups);
    const std::string ours = "Wedge." + backupOwnerTag(pilot) + ".";
    for (int day = 10; day < 35; ++day)
        writeFile(backups + "/" + ours + "203001" + std::to_string(day) + "-000000.plt", "future");
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    const auto names = namesIn(backups);
    EXPECT_EQ(names.size(), kBackupsKept);
    EXPECT_NE(std::find(names.begin(), names.end(), ours + "20240305-060708.plt"), names.end());
}

TEST_F(BackupTest, ASessionBacksEachFileUpOnce)
{
    PilotImage other;
    other.setText(layout::PilotName, "Biggs");
    const std::string biggs = dir.file("Biggs.plt");
    ASSERT_TRUE(other.save(biggs));

    BackupSession session(backups, [] { return kMoment; });
    EXPECT_FALSE(session.hasBackedUp(pilot));
    EXPECT_TRUE(backUpOnce(session, pilot).ok());
    EXPECT_TRUE(session.hasBackedUp(pilot));
    EXPECT_TRUE(backUpOnce(session, pilot).ok());
    EXPECT_TRUE(backUpOnce(session, dir.path().string() + "/./Wedge.plt").ok());  // the same file
    EXPECT_TRUE(backUpOnce(session, biggs).ok());
    EXPECT_EQ(namesIn(backups),
              (std::vector<std::string>{backupFileName(biggs, kMoment), backupFileName(pilot, kMoment)}));

    BackupSession nextRun(backups, [] { return kMoment + 60; });
    EXPECT_TRUE(backUpOnce(nextRun, pilot).ok());
    EXPECT_EQ(namesIn(backups).size(), 3u);
}

TEST_F(BackupTest, SavingThreeTimesBacksUpTheFileAsItWasBeforeTheFirst)
{
    BackupSession session(backups, [] { return kMoment; });
    PilotRecord record;
    ASSERT_TRUE(ReadMission(record, pilot).ok());
    for (const char* name : {"Luke", "Wes", "Hobbie"}) {
        PilotDetailsEdit edit{name, 5, 6, 1, 0};
        const SaveResult saved = WritePilotDetails(pilot, record, edit, systemFileAccess(), session.beforeFirstWrite());
        EXPECT_TRUE(saved.ok()) << saved.message();
    }
    EXPECT_EQ(namesIn(backups), std::vector<std::string>{backupFileName(pilot, kMoment)});
    EXPECT_EQ(readFile(backups + "/" + backupFileName(pilot, kMoment)), original);
    EXPECT_EQ(readFile(pilot).substr(0, 7), std::string("Hobbie\0", 7));
}

TEST_F(BackupTest, ABackupThatCannotBeMadeStopsTheSave)
{
    fs::create_directories(dir.file("data/vantrel"));
    writeFile(backups, "a file where the folder should be");
    BackupSession session(backups);
    PilotRecord record;
    ASSERT_TRUE(ReadMission(record, pilot).ok());
    const PilotDetailsEdit edit{"Luke", 5, 6, 1, 3};

    const SaveResult refused = WritePilotDetails(pilot, record, edit, systemFileAccess(), session.beforeFirstWrite());
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.message().starts_with("Cannot back up " + pilot + " to " + backups + ": "))
        << refused.message();
    EXPECT_TRUE(refused.message().ends_with(". Nothing was written.")) << refused.message();
    EXPECT_EQ(readFile(pilot), original);
    EXPECT_FALSE(session.hasBackedUp(pilot));

    // Once the folder can be made, the next save backs up and writes.
    fs::remove(backups);
    EXPECT_TRUE(WritePilotDetails(pilot, record, edit, systemFileAccess(), session.beforeFirstWrite()).ok());
    EXPECT_EQ(namesIn(backups).size(), 1u);
    EXPECT_NE(readFile(pilot), original);
}

#ifndef _WIN32
TEST(BackupFolder, FollowsXdgDataHome)
{
    ScopedEnv home("HOME", "/home/pilot");
    {
        ScopedEnv data("XDG_DATA_HOME", "/data/");
        EXPECT_EQ(paths::backupDirectory(), "/data/vantrel/backups");
    }
    for (const char* ignored : {"", "relative/data"}) {
        ScopedEnv data("XDG_DATA_HOME", ignored);
        EXPECT_EQ(paths::backupDirectory(), "/home/pilot/.local/share/vantrel/backups") << ignored;
    }
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(paths::backupDirectory(), "/home/pilot/.local/share/vantrel/backups");
}

#endif

}  // namespace
