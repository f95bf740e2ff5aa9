// vantrel-cli set end to end: it writes only what its options name, refuses
// what it may not change without touching the file, and a run killed at any
// moment leaves the old pilot or the new one.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "CliFixture.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;
namespace L = vantrel::layout;

namespace {

class CliSetTest : public CliFixture {
protected:
    std::vector<std::string> backups()
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(dir.file("data/vantrel/backups"), ignored))
            names.push_back(fileio::toUtf8(entry.path()));
        return names;
    }
};

TEST_F(CliSetTest, WithoutOptionsNotAByteChanges)
{
    const std::string path = dir.file("p.plt");
    PilotImage image = scrambledPilot(4);
    // A bonus of 198.1 points and a name with bytes after its end.
    image.setMission(L::CampaignMissionRecords, 1, {0x55, 2, 2013, 77, 1981});
    image.setText(L::PilotName, std::string("Yoda\0\x7Fxyz", 9));
    ASSERT_TRUE(image.save(path));
    const CliRun run = cli("set '" + path + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Update complete.\n");
    EXPECT_EQ(readFile(path), image.bytes());
    EXPECT_TRUE(backups().empty());  // nothing changed, so nothing to back up

    // Only the named field changes.
    ASSERT_EQ(cli("set --rating 3 '" + path + "'").status, 0);
    const std::string after = readFile(path);
    for (std::size_t k = 0; k < after.size(); ++k) {
        if (k < L::Rating.offset || k >= L::Rating.offset + L::Rating.width) {
            ASSERT_EQ(after[k], image.bytes()[k]) << "offset " << k;
        }
    }
}

TEST_F(CliSetTest, AnActiveMissionAtOrBeforeTheCompletedOnesIsRefusedAndNothingIsWritten)
{
    const std::string path = dir.file("p.plt");
    const PilotImage image = scrambledPilot(5);
    ASSERT_TRUE(image.save(path));
    for (const char* mission : {"1", "3", "5"}) {
        const CliRun run = cli(std::string("set --rank 8 --active-mission ") + mission + " '" + path + "'");
        EXPECT_EQ(run.status, 2) << mission;
        EXPECT_EQ(run.out, "") << mission;
        EXPECT_NE(run.err.find("completed missions are never removed"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(path), image.bytes());
    // The mission right after the completed ones is the active one already: no change, no refusal.
    EXPECT_EQ(cli("set --active-mission 6 '" + path + "'").status, 0);
    EXPECT_EQ(readFile(path), image.bytes());
}

// A refusal is the core's text after the option it is about, as the page
// and the pilot view give the same text.
TEST_F(CliSetTest, ARefusalIsTheOptionThenTheCoresText)
{
    const std::string path = dir.file("p.plt");
    const PilotImage image = scrambledPilot(5);
    ASSERT_TRUE(image.save(path));
    const std::pair<std::string, std::string> cases[] = {
        {"--rank 9", "vantrel-cli: --rank: The rank must be between 0 and 8. Nothing was written."},
        {"--active-mission 256",
         "vantrel-cli: --active-mission: The active mission must be between 1 and 255. "
         "Nothing was written."},
        {"--name ThirteenChars --rank x",
         "vantrel-cli: --name: The name is longer than 12 characters. Nothing was written."},
        {"--rank 2 --active-mission 3",
         "vantrel-cli: --active-mission: Active mission 3 is not after the 5 completed missions of " + path +
             "; completed missions are never removed. Nothing was written."},
    };
    for (const auto& [options, line] : cases) {
        const CliRun run = cli("set " + options + " '" + path + "'");
        EXPECT_EQ(run.status, 2) << options;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), line);
    }
    EXPECT_EQ(readFile(path), image.bytes());
}

#ifndef _WIN32
TEST_F(CliSetTest, ANameWithAControlCharacterIsRefused)
{
    const std::string path = dir.file("p.plt");
    const PilotImage image = scrambledPilot(0);
    ASSERT_TRUE(image.save(path));
    // printf makes the characters: the shell that runs the tool has no $'...'.
    for (const char* name : {"Two\\nLines", "Tab\\tbed", "Del\\177", "Bell\\a"}) {
        const CliRun run = cli(std::string("set --name \"$(printf '") + name + "')\" '" + path + "'");
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_NE(run.err.find("control character"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(readFile(path) == image.bytes());
}
#else
// No shell on Windows: the runner hands the characters themselves to the
// program, which reads its command line as UTF-16.
TEST_F(CliSetTest, ANameWithAControlCharacterIsRefused)
{
    const std::string path = dir.file("p.plt");
    const PilotImage image = scrambledPilot(0);
    ASSERT_TRUE(image.save(path));
    for (const char* name : {"Tab\tbed", "Del\177", "Bell\a", "Esc\x1b"}) {
        const CliRun run = cli(std::string("set --name \"") + name + "\" \"" + path + "\"");
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_NE(run.err.find("control character"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(readFile(path) == image.bytes());
}
#endif

#ifndef _WIN32
TEST_F(CliSetTest, TheBackupKeepsThePilotsMode)
{
    const std::string path = dir.file("private.plt");
    ASSERT_TRUE(scrambledPilot(0).save(path));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    ASSERT_EQ(cli("set --name Secret '" + path + "'").status, 0);
    const std::vector<std::string> made = backups();
    ASSERT_EQ(made.size(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(made.front().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}
#endif

TEST_F(CliSetTest, AFileWithoutWriteBitsIsNotChangedEvenByRoot)
{
    const std::string path = dir.file("locked.plt");
    const PilotImage image = scrambledPilot(0);
    ASSERT_TRUE(image.save(path));
    vantrel::testing::setReadOnly(path, true);
    const CliRun run = cli("set --name Changed '" + path + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open " + path + " for writing. Nothing was written.\nthe file is read-only\n");
    EXPECT_EQ(readFile(path), image.bytes());
    EXPECT_TRUE(backups().empty());
}

#ifndef _WIN32
// A save the journal of own saves cannot note stands (status 0, "Update
// complete."), and stderr names the journal and why: a FIFO, a link that
// would lead the journal's text into another pilot, a folder the user may
// not write.
TEST_F(CliSetTest, ASaveTheJournalCannotNoteStandsAndStderrTellsWhy)
{
    const std::string journal = dir.file("data/vantrel/own-saves.txt");
    ASSERT_TRUE(fs::create_directories(dir.file("data/vantrel")));
    const auto notNoted = [&](const std::string& cause) {
        return "Cannot create file " + journal +
               ". The save stands, but it is not noted as Vantrel's own, so a watching Vantrel may offer it as a save "
               "of the game.\n" +
               cause + "\n";
    };
    const PilotImage image = scrambledPilot(3);
    const std::string path = dir.file("p.plt");
    ASSERT_TRUE(image.save(path));

    ASSERT_EQ(::mkfifo(journal.c_str(), 0644), 0);
    CliRun run = cli("set --name Journal1 '" + path + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Update complete.\n");
    EXPECT_EQ(run.err, notNoted("it is not a regular file"));
    EXPECT_NE(readFile(path), image.bytes());

    const std::string other = dir.file("other.plt");
    ASSERT_TRUE(scrambledPilot(5).save(other));
    fs::remove(journal);
    fs::create_symlink(other, journal);
    run = cli("set --name Journal2 '" + path + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Update complete.\n");
    EXPECT_EQ(run.err, notNoted("it is a symbolic link"));
    EXPECT_EQ(readFile(other), scrambledPilot(5).bytes());
}

TEST_F(CliSetTest, ASaveByAUserWhoMayNotWriteTheJournalsFolderStands)
{
    if (::geteuid() != 0 || ::access("/usr/sbin/runuser", X_OK) != 0)
        GTEST_SKIP() << "needs root and runuser to run as nobody";
    // The data folder is root's; its backup folder and the pilot's are open to all.
    ASSERT_TRUE(fs::create_directories(dir.file("data/vantrel/backups")));
    ASSERT_TRUE(fs::create_directories(dir.file("pilots")));
    for (const char* open : {"data/vantrel/backups", "pilots"})
        ASSERT_EQ(::chmod(dir.file(open).c_str(), 0777), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ::chmod(dir.file("vantrel.ini").c_str(), 0644);
    const std::string path = dir.file("pilots/p.plt");
    ASSERT_TRUE(scrambledPilot(3).save(path));
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    const CliRun run =
        runProgram("/usr/sbin/runuser", dir,
                   "-u nobody -- '" VANTREL_CLI_PATH "' set --ini '" + ini + "' --rank 4 '" + path + "'", 60);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Update complete.\n");
    EXPECT_EQ(run.err, "Cannot create file " + dir.file("data/vantrel/own-saves.txt") +
                           ". The save stands, but it is not noted as Vantrel's own, so a watching Vantrel may "
                           "offer it as a save of the game.\nPermission denied\n");
    EXPECT_FALSE(fs::exists(dir.file("data/vantrel/own-saves.txt")));
}

// Real processes killed at random moments of `set`: each file is afterwards
// exactly the old pilot or exactly the new one.
TEST_F(CliSetTest, KilledAtAnyMomentAFileIsTheOldOrTheNewPilot)
{
    const PilotImage image = scrambledPilot(2);
    const std::string args = "--name Changed --rank 6 --kalidor 3 --active-mission 20";
    const std::string model = dir.file("model.plt");
    ASSERT_TRUE(image.save(model));
    ASSERT_EQ(cli("set " + args + " '" + model + "'").status, 0);
    const std::string changed = readFile(model);
    ASSERT_NE(changed, image.bytes());

    const std::string home = dir.path().string();
    const std::string data = "XDG_DATA_HOME=" + dir.file("data");
    const std::string homeVar = "HOME=" + home;
    const std::string configVar = "XDG_CONFIG_HOME=" + home;
    std::vector<char*> env{const_cast<char*>(homeVar.c_str()), const_cast<char*>(data.c_str()),
                           const_cast<char*>(configVar.c_str()), nullptr};
    std::mt19937 random(99);
    int oldOnes = 0, newOnes = 0;
    for (int round = 0; round < 40; ++round) {
        const std::string path = dir.file("pilot" + std::to_string(round) + ".plt");
        ASSERT_TRUE(image.save(path));
        std::vector<std::string> words{VANTREL_CLI_PATH, "set", "--name",           "Changed", "--rank", "6",
                                       "--kalidor",      "3",   "--active-mission", "20",      path};
        std::vector<char*> argv;
        for (auto& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), env.data()), 0);
        ::usleep(static_cast<useconds_t>(random() % 6000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        const std::string now = readFile(path);
        ASSERT_TRUE(now == image.bytes() || now == changed) << "round " << round << ": " << now.size() << " bytes";
        (now == changed ? newOnes : oldOnes)++;
    }
    // Whatever the timing, every file is whole; how many were reached is chance.
    EXPECT_EQ(oldOnes + newOnes, 40);
}

#endif

}  // namespace
