// The main log file: code page, line ends, appending and failures; readers
// that never block; the lock and the files a program knows it may replace.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "core/files/FileIO.h"
#include "core/mainlog/KnownFiles.h"
#include "core/mainlog/LogReader.h"
#include "core/mainlog/LogText.h"
#include "core/mainlog/LogWriter.h"
#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "core/text/Windows1252.h"

namespace vantrel {
namespace {

using testing::readFile;
using testing::resultWithin;
using testing::TempDir;
using testing::writeFile;

void makeSparseFile(const std::string& path, std::uintmax_t size)
{
    writeFile(path, "");
    std::filesystem::resize_file(fileio::toPath(path), size);
}

TEST(MainLogRead, EveryLineBreakBecomesNewline)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "a\r\nb\rc\nd\r\r\n\n\r");
    const auto result = mainlog::read(path);
    ASSERT_TRUE(result.ok()) << result.message();
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
    ASSERT_TRUE(result.ok()) << result.message();
    EXPECT_NE(result.text.find("\xE2\x82\xAC\xC2\x81\xE2\x80\x9A"), std::string::npos);  // 0x80 0x81 0x82
    EXPECT_NE(result.text.find("\xC3\xBF\n"), std::string::npos);                        // 0xFF

    const std::string copy = dir.file("copy.txt");
    EXPECT_TRUE(mainlog::write(copy, result.text).ok());
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

    // What a text window that knows only whether its text ends at a line
    // start adds at its end.
    EXPECT_EQ(mainlog::appendedText("entry", true), "entry\n");
    EXPECT_EQ(mainlog::appendedText("entry", false), "\nentry");
    EXPECT_EQ(mainlog::appendedText("", true), "\n");
    EXPECT_EQ(mainlog::appendedText("", false), "\n");
}

// Bytes with every kind of line break, runs of them, and every byte value.
std::string mixedLogBytes(unsigned seed, std::size_t size)
{
    std::string bytes;
    unsigned state = seed;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        const unsigned pick = (state >> 16) % 16;
        if (pick == 0)
            bytes += '\r';
        else if (pick == 1)
            bytes += '\n';
        else if (pick == 2)
            bytes += "\r\n";
        else
            bytes += static_cast<char>((state >> 8) & 0xFF);
    }
    return bytes;
}

// Decoded text back as code-page bytes, every line break as "\n".
std::string asNormalizedBytes(const std::u16string& decoded)
{
    std::string bytes;
    for (const char16_t unit : decoded) {
        if (unit == u'\u2028' || unit == u'\u2029') {
            bytes += '\n';
        } else {
            const std::optional<unsigned char> byte = cp1252::encode(unit);
            EXPECT_TRUE(byte.has_value()) << static_cast<unsigned>(unit);
            bytes += static_cast<char>(byte.value_or('?'));
        }
    }
    return bytes;
}

std::u16string decoded(std::string_view bytes, std::size_t linesPerParagraph)
{
    std::u16string out(bytes.size(), u'\0');
    out.resize(mainlog::decodeToUtf16(bytes, out.data(), u'\u2028', u'\u2029', linesPerParagraph));
    return out;
}

TEST(MainLogDecode, UnitsAndLineBreaksAgreeWithTheReader)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::string bytes = mixedLogBytes(seed, 20000);
        if (seed == 2)
            bytes += "\r";
        if (seed == 3)
            bytes += "\r\n";
        writeFile(path, bytes);
        const auto read = mainlog::read(path);
        ASSERT_TRUE(read.ok()) << read.message();
        const auto raw = mainlog::readBytes(path);
        ASSERT_TRUE(raw.ok()) << raw.message();
        EXPECT_EQ(raw.text, bytes);
        EXPECT_EQ(asNormalizedBytes(decoded(raw.text, 64)), cp1252::fromUtf8(read.text));
    }
}

