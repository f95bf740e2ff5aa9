// The lock file beside a file that its writers take turns through: where it
// lies, waiting for a held lock, and a lock that cannot be had.
#include <gtest/gtest.h>

#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "core/files/FileLock.h"
#include "core/mainlog/LogWriter.h"

namespace vantrel {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

TEST(FileLock, TheLockFileLiesBesideTheFileALinkLeadsToAndStays)
{
    TempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("real")));
    const std::string real = dir.file("real/main.log");
    const std::string link = dir.file("link.log");
    writeFile(real, "");
    EXPECT_EQ(FileLock::lockFileFor(real), dir.file("real/.main.log.lock"));
    EXPECT_EQ(FileLock::lockFileFor("main.log"), ".main.log.lock");
#ifndef _WIN32
    std::filesystem::create_symlink(real, link);
    EXPECT_EQ(FileLock::lockFileFor(link), dir.file("real/.main.log.lock"));

    const mode_t mask = ::umask(027);
    const auto written = mainlog::write(link, "entry\n");
    ::umask(mask);
    ASSERT_TRUE(written.ok()) << written.message();
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("real/.main.log.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#else
    const auto written = mainlog::write(real, "entry\n");
    ASSERT_TRUE(written.ok()) << written.message();
    EXPECT_TRUE(std::filesystem::is_regular_file(dir.file("real/.main.log.lock")));
#endif
    EXPECT_EQ(readFile(real), "entry\r\n");
}

TEST(FileLock, AHeldLockKeepsOthersWaitingThenTellsWhoHoldsIt)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "old\r\n");
    FileLock holder;
    ASSERT_TRUE(holder.acquire(path).ok());

    FileLock other;
    const FileResult refused = other.acquire(path, std::chrono::milliseconds(50));
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.cause(), "another program holds the lock");
    const mainlog::LogLock logLock(path, std::chrono::milliseconds(50));
    EXPECT_EQ(logLock.result().message(), "Cannot lock file " + dir.file(".log.txt.lock") + ".");
    EXPECT_EQ(logLock.result().cause(), "another program holds the lock");
    EXPECT_EQ(readFile(path), "old\r\n");

    holder.release();
    EXPECT_TRUE(other.acquire(path, std::chrono::milliseconds(50)).ok());
}

TEST(FileLock, ALockThatCannotBeHadStopsTheWrite)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "old\r\n");
    ASSERT_TRUE(std::filesystem::create_directory(dir.file(".log.txt.lock")));
    const auto refused = mainlog::write(path, "new\n");
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "Cannot lock file " + dir.file(".log.txt.lock") + ".");
    EXPECT_FALSE(refused.cause().empty());
    EXPECT_EQ(readFile(path), "old\r\n");
}

// Windows drops trailing dots and spaces from a name: those names are the
// file's, and take its lock.
TEST(FileLock, NamesWindowsTakesForOneFileShareOneLockFile)
{
    EXPECT_EQ(FileLock::lockFileFor("logs/log.txt."), "logs/.log.txt.lock");
    EXPECT_EQ(FileLock::lockFileFor("logs/log.txt . "), "logs/.log.txt.lock");
    EXPECT_EQ(FileLock::lockFileFor("logs/..."), "logs/.....lock");  // nothing but dots stays as it is
#ifdef _WIN32
    TempDir dir;
    writeFile(dir.file("log.txt"), "");
    FileLock held;
    ASSERT_TRUE(held.acquire(dir.file("log.txt")).ok());
    EXPECT_FALSE(FileLock().acquire(dir.file("log.txt."), std::chrono::milliseconds(50)).ok());
    // Hidden, as the leading dot hides it elsewhere.
    const DWORD attributes = ::GetFileAttributesW(fileio::toPath(dir.file(".log.txt.lock")).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
#endif
}

#ifndef _WIN32
// Wine keeps a Windows program's LockFileEx as a process's record lock on
// the first byte of the lock file: such a lock and ours exclude each other.
TEST(FileLock, ARecordLockOfAnotherProcessOnTheFirstByteIsTheSameLock)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "");
    FileLock ours;
    ASSERT_TRUE(ours.acquire(path).ok());
    const std::string lockFile = FileLock::lockFileFor(path);
    // What another process's F_SETLK on byte 0 gets: 0 locked, 1 refused.
    const auto recordLockElsewhere = [&](int holdMs) {
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::open(lockFile.c_str(), O_RDWR);
            struct flock region {};
            region.l_type = F_WRLCK;
            region.l_whence = SEEK_SET;
            region.l_len = 1;
            const bool locked = fd >= 0 && ::fcntl(fd, F_SETLK, &region) == 0;
            ::usleep(static_cast<useconds_t>(holdMs) * 1000);
            ::_exit(locked ? 0 : 1);
        }
        return child;
    };
    int status = 0;
    pid_t child = recordLockElsewhere(0);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 1);

    ours.release();
    child = recordLockElsewhere(400);
    ::usleep(150'000);
    FileLock waiting;
    EXPECT_EQ(waiting.acquire(path, std::chrono::milliseconds(50)).cause(), "another program holds the lock");
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(waiting.acquire(path, std::chrono::milliseconds(50)).ok());
}
#endif

}  // namespace
}  // namespace vantrel
