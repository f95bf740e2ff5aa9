// The settings file: reading, writing and the files it cannot use.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <utility>
#include <vector>
#include <string>

#include "TestSupport.h"
#include "core/files/AtomicFile.h"
#include "core/files/FileIO.h"
#include "core/text/TextRules.h"
#include "core/settings/SettingsStore.h"

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

bool exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(fileio::toPath(path), ignored));
}

constexpr std::string_view S = kSettingsSection;

// ---- reading ---------------------------------------------------------------

TEST(SettingsStoreRead, MissingFileGivesDefaultsAndIsNotCreated)
{
    TempDir dir;
    const std::string path = dir.file("cfg/vantrel.ini");
    SettingsStore store(path);
    EXPECT_EQ(store.ReadString(S, "LastDir", "/fallback"), "/fallback");
    EXPECT_EQ(store.read("CheckCheat", "1"), "1");
    store.revalidate();
    store.UpdateFile();
    EXPECT_FALSE(exists(dir.file("cfg")));
}

// Players coming from the classic program keep their settings: while the
// settings file is missing, the first former file that reads is read in its
// place, and the first write puts its settings and the change into the new
// file; the former file is never written.
TEST(SettingsStoreRead, AFormerSettingsFileStandsInUntilTheFirstWrite)
{
    TempDir dir;
    const std::string path = dir.file("cfg/vantrel.ini");
    const std::string folderInTheWay = dir.file("folder.ini");
    std::filesystem::create_directory(fileio::toPath(folderInTheWay));
    const std::string former = dir.file("windows/vantrel.ini");
    std::filesystem::create_directory(fileio::toPath(dir.file("windows")));
    const std::string formerText = "[ZADAdeda]\r\nLastDir=C:\\XWA\r\nCheckCheat=0\r\n";
    writeFile(former, formerText);

    SettingsStore store(path, {dir.file("missing.ini"), folderInTheWay, former});
    EXPECT_EQ(store.read("LastDir", ""), "C:\\XWA");
    EXPECT_EQ(store.read("CheckCheat", "1"), "0");
    EXPECT_TRUE(store.fileMissing());
    EXPECT_FALSE(exists(dir.file("cfg")));

    store.WriteString(S, "NameSource", "2");
    EXPECT_EQ(readFile(path), formerText + "NameSource=2\r\n");
    EXPECT_EQ(readFile(former), formerText);
    SettingsStore again(path, {former});
    EXPECT_EQ(again.read("LastDir", ""), "C:\\XWA");
    EXPECT_EQ(again.read("NameSource", "0"), "2");

    // The file itself, once there, is what counts.
    writeFile(former, "[ZADAdeda]\r\nLastDir=elsewhere\r\n");
    SettingsStore later(path, {former});
    EXPECT_EQ(later.read("LastDir", ""), "C:\\XWA");
}

TEST(SettingsStoreRead, SectionKeyAndValueRules)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    writeFile(path,
              "Stray=before any section\n"
              "[Other]\n"
              "IncludeDate=1\n"
              "  [ zadadeda ]  \n"
              "LastDir=\n"
              "  logfile  =  /logs/main log.txt \t\n"
              "; NameSource=0\n"
              "# ScoreFormat=0\n"
              "no equals sign here\n"
              "LOGFILE=second\n"
              "Quoted=\"  padded  \"\n"
              "Half=\"open\n"
              "[ZADADEDA]\n"
              "MegaDetails=1\n");
    SettingsStore store(path);
    EXPECT_EQ(store.ReadString(S, "LastDir", "/fallback"), "");
    EXPECT_EQ(store.ReadString("ZADADEDA", "LogFile", ""), "/logs/main log.txt");
    EXPECT_EQ(store.ReadString(S, "NameSource", "2"), "2");
    EXPECT_EQ(store.ReadString(S, "ScoreFormat", "1"), "1");
    EXPECT_EQ(store.ReadString(S, "IncludeDate", "0"), "0");
    EXPECT_EQ(store.ReadString(S, "Stray", "none"), "none");
    EXPECT_EQ(store.ReadString(S, "Quoted", ""), "  padded  ");
    EXPECT_EQ(store.ReadString(S, "Half", ""), "\"open");
    EXPECT_EQ(store.ReadString(S, "megadetails", "0"), "1");
    EXPECT_EQ(store.ReadString("Other", "includedate", "0"), "1");
}