TEST(MainLogDecode, ParagraphsHoldUpToTheirLinesAndTheLastBreakEndsOne)
{
    std::string bytes;
    for (int i = 0; i < 200; ++i)
        bytes += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n");
    for (const std::string& file : {bytes, bytes + "no break at the end"}) {
        SCOPED_TRACE(file.substr(file.size() - 5));
        const std::u16string text = decoded(file, 64);
        std::vector<std::size_t> paragraphEnds;
        std::size_t lineBreaks = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            lineBreaks += text[i] == u'\u2028';
            if (text[i] == u'\u2029')
                paragraphEnds.push_back(i);
        }
        ASSERT_GE(paragraphEnds.size(), 3u);
        EXPECT_EQ(std::count(text.begin(), text.begin() + paragraphEnds[0], u'\u2028'), 63);
        EXPECT_EQ(std::count(text.begin() + paragraphEnds[0], text.begin() + paragraphEnds[1], u'\u2028'), 63);
        EXPECT_EQ(lineBreaks + paragraphEnds.size(), 200u);
        // A text that ends with a line break ends with a paragraph break.
        EXPECT_EQ(text.back() == u'\u2029', file == bytes);
    }
    EXPECT_EQ(decoded("\r\n", 64), u"\u2029");
    EXPECT_EQ(decoded("a\rb\n\rc", 64), u"a\u2028b\u2028\u2028c");
    EXPECT_EQ(decoded("", 64), u"");
}

TEST(MainLogPieces, PiecesAreWholeLinesThatDecodeAlike)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    // A CR LF across every read, lines longer than a piece, lone CRs at a
    // piece's end.
    const std::string longLine(10000, 'x');
    for (const std::string& bytes : {mixedLogBytes(7, 50000), std::string(5000, '\r'),
                                     "a\r" + longLine + "\r\n" + longLine, std::string("\n\r")}) {
        writeFile(path, bytes);
        for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{13}, std::size_t{4096}}) {
            SCOPED_TRACE(pieceSize);
            mainlog::PieceReader reader(path);
            ASSERT_TRUE(reader.outcome().ok());
            std::string whole;
            std::string rebuilt;
            while (!reader.atEnd()) {
                std::string piece;
                reader.next(pieceSize, piece);
                // Nothing only when the end is found.
                ASSERT_TRUE(!piece.empty() || reader.atEnd());
                // Never a CR whose LF comes with the next piece.
                EXPECT_FALSE(piece.back() == '\r' && bytes.size() > whole.size() + piece.size() &&
                             bytes[whole.size() + piece.size()] == '\n');
                whole += piece;
                rebuilt += asNormalizedBytes(decoded(piece, 64));
            }
            EXPECT_TRUE(reader.outcome().ok());
            EXPECT_EQ(whole, bytes);
            EXPECT_EQ(rebuilt, asNormalizedBytes(decoded(bytes, 64)));
        }
    }
}

TEST(MainLogPieces, AFileThatGrowsPastTheCapacityWhileReadIsRefused)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "first line\r\n");
    mainlog::PieceReader reader(path);
    ASSERT_TRUE(reader.outcome().ok());
    const auto identity = reader.outcome().identity;
    std::filesystem::resize_file(fileio::toPath(path), mainlog::kCapacityBytes + 1);
    std::size_t read = 0;
    while (!reader.atEnd()) {
        std::string piece;
        reader.next(1 << 20, piece);
        read += piece.size();
    }
    EXPECT_FALSE(reader.outcome().ok());
    EXPECT_EQ(reader.outcome().message(), "Text exceeds memo capacity.");
    EXPECT_LE(read, mainlog::kCapacityBytes);
    // The file as it was opened, so that saving knows it changed.
    EXPECT_EQ(reader.outcome().identity, identity);
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
    makeSparseFile(tooLarge, mainlog::kCapacityBytes + 1);
    for (const auto& refused : {mainlog::read(tooLarge), mainlog::readBytes(tooLarge)}) {
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(refused.message(), "Text exceeds memo capacity.");
        EXPECT_EQ(refused.text, "");
    }
}

