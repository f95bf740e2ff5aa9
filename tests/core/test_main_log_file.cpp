// The main log file: code page, line ends, appending and failures.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "TestSupport.h"
#include "core/mainlog/MainLogFile.h"

namespace vantrel {
namespace {

using testing::readFile;
using testing::TempDir;
using testing::writeFile;

void makeSparseFile(const std::string& path, off_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

TEST(MainLogRead, EveryLineBreakBecomesNewline)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "a\r\nb\rc\nd\r\r\n\n\r");
    const auto result = mainlog::read(path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.text, "a\nb\nc\nd\n\n\n\n");
}

TEST(MainLogFile, CodePageBytesRoundTrip)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes += static_cast<char>(b);
        if (b % 32 == 31)
            bytes += "\r\n";
    }
    writeFile(path, bytes);
    const auto result = mainlog::read(path);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_NE(result.text.find("\xE2\x82\xAC\xC2\x81\xE2\x80\x9A"), std::string::npos);  // 0x80 0x81 0x82
    EXPECT_NE(result.text.find("\xC3\xBF\n"), std::string::npos);                             // 0xFF

    const std::string copy = dir.file("copy.txt");
    EXPECT_EQ(mainlog::write(copy, result.text), "");
    EXPECT_EQ(readFile(copy), bytes);
}

TEST(MainLogFile, AppendLine)
{
    std::string text;
    mainlog::appendLine(text, "first");
    EXPECT_EQ(text, "first\n");
    mainlog::appendLine(text, "");
    EXPECT_EQ(text, "first\n\n");

    std::string edited = "typed without break";
    mainlog::appendLine(edited, "entry");
    EXPECT_EQ(edited, "typed without break\nentry");
    mainlog::appendLine(edited, "next");
    EXPECT_EQ(edited, "typed without break\nentry\nnext");
}

TEST(MainLogFile, EncodeGivesCrLfAndCodePage)
{
    EXPECT_EQ(mainlog::encode("a\nb"), "a\r\nb");
    EXPECT_EQ(mainlog::encode("a\r\nb\rc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(mainlog::encode("\xE2\x82\xAC 5 \xC3\xA9"), "\x80 5 \xE9");
    EXPECT_EQ(mainlog::encode("\xE4\xB8\xAD|\xF0\x9F\x98\x80|\xC4\x80"), "?|?|?");
}

TEST(MainLogRead, OversizedFileIsRefusedUnread)
{
    TempDir dir;
    // Sparse, so the file takes no room on disk.
    const std::string tooLarge = dir.file("huge.txt");
    makeSparseFile(tooLarge, static_cast<off_t>(mainlog::kCapacityBytes) + 1);
    const auto refused = mainlog::read(tooLarge);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "Text exceeds memo capacity.");
    EXPECT_EQ(refused.text, "");
}

TEST(MainLogRead, UnreadablePath)
{
    TempDir dir;
    for (const std::string& path : {dir.file("missing.txt"), dir.file(""), dir.file("missing.")}) {
        const auto result = mainlog::read(path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.text, "");
        EXPECT_EQ(result.error, "Cannot open file " + (path.back() == '.' ? path : path + "."));
    }
}

TEST(MainLogWrite, FailureKeepsOldFile)
{
    TempDir dir;
    const std::string missingDir = dir.file("nowhere/log.txt");
    EXPECT_EQ(mainlog::write(missingDir, "x\n"), "Cannot create file " + missingDir + ".");

    const std::string readOnly = dir.file("ro.txt");
    writeFile(readOnly, "old\r\n");
    ::chmod(readOnly.c_str(), 0444);
    EXPECT_EQ(mainlog::write(readOnly, "new\n"), "Cannot create file " + readOnly + ".");
    EXPECT_EQ(readFile(readOnly), "old\r\n");

    const std::string existing = dir.file("log.txt");
    writeFile(existing, "a much longer old text\r\n");
    EXPECT_EQ(mainlog::write(existing, "new"), "");
    EXPECT_EQ(readFile(existing), "new");
}

}  // namespace
}  // namespace vantrel