TEST(SettingsStoreRead, CrLfLinesAndByteOrderMark)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    writeFile(path, "\xEF\xBB\xBF[ZADAdeda]\r\nLastDir=C:\\Pilots\r\nSaveFilename=0\r\nLast=x\r");
    SettingsStore store(path);
    EXPECT_EQ(store.read("LastDir", ""), "C:\\Pilots");
    EXPECT_EQ(store.read("SaveFilename", "1"), "0");
    EXPECT_EQ(store.read("Last", ""), "x");
}

TEST(SettingsStoreRead, LongValuesAreCutAtWholeCharacters)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    std::string euros;
    for (int i = 0; i < 3000; ++i)
        euros += "\xE2\x82\xAC";
    writeFile(path, "[ZADAdeda]\nLastDir=" + std::string(3000, 'd') + "\nLogFile=" + euros +
                        "\nShort=" + std::string(2047, 's') + "\n");
    SettingsStore store(path);
    EXPECT_EQ(store.read("LastDir", ""), std::string(3000, 'd').substr(0, 2047));
    EXPECT_EQ(store.read("LogFile", ""), euros.substr(0, 3 * 2047));
    EXPECT_EQ(store.read("Short", ""), std::string(2047, 's'));
}

// ---- writing ---------------------------------------------------------------

TEST(SettingsStoreWrite, ReplacesInPlaceAndAppendsAtSectionEnd)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    writeFile(path,
              "; kept comment\n"
              "[ZADAdeda]\n"
              "lastdir = /old  \n"
              "SaveFilename=1\n"
              "\n"
              "; about Other\n"
              "[Other]\n"
              "LastDir=keep\n");
    SettingsStore store(path);
    store.WriteString("zadadeda", "LastDir", "/new");
    store.write("LogFile", "/l.txt");
    store.write("SaveFilename", "0");
    EXPECT_EQ(readFile(path),
              "; kept comment\n"
              "[ZADAdeda]\n"
              "lastdir = /new  \n"
              "SaveFilename=0\n"
              "LogFile=/l.txt\n"
              "\n"
              "; about Other\n"
              "[Other]\n"
              "LastDir=keep\n");
    EXPECT_EQ(SettingsStore(path).ReadString("Other", "LastDir", ""), "keep");
}

// The browser page keeps the settings file's text, not a file: the same
// rules read and change the text (a write that went to a file would throw:
// the store has no path).
TEST(SettingsStoreText, TextIsReadAndChangedByTheFileRulesWithoutAnyFile)
{
    const std::string before = "; kept comment\r\n[zadadeda]\r\n lastdir = \"/old\"  \r\n[Other]\r\nLastDir=keep\r\n";
    SettingsStore store = SettingsStore::fromText(before);
    EXPECT_EQ(store.read("LastDir", "x"), "/old");
    EXPECT_EQ(store.ReadString("other", "lastdir", "x"), "keep");
    store.revalidate();
    store.write("LastDir", "/new");
    store.write("NameSource", "0");
    EXPECT_EQ(store.text(),
              "; kept comment\r\n[zadadeda]\r\n lastdir = /new  \r\nNameSource=0\r\n[Other]\r\nLastDir=keep\r\n");
    EXPECT_EQ(store.read("NameSource", "2"), "0");
    EXPECT_EQ(SettingsStore::fromText({}).read("NameSource", "2"), "2");
}

TEST(SettingsStoreWrite, AddsSectionAndFileWhereMissing)
{
    TempDir dir;
    const std::string fresh = dir.file("a/b/vantrel.ini");
    SettingsStore created(fresh);
    created.write("LastDir", "/start");
    EXPECT_EQ(readFile(fresh), "[ZADAdeda]\nLastDir=/start\n");

    const std::string noSection = dir.file("other.ini");
    writeFile(noSection, "[Other]\nk=v");
    SettingsStore appended(noSection);
    appended.write("LastDir", "/x");
    EXPECT_EQ(readFile(noSection), "[Other]\nk=v\n[ZADAdeda]\nLastDir=/x\n");

    const std::string emptySection = dir.file("empty.ini");
    writeFile(emptySection, "[ZADAdeda]\n\n[Other]\nk=v\n");
    SettingsStore intoEmpty(emptySection);
    intoEmpty.write("IncludeDate", "1");
    EXPECT_EQ(readFile(emptySection), "[ZADAdeda]\nIncludeDate=1\n\n[Other]\nk=v\n");
}