TEST(MainLogRead, UnreadablePath)
{
    TempDir dir;
    for (const std::string& path : {dir.file("missing.txt"), dir.file(""), dir.file("missing.")}) {
        const auto result = mainlog::read(path);
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(result.text, "");
        EXPECT_EQ(result.message(), "Cannot open file " + (path.back() == '.' ? path : path + "."));
    }
}

TEST(MainLogWrite, FailureKeepsOldFile)
{
    TempDir dir;
    const std::string missingDir = dir.file("nowhere/log.txt");
    const auto missing = mainlog::write(missingDir, "x\n");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.message(), "Cannot create file " + missingDir + ".");
    EXPECT_EQ(missing.cause(), "No such file or directory");

    const std::string readOnly = dir.file("ro.txt");
    writeFile(readOnly, "old\r\n");
    testing::setReadOnly(readOnly, true);
    const auto refused = mainlog::write(readOnly, "new\n");
    EXPECT_EQ(refused.message(), "Cannot create file " + readOnly + ".");
    EXPECT_EQ(refused.cause(), kReadOnlyCause);
    EXPECT_EQ(readFile(readOnly), "old\r\n");

    const std::string existing = dir.file("log.txt");
    writeFile(existing, "a much longer old text\r\n");
    const auto written = mainlog::write(existing, "new");
    EXPECT_TRUE(written.ok()) << written.message();
    EXPECT_EQ(readFile(existing), "new");
    EXPECT_EQ(written.identity, fileIdentity(existing));
}

// ---- Readers: never block, and tell why they failed ----

std::string outcome(const mainlog::ReadResult& result)
{
    return (result.ok() ? "ok" : result.message()) + " | " + result.cause();
}

#ifndef _WIN32
TEST(MainLogReaders, AFifoSocketOrDeviceIsRefusedWithoutWaiting)
{
    TempDir dir;
    const std::string fifo = dir.file("fifo.log");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string socketPath = dir.file("socket.log");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    for (const std::string& path : {fifo, socketPath, std::string("/dev/zero"), std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        const std::optional<std::string> result = resultWithin(10, [&] { return outcome(mainlog::read(path)); });
        ASSERT_TRUE(result.has_value()) << "the read blocked or did not return";
        // A socket cannot even be opened; the system tells why.
        if (path == socketPath)
            EXPECT_EQ(*result, "Cannot open file " + path + ". | No such device or address");
        else
            EXPECT_EQ(*result, "Cannot open file " + path + ". | it is not a regular file");
    }
    ::close(listener);
}
#else
TEST(MainLogReaders, ADeviceNameOrAFileHeldWithoutSharingIsRefusedWithoutWaiting)
{
    TempDir dir;
    for (const std::string& path : {std::string("CON"), std::string("NUL"), std::string("COM1"), dir.file("nul.log"),
                                    std::string("\\\\.\\NUL")}) {
        SCOPED_TRACE(path);
        // A blocked read never returns; the wait is long only so that a slow
        // start of the reading thread under Wine is not taken for one.
        const std::optional<std::string> result = resultWithin(30, [path] { return outcome(mainlog::read(path)); });
        ASSERT_TRUE(result.has_value()) << "the read blocked or did not return";
        EXPECT_EQ(*result, "Cannot open file " + path + ". | it is not a regular file");
        EXPECT_EQ(mainlog::write(path, "x\n").cause(), kNotRegularFileCause);
    }
    const std::string held = dir.file("held.log");
    writeFile(held, "old\r\n");
    {
        const testing::HeldFile holder(held);
        ASSERT_TRUE(holder.held());
        EXPECT_EQ(outcome(mainlog::read(held)),
                  "Cannot open file " + held + ". | the file is in use by another program");
        const auto refused = mainlog::write(held, "new\n");
        EXPECT_EQ(refused.message(), "Cannot create file " + held + ".");
        EXPECT_EQ(refused.cause(), "the file is in use by another program");
    }
    EXPECT_EQ(readFile(held), "old\r\n");
}
#endif

TEST(MainLogReaders, FailuresTellTheirCause)
{
    TempDir dir;
    EXPECT_EQ(outcome(mainlog::read(dir.file("missing.txt"))),
              "Cannot open file " + dir.file("missing.txt") + ". | No such file or directory");
    EXPECT_EQ(outcome(mainlog::read(fileio::toUtf8(dir.path()))),
              "Cannot open file " + fileio::toUtf8(dir.path()) + ". | it is not a regular file");

    const std::string tooLarge = dir.file("huge.txt");
    makeSparseFile(tooLarge, mainlog::kCapacityBytes + 1);
    const auto refused = mainlog::read(tooLarge);
    EXPECT_EQ(refused.message(), "Text exceeds memo capacity.");
    // The fixed text does not name the file; its cause does.
    EXPECT_EQ(refused.cause(), tooLarge + " holds 67108865 bytes, more than the 67108864 the log can hold");
    EXPECT_EQ(refused.identity, fileIdentity(tooLarge));
}

#ifndef _WIN32
TEST(MainLogReaders, AWriteOnlyFileIsRefusedWithItsCause)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const std::string path = dir.file("write-only.txt");
    writeFile(path, "secret\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    EXPECT_EQ(outcome(mainlog::read(path)), "Cannot open file " + path + ". | Permission denied");
}
#endif

// ---- Log integrity: the lock, and the files the program knows ----

TEST(MainLogIntegrity, WritersHoldingTheLockLoseNoLine)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    constexpr int kWriters = 4;
    constexpr int kLines = 25;
    std::vector<std::thread> writers;
    std::atomic<int> failures{0};
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            for (int i = 0; i < kLines; ++i) {
                // Each appends under its own lock, as separate programs do.
                const mainlog::LogLock lock(path);
                std::string text;
                if (std::filesystem::exists(path)) {
                    const auto read = mainlog::read(path);
                    text = read.text;
                    failures += read.ok() ? 0 : 1;
                }
                mainlog::appendLine(text, "writer " + std::to_string(w) + " line " + std::to_string(i));
                mainlog::WriteOptions options;
                options.heldLock = &lock;
                failures += lock.ok() && mainlog::write(path, text, options).ok() ? 0 : 1;
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(failures, 0);
    const std::string bytes = readFile(path);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), kWriters * kLines);
}

