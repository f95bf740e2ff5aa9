// The journal of the program's own saves: a save of edited details and a
// restore are recorded as they left the file; the game's later save of the
// same file, a copy of it elsewhere and a damaged journal are not taken for
// one; the journal stays bounded.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "TestSupport.h"
#include "core/files/AtomicFile.h"
#include "core/files/FileLock.h"
#include "core/pilot/OwnSaves.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotRestore.h"
#include "core/pilot/PilotSave.h"
#include "tests/support/PilotImage.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

TEST(OwnSaves, ASaveAndARestoreAreTheProgramsOwnUntilAnotherProgramWritesTheFile)
{
    TempDir dir;
    const OwnSaves journal(dir.file("data/own-saves.txt"));
    const std::string path = dir.file("Wedge.plt");
    PilotImage image = scrambledPilot(3);
    image.setText(layout::PilotName, "Wedge");
    ASSERT_TRUE(image.save(path));
    EXPECT_FALSE(journal.holds(path));  // the game's save, or no one's we know

    PilotRecord record;
    LoadResult loaded = ReadMission(record, path);
    ASSERT_TRUE(loaded.ok());
    PilotDetailsEdit edit;
    edit.name = "Antilles";
    ASSERT_TRUE(WritePilotDetails(path, record, edit, systemFileAccess(), {}, nullptr, &journal));
    EXPECT_TRUE(journal.holds(path));
    EXPECT_TRUE(fs::exists(dir.file("data/own-saves.txt")));  // the folder is made when missing

    // A copy of it elsewhere is a file of its own.
    fs::copy_file(path, dir.file("Copy.plt"));
    EXPECT_FALSE(journal.holds(dir.file("Copy.plt")));

    // The same bytes with only the time touched are still ours.
    const std::string ours = readFile(path);
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
    EXPECT_TRUE(journal.holds(path));

    // The game then saves over it, in place or by a new file: no longer ours.
    std::string gameSave = ours;
    gameSave[100] ^= 1;
    writeFile(path, gameSave);
    EXPECT_FALSE(journal.holds(path));
    ASSERT_TRUE(replaceFileAtomically(path, ours));  // its bytes as we wrote them, but a file we never wrote
    EXPECT_FALSE(journal.holds(path));

    // A restore is recorded as well.
    std::string backup;
    ASSERT_TRUE(makeBackup(path, image.bytes(), 0644, dir.file("backups"), 1'600'000'000, &backup));
    const auto later = std::chrono::system_clock::now() + std::chrono::seconds(10);
    const RestoreResult restored =
        restorePilotBackup(path, backup, dir.file("backups"), later, systemFileAccess(), &journal);
    ASSERT_TRUE(restored) << restored.message();
    EXPECT_TRUE(journal.holds(path));
    // Without a journal nothing is recorded: a save elsewhere stays the game's.
    const std::string other = dir.file("Other.plt");
    ASSERT_TRUE(image.save(other));
    ASSERT_TRUE(ReadMission(record, other).ok());
    ASSERT_TRUE(WritePilotDetails(other, record, edit));
    EXPECT_FALSE(journal.holds(other));
    EXPECT_FALSE(journal.holds(dir.file("missing.plt")));
}

TEST(OwnSaves, TheJournalIsBoundedAndADamagedLineIsPassedOver)
{
    TempDir dir;
    const std::string file = dir.file("own-saves.txt");
    writeFile(file, "garbage line\n1 2 x 4 0000000000000000\n\n");
    const OwnSaves journal(file);
    const std::string path = dir.file("a.plt");
    ASSERT_TRUE(scrambledPilot(1).save(path));
    const FileIdentity identity = *fileIdentity(path);
    ASSERT_TRUE(journal.record(identity, readFile(path)));
    EXPECT_TRUE(journal.holds(path));
    for (std::size_t k = 0; k < OwnSaves::kRecordsKept + 20; ++k) {
        FileIdentity other = identity;
        other.index += 1000 + k;
        ASSERT_TRUE(journal.record(other, "x"));
    }
    const std::string text = readFile(file);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), OwnSaves::kRecordsKept);
    // The oldest record went first.
    EXPECT_FALSE(journal.holds(path));
}

// A save whose journal cannot be written stands, and says why, naming the
// journal: the caller tells it beside "Update complete.".
struct SavedPilot {
    SaveResult saved;
    bool written;
};

SavedPilot saveWithJournal(const TempDir& dir, const OwnSaves& journal, const std::string& name)
{
    const std::string path = dir.file(name);
    const PilotImage image = scrambledPilot(2);
    EXPECT_TRUE(image.save(path));
    PilotRecord record;
    EXPECT_TRUE(ReadMission(record, path).ok());
    PilotDetailsEdit edit;
    edit.name = "Changed";
    SaveResult saved = WritePilotDetails(path, record, edit, systemFileAccess(), {}, nullptr, &journal);
    return {std::move(saved), readFile(path) != image.bytes()};
}

void expectNotRecorded(const SavedPilot& result, const std::string& journal, std::string_view cause)
{
    EXPECT_TRUE(result.saved.ok()) << result.saved.message();
    EXPECT_EQ(result.saved.message(), "Update complete.");
    EXPECT_TRUE(result.written);
    ASSERT_FALSE(result.saved.ownSave.ok());
    EXPECT_EQ(result.saved.ownSave.message(),
              "Cannot create file " + journal +
                  ". The save stands, but it is not noted as Vantrel's own, so a watching Vantrel may offer it as a "
                  "save of the game.");
    EXPECT_EQ(result.saved.ownSave.cause(), cause);
}

