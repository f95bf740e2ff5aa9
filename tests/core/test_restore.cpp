// Restoring a backup: the file as it was is always kept, a killed restore
// leaves the old file or the restored one, and a file the game may be
// writing, a backup that is no pilot file or another pilot's backup is left
// alone, and the backup put back stays.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotRestore.h"
#include "tests/support/PilotImage.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::system_clock;

// A pilot file and one backup of it that differ, and the moment the file
// last changed.
struct RestoreCase {
    TempDir dir;
    std::string pilot = dir.file("Wedge.plt");
    std::string backups = dir.file("backups");
    std::string backup;
    PilotImage now = scrambledPilot(5);
    PilotImage old = scrambledPilot(2);

    RestoreCase()
    {
        EXPECT_TRUE(makeBackup(pilot, old.bytes(), 0640, backups, 1'600'000'000, &backup));
        EXPECT_TRUE(now.save(pilot));
    }
    Clock::time_point changed() const
    {
        return Clock::time_point(
            std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(fileIdentity(pilot)->mtimeNs)));
    }
    Clock::time_point later() const { return changed() + std::chrono::seconds(3); }
    std::vector<std::string> backupFiles() const
    {
        std::vector<std::string> names;
        for (const BackupFile& b : listBackups(pilot, backups))
            names.push_back(b.path);
        return names;
    }
};

#ifndef _WIN32
// Replaces through the real file system, but stops the process dead once
// the new bytes are flushed and before the rename.
class KilledBeforeRename final : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        return systemFileAccess().open(path, mode);
    }
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override
    {
        ReplaceOptions killed = options;
        killed.beforeRename = [] { ::raise(SIGKILL); };
        return FileAccess::replace(path, bytes, killed);
    }
};
#endif

// Another program writes the file between the restore's read and its replace.
class ChangedMeanwhile final : public FileAccess {
public:
    explicit ChangedMeanwhile(std::string bytes) : bytes_(std::move(bytes)) {}
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        return systemFileAccess().open(path, mode);
    }
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes_;
        return FileAccess::replace(path, bytes, options);
    }

private:
    std::string bytes_;
};

TEST(Restore, PutsTheBackupBackAndKeepsTheFileAsItWasWithItsMode)
{
    RestoreCase s;
#ifndef _WIN32
    ASSERT_EQ(::chmod(s.pilot.c_str(), 0604), 0);
#endif
    const RestoreResult done = restorePilotBackup(s.pilot, s.backup, s.backups, s.later());
    ASSERT_TRUE(done.ok()) << done.message();
    EXPECT_EQ(readFile(s.pilot), s.old.bytes());
    ASSERT_FALSE(done.backupFile.empty());
    EXPECT_EQ(readFile(done.backupFile), s.now.bytes());
#ifndef _WIN32
    EXPECT_EQ(fs::status(done.backupFile).permissions() & fs::perms::all, fs::perms(0604));
    EXPECT_EQ(fs::status(s.pilot).permissions() & fs::perms::all, fs::perms(0604));
#endif
    EXPECT_EQ(done.message(),
              "Restored " + s.pilot + " from " + s.backup + ". The file as it was is kept as " + done.backupFile + ".");
    EXPECT_EQ(s.backupFiles(), (std::vector<std::string>{s.backup, done.backupFile}));
    EXPECT_EQ(done.restored, fileIdentity(s.pilot));

    // Restoring what the file holds already writes nothing and keeps no copy.
    const RestoreResult again = restorePilotBackup(s.pilot, s.backup, s.backups, s.later() + std::chrono::hours(1));
    EXPECT_TRUE(again.ok());
    EXPECT_TRUE(again.backupFile.empty());
    EXPECT_EQ(s.backupFiles().size(), 2u);
}