#ifndef _WIN32
TEST(MainLogIntegrity, AReadOnlyFolderGivesTheWritesOwnFailure)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "old\r\n");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    const auto refused = mainlog::write(path, "new\n");
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(refused.message(), "Cannot create file " + path + ".");
    EXPECT_EQ(refused.cause(), "Permission denied");
    EXPECT_EQ(readFile(path), "old\r\n");
}
#endif

TEST(MainLogIntegrity, AWriteThatExpectsAnotherFileLeavesTheFile)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "seen\r\n");
    const std::optional<FileIdentity> seen = fileIdentity(path);
    writeFile(path, "changed meanwhile\r\n");
    mainlog::WriteOptions options;
    options.expected = seen;
    const auto refused = mainlog::write(path, "mine\n", options);
    EXPECT_EQ(refused.message(), "Cannot create file " + path + ".");
    EXPECT_EQ(refused.cause(), kChangedMeanwhileCause);
    EXPECT_EQ(readFile(path), "changed meanwhile\r\n");
}

// An append reads the log, then replaces it. A program that takes no lock
// (an editor saving, a writer appending in place, one creating the log) may
// step in between: its text stays, and the lines go after it.
TEST(MainLogAppend, AChangeBetweenReadAndReplaceIsKeptAndTheLinesGoAfterIt)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "first\r\n");
    int reads = 0;
    mainlog::AppendOptions options;
    options.afterRead = [&] {
        if (++reads == 1)
            writeFile(path, "first\r\nsaved by an editor\r\n");  // in place, as most editors save
    };
    const auto appended = mainlog::appendLines(path, {"entry 1", "entry 2"}, options);
    ASSERT_TRUE(appended.ok()) << appended.message() << ": " << appended.cause();
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(readFile(path), "first\r\nsaved by an editor\r\nentry 1\r\nentry 2\r\n");
    EXPECT_EQ(appended.identity, fileIdentity(path));

    // A file put in place by rename, and a log created meanwhile.
    reads = 0;
    options.afterRead = [&] {
        if (++reads == 1) {
            ASSERT_TRUE(replaceFileAtomically(path, "replaced\r\n"));
        }
    };
    ASSERT_TRUE(mainlog::appendLines(path, {"entry 3"}, options).ok());
    EXPECT_EQ(readFile(path), "replaced\r\nentry 3\r\n");

    const std::string fresh = dir.file("new.txt");
    reads = 0;
    options.afterRead = [&] {
        if (++reads == 1)
            writeFile(fresh, "created meanwhile");
    };
    ASSERT_TRUE(mainlog::appendLines(fresh, {"entry 4"}, options).ok());
    EXPECT_EQ(readFile(fresh), "created meanwhile\r\nentry 4");  // after a line left open
    EXPECT_TRUE(mainlog::appendLines(dir.file("plain.txt"), {"entry 5"}).ok());
    EXPECT_EQ(readFile(dir.file("plain.txt")), "entry 5\r\n");
}

