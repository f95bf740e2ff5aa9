// Backups of pilot files before a save: names, pruning, once per file and
// run, and a failed copy stopping the save.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>

#include "TestSupport.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"
#include "core/platform/PlatformPaths.h"

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

TEST_F(BackupTest, NamesCarryTheFileNameAndTheLocalTime)
{
    EXPECT_EQ(backupFileName("/games/xwa/Wedge.plt", kMoment), "Wedge-20240305-060708.plt");
    EXPECT_EQ(backupFileName("Red Two.PLT", kMoment), "Red Two-20240305-060708.plt");
    EXPECT_EQ(backupFileName("pilot.v2.plt", kMoment), "pilot.v2-20240305-060708.plt");
    ScopedEnv berlin("TZ", "CET-1");
    EXPECT_EQ(backupFileName("Wedge.plt", kMoment), "Wedge-20240305-070708.plt");
}

TEST_F(BackupTest, CopiesTheFileIntoANewFolderAndNumbersSecondsTaken)
{
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    writeFile(pilot, "changed");
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    EXPECT_EQ(namesIn(backups), (std::vector<std::string>{"Wedge-20240305-060708-2.plt", "Wedge-20240305-060708-3.plt",
                                                          "Wedge-20240305-060708.plt"}));
    EXPECT_EQ(readFile(backups + "/Wedge-20240305-060708.plt"), original);
    EXPECT_EQ(readFile(backups + "/Wedge-20240305-060708-3.plt"), "changed");
}

TEST_F(BackupTest, KeepsTheTwentyNewestOfEachFileName)
{
    fs::create_directories(backups);
    // 25 older backups; within 20230106-120000 the numbers 9 and 10 must
    // sort as numbers, not as text.
    std::vector<std::string> fakes;
    for (int day = 1; day <= 4; ++day)
        fakes.push_back("Wedge-2023010" + std::to_string(day) + "-120000.plt");
    fakes.push_back("Wedge-20230106-120000.plt");
    fakes.push_back("Wedge-20230106-120000-9.plt");
    fakes.push_back("Wedge-20230106-120000-10.plt");
    for (int day = 7; day <= 24; ++day)
        fakes.push_back("Wedge-202301" + std::string(day < 10 ? "0" : "") + std::to_string(day) + "-120000.plt");
    ASSERT_EQ(fakes.size(), 25u);
    const std::vector<std::string> others = {"Wedgeling-20200101-000000.plt", "Biggs-20200101-000000.plt",
                                             "Wedge-notes.plt", "Wedge-20200101-000000.txt"};
    for (const auto& name : fakes)
        writeFile(backups + "/" + name, "old");
    for (const auto& name : others)
        writeFile(backups + "/" + name, "other");

    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());

    std::vector<std::string> expected(fakes.begin() + 6, fakes.end());  // the six oldest are gone
    expected.push_back("Wedge-20240305-060708.plt");
    expected.insert(expected.end(), others.begin(), others.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(backups), expected);
    EXPECT_TRUE(fs::exists(backups + "/Wedge-20230106-120000-10.plt"));
}

TEST_F(BackupTest, TheNewBackupSurvivesOlderNamesFromTheFuture)
{
    fs::create_directories(backups);
    for (int day = 10; day < 35; ++day)
        writeFile(backups + "/Wedge-203001" + std::to_string(day) + "-000000.plt", "future");
    ASSERT_TRUE(backUp(pilot, backups, kMoment).ok());
    const auto names = namesIn(backups);
    EXPECT_EQ(names.size(), kBackupsKept);
    EXPECT_NE(std::find(names.begin(), names.end(), "Wedge-20240305-060708.plt"), names.end());
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
    EXPECT_EQ(namesIn(backups), (std::vector<std::string>{"Biggs-20240305-060708.plt", "Wedge-20240305-060708.plt"}));

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
    EXPECT_EQ(namesIn(backups), std::vector<std::string>{"Wedge-20240305-060708.plt"});
    EXPECT_EQ(readFile(backups + "/Wedge-20240305-060708.plt"), original);
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
    EXPECT_TRUE(refused.message().starts_with("Cannot back up " + pilot + " to " + backups + ": ")) << refused.message();
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
