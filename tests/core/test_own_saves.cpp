// The journal of the program's own saves: a save of edited details and a
// restore are recorded as they left the file; the game's later save of the
// same file, a copy of it elsewhere and a damaged journal are not taken for
// one; the journal stays bounded.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "TestSupport.h"
#include "core/files/AtomicFile.h"
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

}  // namespace