TEST(MainLogAppend, ALogThatKeepsChangingIsLeftAsItIsAndTheFailureSaysSo)
{
    TempDir dir;
    const std::string path = dir.file("log.txt");
    writeFile(path, "x");
    int reads = 0;
    mainlog::AppendOptions options;
    options.afterRead = [&] { writeFile(path, std::string(static_cast<std::size_t>(++reads) + 1, 'x')); };
    const auto refused = mainlog::appendLines(path, {"entry"}, options);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "Cannot create file " + path + ".");
    EXPECT_EQ(refused.cause(), kChangedMeanwhileCause);
    EXPECT_EQ(reads, mainlog::kAppendTries);
    EXPECT_EQ(readFile(path), std::string(static_cast<std::size_t>(reads) + 1, 'x'));

    // A file with NUL bytes is no log, and one that cannot be read is not replaced.
    writeFile(path, std::string("pilot\0bytes", 11));
    const auto notALog = mainlog::appendLines(path, {"entry"});
    EXPECT_TRUE(notALog.notTextLog);
    EXPECT_EQ(readFile(path), std::string("pilot\0bytes", 11));
    ASSERT_TRUE(std::filesystem::create_directory(dir.file("folder.txt")));
    const auto folder = mainlog::appendLines(dir.file("folder.txt"), {"entry"});
    EXPECT_EQ(folder.message(), "Cannot open file " + dir.file("folder.txt") + ".");
}

#ifndef _WIN32  // links need privileges on Windows
TEST(MainLogIntegrity, KnownFilesTellWhatAReplaceWouldRisk)
{
    using Risk = mainlog::KnownFiles::Risk;
    TempDir dir;
    const std::string loaded = dir.file("loaded.log");
    const std::string failed = dir.file("failed.log");
    const std::string absent = dir.file("absent.log");
    const std::string stranger = dir.file("stranger.log");
    writeFile(loaded, "one\r\n");
    writeFile(failed, "cannot be loaded");
    writeFile(stranger, "never seen");

    mainlog::KnownFiles known;
    known.loaded(loaded, fileIdentity(loaded));
    known.loadFailed(failed, fileIdentity(failed));
    known.loaded(absent, std::nullopt);
    const auto risk = [&](const std::string& path) { return known.risk(path, fileIdentity(path)); };

    EXPECT_EQ(risk(loaded), Risk::None);
    EXPECT_EQ(risk(stranger), Risk::NotHeld);
    EXPECT_EQ(risk(absent), Risk::None);
    EXPECT_EQ(risk(failed), Risk::NotLoaded);
    // Other names of the same file.
    std::filesystem::create_symlink(failed, dir.file("failed-link.log"));
    std::filesystem::create_hard_link(failed, dir.file("failed-hard.log"));
    EXPECT_EQ(risk(fileio::toUtf8(dir.path()) + "/./failed.log"), Risk::NotLoaded);
    EXPECT_EQ(risk(dir.file("failed-link.log")), Risk::NotLoaded);
    EXPECT_EQ(risk(dir.file("failed-hard.log")), Risk::NotLoaded);

    // Changed in place, replaced, created where there was none.
    writeFile(loaded, "one\r\ntwo\r\n");
    EXPECT_EQ(risk(loaded), Risk::Changed);
    known.written(loaded, fileIdentity(loaded));
    EXPECT_EQ(risk(loaded), Risk::None);
    ASSERT_TRUE(mainlog::write(loaded, "by another program\n").ok());
    EXPECT_EQ(risk(loaded), Risk::Changed);
    writeFile(absent, "appeared");
    EXPECT_EQ(risk(absent), Risk::Changed);

    // A file written by us after all is no longer at stake as it was.
    known.written(failed, fileIdentity(failed));
    EXPECT_EQ(risk(failed), Risk::None);
    // A file that is gone loses nothing.
    std::filesystem::remove(loaded);
    EXPECT_EQ(risk(loaded), Risk::None);
}

