// The lock file beside a file that its writers take turns through: where it
// lies, waiting for a held lock, and a lock that cannot be had.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "core/files/FileLock.h"
#include "core/mainlog/MainLogFile.h"

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

}  // namespace
}  // namespace vantrel