TEST(SettingsStoreWrite, KeepsCrLfLineEnds)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    writeFile(path, "[ZADAdeda]\r\nLastDir=C:\\\r\n\r\n[Other]\r\nk=v");
    SettingsStore store(path);
    store.write("LastDir", "D:\\Pilots\\Joe.plt");
    store.write("MegaDetails", "1");
    store.WriteString("Other", "n", "2");
    store.WriteString("Third", "m", "3");
    EXPECT_EQ(readFile(path),
              "[ZADAdeda]\r\nLastDir=D:\\Pilots\\Joe.plt\r\nMegaDetails=1\r\n\r\n"
              "[Other]\r\nk=v\r\nn=2\r\n[Third]\r\nm=3\r\n");

    // A file cut off between CR and LF: the CR becomes part of a whole line end.
    const std::string cut = dir.file("cut.ini");
    writeFile(cut, "[ZADAdeda]\r\nk=v\r");
    SettingsStore(cut).write("n", "2");
    EXPECT_EQ(readFile(cut), "[ZADAdeda]\r\nk=v\r\nn=2\r\n");
    EXPECT_EQ(SettingsStore(cut).read("k", ""), "v");
}

TEST(SettingsStoreWrite, ValuesReadBackUnchanged)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    const std::string values[] = {"  leading", "trailing\t",    "\"quoted\"", "\"",     "\"\"",    "",
                                  " ",         "a = b ; c # d", "[x]",        "\"half", "€ and ü", "'single'"};
    for (const std::string& value : values) {
        SettingsStore(path).write("LastDir", value);
        EXPECT_EQ(SettingsStore(path).read("LastDir", "default"), value) << "value [" << value << "]";
    }
    // A line cannot hold a line break, so breaks are stored as blanks.
    SettingsStore(path).write("LogFile", "one\r\ntwo\nthree ");
    EXPECT_EQ(SettingsStore(path).read("LogFile", ""), "one  two three ");
    EXPECT_EQ(SettingsStore(path).read("LastDir", ""), "'single'");
}

TEST(SettingsStoreWrite, LongValueIsStoredWholeAndReadCut)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    const std::string longDir = "/" + std::string(2999, 'p');
    SettingsStore(path).write("LastDir", longDir);
    EXPECT_EQ(readFile(path), "[ZADAdeda]\nLastDir=" + longDir + "\n");
    EXPECT_EQ(SettingsStore(path).read("LastDir", ""), longDir.substr(0, 2047));
}

// ---- large files -----------------------------------------------------------