#endif

#ifdef _WIN32
// The classic program's log, c:\VANTREL_MainLog.txt, named by the LogFile
// key: where the root of drive C: cannot be written, the save fails with the
// file and its cause and the entry goes nowhere else.
TEST(MainLogWrite, ALogOnDriveCThatCannotBeWrittenFailsWithTheFileAndWritesNowhereElse)
{
    TempDir home;
    const testing::ScopedEnv profile("USERPROFILE", fileio::toUtf8(home.path()).c_str());
    const std::string log =
        "c:\\VANTREL_MainLog-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".txt";
    const std::string lockFile = "c:\\." + log.substr(3) + ".lock";
    writeFile(log, "old entry\r\n");
    const bool created = std::filesystem::exists(fileio::toPath(log));
    if (created)
        testing::setReadOnly(log, true);  // else drive C:'s root is closed to this user already
    const auto listing = [] {
        std::set<std::string> names = testing::entriesOf(fileio::toPath("c:\\"));
        std::erase_if(names, [](const std::string& name) { return name.find("VANTREL_MainLog") == std::string::npos; });
        return names;
    };
    const std::set<std::string> before = listing();

    const std::string ini = home.file("vantrel.ini");
    writeFile(ini, "[ZADAdeda]\r\nLogFile=" + log + "\r\n");
    SettingsStore settings(ini);
    const std::string logFile = settings.read(keys::LogFile, paths::defaultLogFile());
    ASSERT_EQ(logFile, log);

    // Appending an entry: read, add the line and replace, under the log's lock.
    std::string text = mainlog::read(logFile).text;
    mainlog::appendLine(text, "Wedge - Score: 1000 (1000+0)");
    const mainlog::LogLock lock(logFile);
    mainlog::WriteOptions options;
    options.heldLock = &lock;
    const FileResult failed = lock.ok() ? FileResult(mainlog::write(logFile, text, options)) : lock.result();
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.message(), "Cannot create file " + log + ".");
    EXPECT_EQ(failed.cause(), created ? std::string(kReadOnlyCause) : std::string("Permission denied"));

    if (created) {
        EXPECT_EQ(readFile(log), "old entry\r\n");
        testing::setReadOnly(log, false);
        std::filesystem::remove(fileio::toPath(log));
    }
    std::error_code ignored;
    std::filesystem::remove(fileio::toPath(lockFile), ignored);
    // Neither the default log nor anything else in the profile, and no
    // temporary file left beside the log.
    EXPECT_EQ(testing::entriesOf(home.path()), std::set<std::string>{"vantrel.ini"});
    std::set<std::string> after = listing();
    after.erase(log.substr(3));
    after.erase(lockFile.substr(3));
    std::set<std::string> expected = before;
    expected.erase(log.substr(3));
    EXPECT_EQ(after, expected);
}
#endif

}  // namespace
}  // namespace vantrel
