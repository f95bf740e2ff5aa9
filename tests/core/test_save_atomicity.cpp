// A pilot save leaves either the old file or the new one: never half of each,
// whatever stops the writer, and never changes bytes it was not asked to.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>

#include "TestSupport.h"
#include "tests/support/PilotImage.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotSave.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> tempFilesIn(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = fileio::toUtf8(entry.path().filename());
        if (name.starts_with("."))
            names.push_back(name);
    }
    return names;
}

#ifndef _WIN32
// The save path's own writes, stopped dead right before the rename.
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

TEST(SaveAtomicity, AWriterKilledBeforeTheRenameLeavesTheOldFileAndTheNextSaveClearsItsTemporary)
{
    TempDir dir;
    const std::string path = dir.file("pilot.plt");
    const PilotImage image = scrambledPilot(3);
    ASSERT_TRUE(image.save(path));
    PilotRecord record;
    ASSERT_TRUE(ReadMission(record, path).ok());
    PilotDetailsEdit edit;
    edit.name = "Killed";
    edit.rankIndex = 5;
    edit.activeMissionIndex = 9;

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        KilledBeforeRename files;
        PilotRecord copy = record;
        (void)WritePilotDetails(path, copy, edit, files);
        ::_exit(0);  // not reached: the writer dies before the rename
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    EXPECT_EQ(readFile(path), image.bytes());
    const std::vector<std::string> left = tempFilesIn(dir.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.front().starts_with(".pilot.plt.")) << left.front();
    EXPECT_EQ(fs::file_size(dir.path() / left.front()), 152076u);

    // The next save of the file goes through and removes what the dead writer left.
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    EXPECT_EQ(readFile(path).substr(0, 7), std::string("Killed\0", 7));
    EXPECT_TRUE(tempFilesIn(dir.path()).empty());
}

// The save path's own writes, with another program stepping in after the
// last look at the pilot and before the replace.
class SteppedInAfterTheLastLook final : public FileAccess {
public:
    explicit SteppedInAfterTheLastLook(std::function<void()> other) : other_(std::move(other)) {}
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        return systemFileAccess().open(path, mode);
    }
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override
    {
        ReplaceOptions stepped = options;
        stepped.afterLastLook = other_;
        return FileAccess::replace(path, bytes, stepped);
    }

private:
    std::function<void()> other_;
};

TEST(SaveAtomicity, AFileAnotherProgramPutsInPlaceRightBeforeTheReplaceSurvivesAndTheSaveFails)
{
    TempDir dir;
    const std::string path = dir.file("pilot.plt");
    const std::string other = dir.file("other.plt");
    const std::string theirs = scrambledPilot(7).bytes();
    PilotDetailsEdit edit;
    edit.name = "Patched";

    // Renamed over it (mv other.plt pilot.plt), removed, or written over in
    // place (same inode, same size, a later modification time).
    const std::vector<std::pair<std::string, std::function<void()>>> others = {
        {"renamed over", [&] { ASSERT_EQ(::rename(other.c_str(), path.c_str()), 0); }},
        {"removed", [&] { ASSERT_EQ(::unlink(path.c_str()), 0); }},
        {"written in place",
         [&] {
             const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::pwrite(fd, theirs.data(), theirs.size(), 0), static_cast<ssize_t>(theirs.size()));
             const struct timespec later[2] = {{0, UTIME_OMIT}, {2'000'000'000, 0}};
             ASSERT_EQ(::futimens(fd, later), 0);
             ::close(fd);
         }},
    };
    for (const auto& [how, step] : others) {
        SCOPED_TRACE(how);
        ASSERT_TRUE(scrambledPilot(3).save(path));
        writeFile(other, theirs);
        PilotRecord record;
        ASSERT_TRUE(ReadMission(record, path).ok());
        SteppedInAfterTheLastLook files(step);
        const SaveResult saved = WritePilotDetails(path, record, edit, files);
        EXPECT_FALSE(saved.ok());
        EXPECT_NE(saved.message().find(kChangedMeanwhileCause), std::string::npos) << saved.message();
        if (how == "removed")
            EXPECT_FALSE(fs::exists(path)) << "a file removed meanwhile was written anew";
        else
            EXPECT_TRUE(readFile(path) == theirs) << "the other program's file is gone";
        EXPECT_TRUE(tempFilesIn(dir.path()).empty());
    }
}

TEST(SaveAtomicity, ATemporaryFileStillBeingWrittenIsNotTakenForAStaleOne)
{
    TempDir dir;
    const std::string path = dir.file("pilot.plt");
    ASSERT_TRUE(scrambledPilot(0).save(path));
    PilotRecord record;
    ASSERT_TRUE(ReadMission(record, path).ok());
    PilotDetailsEdit edit;
    edit.name = "Second";

    // A writer that holds its temporary file while another save completes.
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ReplaceOptions options;
        options.beforeRename = [&] {
            char c = 'r';
            (void)!::write(ready[1], &c, 1);
            (void)!::read(release[0], &c, 1);
        };
        const FileResult done = replaceFileAtomically(path, scrambledPilot(1).bytes(), options);
        ::_exit(done ? 0 : 1);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    // The live writer's temporary file sits beside the pilot, locked: this
    // save must leave it, or the other writer's rename would fail.
    ASSERT_EQ(tempFilesIn(dir.path()).size(), 1u);
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    ASSERT_EQ(::write(release[1], &c, 1), 1);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(path), scrambledPilot(1).bytes());
    EXPECT_TRUE(tempFilesIn(dir.path()).empty());
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        ::close(fd);
}