TEST(Restore, IsRefusedForAFileChangedInTheLastTwoSecondsAndForABackupThatIsNoPilotFile)
{
    RestoreCase s;
    for (const auto offset :
         {std::chrono::milliseconds(0), std::chrono::milliseconds(1999), std::chrono::milliseconds(-1500)}) {
        const RestoreResult refused = restorePilotBackup(s.pilot, s.backup, s.backups, s.changed() + offset);
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.cause(), kChangedJustNowCause);
        EXPECT_EQ(refused.message(),
                  "Cannot restore " + s.pilot + ": " + std::string(kChangedJustNowCause) + ". Nothing was written.");
    }
    EXPECT_TRUE(restorePilotBackup(s.pilot, s.backup, s.backups, s.changed() + std::chrono::milliseconds(2000)).ok());
    ASSERT_TRUE(s.now.save(s.pilot));

    const std::string shortBackup = s.dir.file("backups/Wedge-20200101-000000.plt");
    std::string bytes = s.old.bytes();
    bytes.pop_back();
    std::ofstream(shortBackup, std::ios::binary) << bytes;
    const std::string folder = s.dir.file("backups/a-folder.plt");
    fs::create_directory(folder);
    const std::size_t before = s.backupFiles().size();
    for (const std::string& notAPilot : {shortBackup, folder, s.dir.file("missing.plt")}) {
        const RestoreResult refused = restorePilotBackup(s.pilot, notAPilot, s.backups, s.later());
        EXPECT_FALSE(refused.ok()) << notAPilot;
        EXPECT_TRUE(refused.message().starts_with("Cannot restore " + s.pilot + ": " + notAPilot)) << refused.message();
        EXPECT_TRUE(refused.message().ends_with("Nothing was written.")) << refused.message();
    }
    EXPECT_EQ(readFile(s.pilot), s.now.bytes());
    EXPECT_EQ(s.backupFiles().size(), before);
}

TEST(Restore, BytesOfAPilotsSizeThatAreNoPilotAreRefusedWithTheReason)
{
    RestoreCase s;
    const auto sized = [](std::string bytes) {
        bytes.resize(layout::kPilotFileSize, ' ');
        return bytes;
    };
    std::mt19937 random(3);
    std::string noise(layout::kPilotFileSize, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random());
    PilotImage badRank = s.old;
    badRank.setInt(layout::Rank, 99);
    PilotImage badRating = s.old;
    badRating.setInt(layout::Rating, -1);
    PilotImage badKalidor = s.old;
    badKalidor.setInt(layout::KalidorCrescent, 12345);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {noise, ""},  // whichever field gives it away first
        {std::string(layout::kPilotFileSize, '\0'), "it holds only zero bytes"},
        {sized("Notes of the squadron leader\nnot a pilot\n"), "its pilot name is not text ending in a zero byte"},
        {badRank.bytes(), "its rank 99 is none of the game's ranks"},
        {badRating.bytes(), "its rating -1 is none of the game's ratings"},
        {badKalidor.bytes(), "its Kalidor Crescent 12345 is none of the game's"},
    };
    const std::size_t before = s.backupFiles().size();
    for (const auto& [bytes, why] : cases) {
        const std::string notAPilot = s.dir.file("notapilot.plt");
        writeFile(notAPilot, bytes);
        const RestoreResult refused = restorePilotBackup(s.pilot, notAPilot, s.backups, s.later());
        EXPECT_FALSE(refused.ok()) << why;
        const std::string start = "Cannot restore " + s.pilot + ": " + notAPilot + " is not a pilot file (";
        if (why.empty())
            EXPECT_TRUE(refused.message().starts_with(start)) << refused.message();
        else
            EXPECT_EQ(refused.message(), start + why + "). Nothing was written.");
        EXPECT_EQ(readFile(s.pilot), s.now.bytes());
        EXPECT_EQ(s.backupFiles().size(), before);
    }
}