TEST(OwnSaves, AJournalThatCannotBeWrittenLeavesTheSaveStandingAndTellsWhy)
{
    TempDir dir;
    const std::string file = dir.file("own-saves.txt");
    {
        // Another program holds the journal's lock beyond the wait.
        FileLock holder;
        ASSERT_TRUE(holder.acquire(file).ok());
        const OwnSaves journal(file, std::chrono::milliseconds(50));
        expectNotRecorded(saveWithJournal(dir, journal, "Locked.plt"), file, "another program holds the lock");
    }
    {
        // A folder where the journal should be.
        ASSERT_TRUE(fs::create_directory(dir.file("folder.txt")));
        expectNotRecorded(saveWithJournal(dir, OwnSaves(dir.file("folder.txt")), "Folder.plt"), dir.file("folder.txt"),
                          "it is not a regular file");
    }
#ifndef _WIN32
    {
        const std::string fifo = dir.file("fifo.txt");
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
        expectNotRecorded(saveWithJournal(dir, OwnSaves(fifo), "Fifo.plt"), fifo, "it is not a regular file");
    }
#endif
    // A journal that can be written again records the next save.
    const OwnSaves journal(file);
    const SavedPilot fine = saveWithJournal(dir, journal, "Fine.plt");
    EXPECT_TRUE(fine.saved.ownSave.ok()) << fine.saved.ownSave.message();
    EXPECT_TRUE(journal.holds(dir.file("Fine.plt")));
}

#ifndef _WIN32
// The journal, its lock file and a backup are the program's own files: a
// link at their names is refused, never written through into the pilot or
// the log it leads to.
TEST(OwnSaves, ALinkAsTheJournalOrItsLockIsNeverWrittenThrough)
{
    TempDir dir;
    const std::string other = dir.file("Other.plt");
    ASSERT_TRUE(scrambledPilot(4).save(other));
    const std::string log = dir.file("log.txt");
    writeFile(log, "a line\r\n");
    for (const std::string& target : {other, log}) {
        const std::string file = dir.file("own-saves.txt");
        fs::remove(file);
        fs::create_symlink(target, file);
        const std::string before = readFile(target);
        expectNotRecorded(saveWithJournal(dir, OwnSaves(file), "Pilot.plt"), file, "it is a symbolic link");
        EXPECT_EQ(readFile(target), before);
        EXPECT_TRUE(fs::is_symlink(file));
    }
    // No lock file was made beside what the link leads to either.
    EXPECT_FALSE(fs::exists(dir.file(".Other.plt.lock")));

    const std::string journal = dir.file("journal/own-saves.txt");
    ASSERT_TRUE(fs::create_directory(dir.file("journal")));
    fs::create_symlink(log, dir.file("journal/.own-saves.txt.lock"));
    expectNotRecorded(saveWithJournal(dir, OwnSaves(journal), "Pilot.plt"), journal,
                      "the lock file is a symbolic link");
    EXPECT_EQ(readFile(log), "a line\r\n");
}

// A replace that must not follow links refuses one at the name and, when a
// link is put there after its last look, replaces the link itself.
TEST(OwnSaves, AReplaceThatFollowsNoLinkLeavesTheLinkedFileAlone)
{
    TempDir dir;
    const std::string other = dir.file("Other.plt");
    writeFile(other, "pilot");
    const std::string name = dir.file("Wedge-20200913-122640.plt");
    fs::create_symlink(other, name);
    ReplaceOptions options;
    options.followLinks = false;
    const FileResult refused = replaceFileAtomically(name, "backup", options);
    EXPECT_EQ(refused.cause(), "it is a symbolic link");
    EXPECT_EQ(readFile(other), "pilot");

    fs::remove(name);
    options.afterLastLook = [&] { fs::create_symlink(other, name); };
    const FileResult replaced = replaceFileAtomically(name, "backup", options);
    EXPECT_EQ(readFile(other), "pilot");
    // Either refused as changed meanwhile, or the link itself was replaced.
    if (replaced.ok())
        EXPECT_FALSE(fs::is_symlink(name));
    else
        EXPECT_EQ(replaced.cause(), kChangedMeanwhileCause);
}

// A full disk: a small file system of its own, filled up. Mounting needs the
// right to, which a test run may lack.
TEST(OwnSaves, AFullDiskLeavesTheSaveStandingAndTellsWhy)
{
    TempDir dir;
    const std::string mount = dir.file("small");
    ASSERT_TRUE(fs::create_directory(mount));
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{mount};
    const std::string file = mount + "/own-saves.txt";
    const OwnSaves journal(file);
    ASSERT_TRUE(saveWithJournal(dir, journal, "First.plt").saved.ownSave.ok());
    {
        std::ofstream filler(mount + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int k = 0; k < 64 && filler; ++k)
            filler.write(block.data(), static_cast<std::streamsize>(block.size())).flush();
    }
    const std::string before = readFile(file);
    expectNotRecorded(saveWithJournal(dir, journal, "Second.plt"), file, "No space left on device");
    EXPECT_EQ(readFile(file), before);
}
#endif

}  // namespace