#endif  // !_WIN32

#ifdef _WIN32
// The save path's own writes, held right before the move: the parent kills
// the writer there, or lets it go on.
class HeldBeforeTheMove final : public FileAccess {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, OpenMode mode) override
    {
        return systemFileAccess().open(path, mode);
    }
    FileResult replace(const std::string& path, std::string_view bytes, const ReplaceOptions& options) override
    {
        ReplaceOptions held = options;
        held.beforeRename = [] { ChildTest::pauseHere(); };
        return FileAccess::replace(path, bytes, held);
    }
};

std::string thisTest()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
}

PilotDetailsEdit killedEdit()
{
    PilotDetailsEdit edit;
    edit.name = "Killed";
    edit.rankIndex = 5;
    edit.activeMissionIndex = 9;
    return edit;
}

TEST(SaveAtomicity, AWriterKilledBeforeTheMoveLeavesTheOldFileAndTheNextSaveClearsItsTemporary)
{
    if (const auto path = ChildTest::task()) {
        // The writer: stopped for good before the move.
        PilotRecord record;
        ASSERT_TRUE(ReadMission(record, *path).ok());
        HeldBeforeTheMove files;
        (void)WritePilotDetails(*path, record, killedEdit(), files);
        return;
    }
    TempDir dir;
    const std::string path = dir.file("pilot.plt");
    const PilotImage image = scrambledPilot(3);
    ASSERT_TRUE(image.save(path));

    {
        ChildTest writer(thisTest(), path);
        ASSERT_TRUE(writer.waitForPause(60)) << "the writer did not reach the move";
        writer.kill();
    }
    EXPECT_EQ(readFile(path), image.bytes());
    const std::vector<std::string> left = tempFilesIn(dir.path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.front().starts_with(".pilot.plt.")) << left.front();
    EXPECT_EQ(fs::file_size(dir.path() / left.front()), 152076u);

    // The next save of the file goes through and removes what the dead writer left.
    PilotRecord record;
    ASSERT_TRUE(ReadMission(record, path).ok());
    ASSERT_TRUE(WritePilotDetails(path, record, killedEdit()).ok());
    EXPECT_EQ(readFile(path).substr(0, 7), std::string("Killed\0", 7));
    EXPECT_TRUE(tempFilesIn(dir.path()).empty());
}

TEST(SaveAtomicity, ATemporaryFileStillBeingWrittenIsNotTakenForAStaleOne)
{
    if (const auto path = ChildTest::task()) {
        // A writer that holds its temporary file while another save completes.
        ReplaceOptions options;
        options.beforeRename = [] { ChildTest::pauseHere(); };
        ASSERT_TRUE(replaceFileAtomically(*path, scrambledPilot(1).bytes(), options));
        return;
    }
    TempDir dir;
    const std::string path = dir.file("pilot.plt");
    ASSERT_TRUE(scrambledPilot(0).save(path));
    PilotRecord record;
    ASSERT_TRUE(ReadMission(record, path).ok());
    PilotDetailsEdit edit;
    edit.name = "Second";

    ChildTest writer(thisTest(), path);
    ASSERT_TRUE(writer.waitForPause(60)) << "the writer did not reach the move";
    // The live writer's temporary file sits beside the pilot, held open:
    // this save must leave it, or the other writer's move would fail.
    ASSERT_EQ(tempFilesIn(dir.path()).size(), 1u);
    ASSERT_TRUE(WritePilotDetails(path, record, edit).ok());
    EXPECT_EQ(tempFilesIn(dir.path()).size(), 1u);
    EXPECT_EQ(writer.resumeAndWait(60), 0);
    EXPECT_EQ(readFile(path), scrambledPilot(1).bytes());
    EXPECT_TRUE(tempFilesIn(dir.path()).empty());
}
#endif  // _WIN32

// Both systems: a new file is never put over one that appeared meanwhile.
TEST(SaveAtomicity, ANewFileIsNotPutOverOneAnotherProgramCreatedMeanwhile)
{
    TempDir dir;
    const std::string path = dir.file("new.plt");
    const std::string theirs = scrambledPilot(2).bytes();
    ReplaceOptions options;
    options.afterLastLook = [&] { writeFile(path, theirs); };
    const FileResult written = replaceFileAtomically(path, scrambledPilot(4).bytes(), options);
    EXPECT_FALSE(written);
    EXPECT_EQ(written.cause(), kChangedMeanwhileCause);
    EXPECT_TRUE(readFile(path) == theirs) << "the other program's file is gone";
    EXPECT_TRUE(tempFilesIn(dir.path()).empty());
}

}  // namespace
