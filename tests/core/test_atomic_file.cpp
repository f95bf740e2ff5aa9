// The atomic replace of a whole file: the new bytes or the old, the file's
// permissions and links kept, no temporary file left behind; on Windows the
// read-only attribute, device names, files held without sharing and names
// beyond ASCII.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <set>
#include <string>

#include "TestSupport.h"
#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/text/TextRules.h"

namespace vantrel {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

// Names in the directory, to see that no temporary file was left behind.
std::set<std::string> entries(const TempDir& dir)
{
    return testing::entriesOf(dir.path());
}

#ifndef _WIN32
mode_t permissions(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}
#endif

#ifndef _WIN32
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
    EXPECT_EQ(entries(dir), std::set<std::string>{"log.txt"});
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

    EXPECT_EQ(entries(dir), (std::set<std::string>{"dangling", "fifo", "ro.txt"}));
}
#endif  // !_WIN32

#ifdef _WIN32
TEST(AtomicFile, RefusesReadOnlyDevicesAndHeldFilesAndLeavesNoTrace)
{
    TempDir dir;
    EXPECT_FALSE(replaceFileAtomically(dir.file("missing/log.txt"), "x"));
    EXPECT_FALSE(replaceFileAtomically("", "x"));

    // The read-only attribute counts as no write permission.
    const std::string readOnly = dir.file("ro.txt");
    writeFile(readOnly, "old");
    testing::setReadOnly(readOnly, true);
    EXPECT_EQ(replaceFileAtomically(readOnly, "new").cause(), kReadOnlyCause);
    EXPECT_EQ(readFile(readOnly), "old");

    for (const std::string& device :
         {dir.file("NUL"), dir.file("aux.txt"), std::string("CON"), std::string("\\\\.\\COM1")})
        EXPECT_EQ(replaceFileAtomically(device, "x").cause(), kNotRegularFileCause) << device;

    const std::string heldPath = dir.file("held.txt");
    writeFile(heldPath, "old");
    {
        const testing::HeldFile held(heldPath);
        ASSERT_TRUE(held.held());
        const FileResult refused = replaceFileAtomically(heldPath, "new");
        EXPECT_FALSE(refused);
        EXPECT_EQ(refused.cause(), fileio::kInUseCause);
    }
    EXPECT_EQ(readFile(heldPath), "old");
    EXPECT_EQ(entries(dir), (std::set<std::string>{"held.txt", "ro.txt"}));
}

TEST(AtomicFile, ReplacesUnderNonAsciiNames)
{
    TempDir dir;
    const std::string folder = dir.file("J\xc3\xa4ger Staffel \xe2\x80\x94 \xd0\x96");
    std::filesystem::create_directory(fileio::toPath(folder));
    const std::string pilot = text::joinPath(folder, "J\xc3\xa4ger.plt");
    ASSERT_TRUE(replaceFileAtomically(pilot, "first"));
    ASSERT_TRUE(replaceFileAtomically(pilot, "second"));
    EXPECT_EQ(readFile(pilot), "second");
    EXPECT_EQ(testing::entriesOf(fileio::toPath(folder)), (std::set<std::string>{"J\xc3\xa4ger.plt"}));
}
#endif

}  // namespace
}  // namespace vantrel