// A big file of repeated sections and keys given many times in other letter
// cases: every key reads its first value, and a write changes only the line
// of that first value, or adds a line after the first section's last key.
TEST(SettingsStoreLarge, FirstOfDuplicateKeysWinsAndWritesChangeOnlyTheirLine)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    const std::string sectionNames[] = {"ZADAdeda", "Other", "zadaDEDA", "OTHER", "Third"};
    std::vector<std::string> lines;
    std::map<std::pair<std::string, std::string>, std::string> firstValues;  // by lower-case names
    std::map<std::pair<std::string, std::string>, std::size_t> firstLines;
    std::size_t lastKeyOfFirstOther = 0;
    auto lower = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    unsigned random = 12345;
    for (int block = 0; block < 40; ++block) {
        const std::string& section = sectionNames[block % 5];
        lines.push_back("[" + section + "]");
        for (int k = 0; k < 1000; ++k) {
            random = random * 1103515245u + 12345u;
            const unsigned id = (random >> 8) % 6000;
            std::string key = "Key" + std::to_string(id);
            if (random & 1)
                key = lower(key);
            else if (random & 2)
                key[0] = 'k', key[2] = 'Y';
            const std::string value = std::string("v") + std::to_string(block) + "_" + std::to_string(k);
            lines.push_back(key + ((random & 4) ? " = \"" + value + "\" " : "=" + value));
            const auto name = std::pair{lower(section), lower(key)};
            if (firstValues.emplace(name, value).second)
                firstLines.emplace(name, lines.size() - 1);
            if (block == 1)
                lastKeyOfFirstOther = lines.size() - 1;
        }
        lines.push_back("");
        lines.push_back("; end of block " + std::to_string(block));
    }
    auto joined = [](const std::vector<std::string>& all) {
        std::string text;
        for (const std::string& line : all)
            text += line + "\r\n";
        return text;
    };
    writeFile(path, joined(lines));

    SettingsStore store(path);
    for (const auto& [name, value] : firstValues)
        ASSERT_EQ(store.ReadString(name.first, name.second, "none"), value) << name.first << "/" << name.second;
    EXPECT_EQ(store.ReadString("ZADAdeda", "Key6000", "none"), "none");
    EXPECT_EQ(store.ReadString("Fourth", "Key1", "none"), "none");

    // Replaced where readers find it: in its first line, letter case kept.
    const auto target = firstValues.begin()->first;
    std::string& line = lines[firstLines.at(target)];
    store.WriteString(target.first, target.second, "replaced");
    const std::size_t eq = line.find('=');
    line = line.substr(0, eq) + (line[eq + 1] == ' ' ? "= replaced " : "=replaced");
    EXPECT_EQ(readFile(path), joined(lines));
    EXPECT_EQ(SettingsStore(path).ReadString(target.first, target.second, ""), "replaced");

    // A new key goes after the last key of the first section of its name.
    store.WriteString("other", "NewKey", "added");
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKeyOfFirstOther) + 1, "NewKey=added");
    EXPECT_EQ(readFile(path), joined(lines));
    SettingsStore reread(path);
    EXPECT_EQ(reread.ReadString("OTHER", "newkey", ""), "added");
    for (const auto& [name, value] : firstValues) {
        if (name != target) {
            ASSERT_EQ(reread.ReadString(name.first, name.second, "none"), value) << name.first << "/" << name.second;
        }
    }
}

// ---- changes by others -----------------------------------------------------

TEST(SettingsStoreRevalidate, SeesChangesMadeElsewhere)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    SettingsStore mine(path);
    SettingsStore other(path);
    mine.write("LastDir", "/a");
    EXPECT_EQ(other.read("LastDir", ""), "/a");

    mine.write("LastDir", "/b");
    other.revalidate();
    EXPECT_EQ(other.read("LastDir", ""), "/b");

    // Same size, same file and, as on a file system with a coarse clock, the
    // same modification time: only the content differs.
    const std::filesystem::file_time_type before = std::filesystem::last_write_time(fileio::toPath(path));
    mine.revalidate();
    writeFile(path, "[ZADAdeda]\nLastDir=/c\n");
    std::filesystem::last_write_time(fileio::toPath(path), before);
    mine.UpdateFile();
    EXPECT_EQ(mine.read("LastDir", ""), "/c");

    // A write first takes in what others wrote, so it loses none of it.
    other.write("IncludeDate", "1");
    mine.write("MegaDetails", "1");
    EXPECT_EQ(readFile(path), "[ZADAdeda]\nLastDir=/c\nIncludeDate=1\nMegaDetails=1\n");

    std::filesystem::remove(fileio::toPath(path));
    mine.revalidate();
    EXPECT_EQ(mine.read("LastDir", "gone"), "gone");
}

// ---- refused writes --------------------------------------------------------

void expectRefused(const std::string& path)
{
    SettingsStore store(path);
    try {
        store.write("LastDir", "/new");
        ADD_FAILURE() << "write to " << path << " was not refused";
    } catch (const SettingsWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + path).c_str());
    }
}

