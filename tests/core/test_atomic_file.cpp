// The atomic replace of a whole file: the new bytes or the old, the file's
// permissions and links kept, no temporary file left behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>

#include "TestSupport.h"
#include "core/files/AtomicFile.h"

namespace vantrel {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Names in the directory, to see that no temporary file was left behind.
std::set<std::string> entries(const TempDir& dir)
{
    std::set<std::string> names;
    if (DIR* d = ::opendir(dir.path().c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.insert(name);
        }
        ::closedir(d);
    }
    return names;
}

mode_t permissions(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(AtomicFile, ReplacesAndKeepsPermissions)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    const mode_t oldMask = ::umask(022);
    ASSERT_TRUE(replaceFileAtomically(path, "first"));
    EXPECT_EQ(permissions(path), 0644u);
    ::umask(oldMask);

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(replaceFileAtomically(path, std::string("sec\0nd", 6)));
    EXPECT_EQ(readFile(path), std::string("sec\0nd", 6));
    EXPECT_EQ(permissions(path), 0640u);
    EXPECT_EQ(entries(dir), std::set<std::string> {"log.txt"});
}

TEST(AtomicFile, WritesThroughSymbolicLink)
{
    TempDir dir;
    const std::string target = dir.file("real.ini");
    const std::string link = dir.file("link.ini");
    writeFile(target, "old");
    ASSERT_EQ(::symlink("real.ini", link.c_str()), 0);
    ASSERT_TRUE(replaceFileAtomically(link, "new"));
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(target), "new");
}

TEST(AtomicFile, RefusesAndLeavesNoTrace)
{
    TempDir dir;
    EXPECT_FALSE(replaceFileAtomically(dir.file("missing/log.txt"), "x"));
    EXPECT_FALSE(replaceFileAtomically("", "x"));

    const std::string noWriteBits = dir.file("ro.txt");
    writeFile(noWriteBits, "old");
    ::chmod(noWriteBits.c_str(), 0444);
    EXPECT_FALSE(replaceFileAtomically(noWriteBits, "new"));
    EXPECT_EQ(readFile(noWriteBits), "old");

    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    EXPECT_FALSE(replaceFileAtomically(dir.file("fifo"), "x"));
    ASSERT_EQ(::symlink("nowhere/at/all", dir.file("dangling").c_str()), 0);
    EXPECT_FALSE(replaceFileAtomically(dir.file("dangling"), "x"));

    EXPECT_EQ(entries(dir), (std::set<std::string> {"dangling", "fifo", "ro.txt"}));
}

}  // namespace
}  // namespace vantrel