TEST(Restore, ABackupOfAnotherPilotFileOfTheSameNameIsRefused)
{
    RestoreCase s;
    fs::create_directories(s.dir.path() / "bravo");
    const std::string bravo = s.dir.file("bravo/Wedge.plt");
    std::string theirs;
    ASSERT_TRUE(makeBackup(bravo, scrambledPilot(7).bytes(), 0644, s.backups, 1'600'000'100, &theirs));
    const RestoreResult refused = restorePilotBackup(s.pilot, theirs, s.backups, s.later());
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(),
              "Cannot restore " + s.pilot + ": " + theirs + " is a backup of another pilot file. Nothing was written.");
    EXPECT_EQ(readFile(s.pilot), s.now.bytes());
    EXPECT_EQ(s.backupFiles(), std::vector<std::string>{s.backup});

    // One named by the stem alone may be this file's: it is put back.
    const std::string older = s.dir.file("backups/Wedge-20200101-000000.plt");
    ASSERT_TRUE(fs::copy_file(theirs, older));
    EXPECT_TRUE(restorePilotBackup(s.pilot, older, s.backups, s.later()).ok());
    EXPECT_EQ(readFile(s.pilot), scrambledPilot(7).bytes());
}

TEST(Restore, TheBackupPutBackIsNeverPrunedByTheCopyOfTheFileAsItWas)
{
    RestoreCase s;
    // The oldest of a full set of backups is chosen.
    for (int k = 1; k < static_cast<int>(kBackupsKept); ++k)
        ASSERT_TRUE(makeBackup(s.pilot, scrambledPilot(k % 4).bytes(), 0644, s.backups, 1'600'000'000 + 60 * k));
    ASSERT_EQ(s.backupFiles().size(), kBackupsKept);
    ASSERT_EQ(s.backupFiles().front(), s.backup);
    const RestoreResult done = restorePilotBackup(s.pilot, s.backup, s.backups, s.later());
    ASSERT_TRUE(done.ok()) << done.message();
    EXPECT_EQ(readFile(s.backup), s.old.bytes());
    EXPECT_EQ(readFile(s.pilot), s.old.bytes());
    EXPECT_EQ(readFile(done.backupFile), s.now.bytes());
}

TEST(Restore, AFileChangedWhileTheRestoreRunsIsLeftAsTheOtherProgramWroteIt)
{
    RestoreCase s;
    const std::string gameSave = scrambledPilot(9).bytes();
    ChangedMeanwhile game(gameSave);
    const RestoreResult refused = restorePilotBackup(s.pilot, s.backup, s.backups, s.later(), game);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.cause(), kChangedMeanwhileCause);
    EXPECT_EQ(readFile(s.pilot), gameSave);
    // The copy of the file as the restore found it is kept all the same.
    ASSERT_FALSE(refused.backupFile.empty());
    EXPECT_EQ(readFile(refused.backupFile), s.now.bytes());
}

#ifndef _WIN32
TEST(Restore, AKilledRestoreLeavesTheOldFileAndItsCopy)
{
    RestoreCase s;
    const auto when = s.later();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KilledBeforeRename files;
        (void)restorePilotBackup(s.pilot, s.backup, s.backups, when, files);
        ::_exit(0);  // not reached
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(readFile(s.pilot), s.now.bytes());
    const auto kept = s.backupFiles();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(readFile(kept.back()), s.now.bytes());

    // The next restore goes through.
    const RestoreResult done = restorePilotBackup(s.pilot, s.backup, s.backups, when + std::chrono::seconds(1));
    ASSERT_TRUE(done.ok()) << done.message();
    EXPECT_EQ(readFile(s.pilot), s.old.bytes());
}
#endif

TEST(Restore, AMissingPilotFileIsCreatedFromTheBackup)
{
    RestoreCase s;
    fs::remove(s.pilot);
    const RestoreResult done = restorePilotBackup(s.pilot, s.backup, s.backups, Clock::now());
    ASSERT_TRUE(done.ok()) << done.message();
    EXPECT_TRUE(done.backupFile.empty());
    EXPECT_EQ(readFile(s.pilot), s.old.bytes());
#ifndef _WIN32
    EXPECT_EQ(fs::status(s.pilot).permissions() & fs::perms::all, fs::perms(0640));
#endif
}

}  // namespace