TEST(SettingsStoreWrite, RefusedWriteThrowsAndKeepsFile)
{
    TempDir dir;
    const std::string readOnly = dir.file("readonly.ini");
    writeFile(readOnly, "[ZADAdeda]\nLastDir=/old\n");
    testing::setReadOnly(readOnly, true);
    expectRefused(readOnly);
    EXPECT_EQ(readFile(readOnly), "[ZADAdeda]\nLastDir=/old\n");

    const std::string plainFile = dir.file("plain");
    writeFile(plainFile, "x");
    expectRefused(plainFile + "/vantrel.ini");
    EXPECT_EQ(readFile(plainFile), "x");

    EXPECT_EQ(entries(dir), (std::set<std::string>{"plain", "readonly.ini"}));
}

// ---- readers that must not hang --------------------------------------------
//
// Whatever lies at the settings path, the store looks at it without waiting:
// what is no regular file, or cannot be read, reads as defaults and refuses
// every write as unreadable, so the settings it may hold are never replaced.
// Each case runs in a child process with a time limit, so a store that
// blocks fails the test instead of hanging it.

// What a store over `path` does: two reads, a revalidate and UpdateFile, then
// a write; "read error: TEXT | CAUSE" when the write is refused as unreadable.
std::string unreadableStoreSteps(const std::string& path)
{
    SettingsStore store(path);
    std::string seen = store.read("LastDir", "/default");
    store.revalidate();
    store.UpdateFile();
    seen += ' ';
    seen += store.read("CheckCheat", "1");
    try {
        store.write("LastDir", "/new");
        seen += " written";
    } catch (const SettingsReadError& error) {
        seen += std::string(" read error: ") + error.what() + " | " + error.cause();
    } catch (const SettingsWriteError& error) {
        seen += std::string(" write error: ") + error.what() + " | " + error.cause();
    }
    seen += ' ';
    seen += store.read("LastDir", "/default");
    return seen;
}

std::string expectedUnreadable(const std::string& path, const std::string& cause)
{
    return "/default 1 read error: Cannot read the settings file " + path + ". | " + cause + " /default";
}

#ifndef _WIN32

mode_t fileType(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

TEST(SettingsStoreUnreadable, FifoReadsAsDefaultsWithoutWaitingAndIsNeverReplaced)
{
    TempDir dir;
    const std::string fifo = dir.file("vantrel.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(fifo); }),
              expectedUnreadable(fifo, "it is not a regular file"));
    EXPECT_EQ(fileType(fifo), static_cast<mode_t>(S_IFIFO));

    // Reached through a link, too.
    const std::string link = dir.file("link.ini");
    ASSERT_EQ(::symlink("vantrel.ini", link.c_str()), 0);
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(link); }),
              expectedUnreadable(link, "it is not a regular file"));
    EXPECT_EQ(fileType(fifo), static_cast<mode_t>(S_IFIFO));
    EXPECT_EQ(entries(dir), (std::set<std::string>{"link.ini", "vantrel.ini"}));
}

TEST(SettingsStoreUnreadable, SocketAndFolderAreUnreadableWithTheirCause)
{
    TempDir dir;
    const std::string socketPath = dir.file("socket.ini");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(socketPath); }),
              expectedUnreadable(socketPath, "it is not a regular file"));
    ::close(listener);
    EXPECT_EQ(fileType(socketPath), static_cast<mode_t>(S_IFSOCK));

    const std::string folder = dir.file("folder.ini");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(folder); }),
              expectedUnreadable(folder, "Is a directory"));
    EXPECT_EQ(fileType(folder), static_cast<mode_t>(S_IFDIR));
    EXPECT_EQ(entries(dir), (std::set<std::string>{"folder.ini", "socket.ini"}));
}

TEST(SettingsStoreUnreadable, DeviceReadsAsDefaultsWithoutReadingIt)
{
    // /dev/zero never ends and a terminal waits for input: neither is read.
    // (No write here: a store that failed to refuse it would replace the
    // device node.)
    for (const std::string device : {"/dev/zero", "/dev/tty", "/dev/console"}) {
        if (fileType(device) != S_IFCHR)
            continue;
        const auto seen = testing::resultWithin(10, [&] {
            SettingsStore store(device);
            std::string text = store.read("LastDir", "/default");
            store.revalidate();
            return text + " " + store.read("CheckCheat", "1");
        });
        EXPECT_EQ(seen, "/default 1") << device;
    }
}

TEST(SettingsStoreUnreadable, FileWithoutReadPermissionIsUnreadable)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file whatever its permission bits; run as another user to check this";
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    writeFile(path, "[ZADAdeda]\nLastDir=/kept\n");
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(path); }),
              expectedUnreadable(path, "Permission denied"));
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(readFile(path), "[ZADAdeda]\nLastDir=/kept\n");

    // A folder that may not be searched hides whether the file is there.
    const std::string locked = dir.file("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0700), 0);
    writeFile(locked + "/vantrel.ini", "[ZADAdeda]\nLastDir=/kept\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(locked + "/vantrel.ini"); }),
              expectedUnreadable(locked + "/vantrel.ini", "Permission denied"));
    ::chmod(locked.c_str(), 0700);
    EXPECT_EQ(readFile(locked + "/vantrel.ini"), "[ZADAdeda]\nLastDir=/kept\n");
}

TEST(SettingsStoreUnreadable, ReadFailureTellsWhyTheLastLookFailed)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    SettingsStore store(path);
    store.revalidate();
    EXPECT_TRUE(store.fileMissing());
    EXPECT_EQ(store.readFailure(), "No such file or directory");

    writeFile(path, "[ZADAdeda]\nLastDir=/a\n");
    store.revalidate();
    EXPECT_FALSE(store.fileMissing());
    EXPECT_EQ(store.readFailure(), "");
    EXPECT_EQ(store.read("LastDir", ""), "/a");

    // Once it turns unreadable, the values read before are gone too: the
    // store holds no copy it could not check against the file.
    ::unlink(path.c_str());
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    const auto seen = testing::resultWithin(10, [&] {
        store.revalidate();
        return store.readFailure() + " | " + (store.fileMissing() ? "missing" : "there") + " | " +
               store.read("LastDir", "/default");
    });
    EXPECT_EQ(seen, "it is not a regular file | there | /default");

    // A path through a plain file names nothing: missing, and a write tries
    // (and fails) as for any missing file.
    writeFile(dir.file("plain"), "x");
    SettingsStore through(dir.file("plain") + "/vantrel.ini");
    through.revalidate();
    EXPECT_TRUE(through.fileMissing());
    EXPECT_EQ(through.readFailure(), "Not a directory");
}

#endif  // !_WIN32

#ifdef _WIN32
// Windows has no FIFOs; its devices are reached by reserved names in any
// folder and by the \\.\ namespace. None is opened, read or written.
TEST(SettingsStoreUnreadable, DeviceNamesAndFoldersAreUnreadableWithoutWaiting)
{
    TempDir dir;
    for (const std::string& device : {std::string("CON"), std::string("NUL"), std::string("COM1"), dir.file("nul"),
                                      dir.file("con.ini"), dir.file("LPT1.txt"), std::string("\\\\.\\NUL")}) {
        EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(device); }),
                  expectedUnreadable(device, "it is not a regular file"))
            << device;
    }
    const std::string folder = dir.file("folder.ini");
    std::filesystem::create_directory(fileio::toPath(folder));
    EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(folder); }),
              expectedUnreadable(folder, "Is a directory"));
    EXPECT_EQ(entries(dir), (std::set<std::string>{"folder.ini"}));
}

TEST(SettingsStoreUnreadable, FileAnotherProgramHoldsWithoutSharingTellsWhy)
{
    TempDir dir;
    const std::string path = dir.file("vantrel.ini");
    writeFile(path, "[ZADAdeda]\nLastDir=/kept\n");
    {
        const testing::HeldFile held(path);
        ASSERT_TRUE(held.held());
        EXPECT_EQ(testing::resultWithin(10, [&] { return unreadableStoreSteps(path); }),
                  expectedUnreadable(path, "the file is in use by another program"));
    }
    EXPECT_EQ(readFile(path), "[ZADAdeda]\nLastDir=/kept\n");
    SettingsStore store(path);
    EXPECT_EQ(store.read("LastDir", ""), "/kept");
}
#endif

}  // namespace
}  // namespace vantrel
