// vantrel-cli end to end: the real binary, its output streams and exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#include <utility>

#include "CliFixture.h"
#include "core/text/TextRules.h"
#include "core/Version.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

class CliTest : public CliFixture {
protected:
    std::string pilot(const std::string& name, int missions, std::int32_t tod = 1000)
    {
        PilotImage image = namedPilot("Jan Ors", tod);
        std::int32_t total = tod;
        for (int i = 0; i < missions; ++i) {
            image.setMission(L::CampaignMissionRecords, static_cast<std::uint32_t>(i), {1, 1, 100 * (i + 1), 61, 0});
            total -= 100 * (i + 1);
        }
        image.setMission(L::CampaignMissionRecords, 0, {1, 1, 100 + total, 61, 0});
        const std::string path = dir.file(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
};

TEST_F(CliTest, ReportPrintsWhatTheTextWindowHolds)
{
    const std::string path = pilot("Jan_Ors.plt", 3);
    const CliRun run = cli("report --ini " + ini + " " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Name: Jan Ors\n"
              "TOD Score: 1000 TOD Bonus: 0\n"
              "Azz Score: 0 Azz Bonus: 0\n"
              "-------------------------------------------------\n"
              "Total: 1000\n"
              "File Cheat/Error check:\n"
              "Pilotfile seems OK.\n"
              "--- Mission details: ----------------------------\n"
              "1: Tot. Score= 500 (500+0)\n"
              "2: Tot. Score= 200 (200+0)\n"
              "3: Tot. Score= 300 (300+0)\n");
}

TEST_F(CliTest, ReportFromIsTheFieldBeforeTheLoad)
{
    const std::string path = pilot("p.plt", 5);
    writeFile(ini, "[ZADAdeda]\nShowMissionTotal=0\nShowMissionBonus=0\n");
    const CliRun run = cli("report --ini=" + ini + " --from 10 " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--- Mission details: ----------------------------\n4: Score=400\n5: Score=500\n"),
              std::string::npos)
        << run.out;
}

TEST_F(CliTest, MissionsUsesFromAndTo)
{
    const std::string path = pilot("p.plt", 5);
    writeFile(ini, "[ZADAdeda]\nShowMissionTotal=0\nShowMissionBonus=0\nShowMissionTime=1\n");
    EXPECT_EQ(cli("missions --ini " + ini + " --from 2 --to 3 " + path).out,
              "--- Mission details: ----------------------------\n2: Score=200 Time=1:1\n3: Score=300 Time=1:1\n");
    EXPECT_EQ(cli("missions --ini " + ini + " --to -5 " + path).out,
              "--- Mission details: ----------------------------\n");
    EXPECT_EQ(cli("missions --ini " + ini + " --to=-5 " + path).out,
              "--- Mission details: ----------------------------\n");
    EXPECT_EQ(cli("missions --ini " + ini + " --from 4 " + path).out,
              "--- Mission details: ----------------------------\n4: Score=400 Time=1:1\n5: Score=500 Time=1:1\n");
}

TEST_F(CliTest, EntryGoesOnPastFilesThatFailToLoad)
{
    const std::string good = pilot("Wedge_Antilles.plt", 1);
    const std::string bad = dir.file("bad.plt");
    writeFile(bad, "too short");
    const CliRun run = cli("entry --ini " + ini + " " + good + " " + bad + " " + dir.file("missing.plt") + " " + good);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Wedge - Score: 1000 (1000+0)\nWedge - Score: 1000 (1000+0)\n");
    EXPECT_EQ(run.err, bad + ": The file have wrong size. 9 The plt file must be 152.076 bytes!\n" + bad +
                           ": 1 Errors while loading file! This may not be a XWA pilotfile.\n" +
                           dir.file("missing.plt") + ": no such file\n");
}

// A file name is bytes; what the program prints is UTF-8. Each byte that is
// no part of a UTF-8 character is printed as U+FFFD, by table, entry and
// diff alike; a name that is UTF-8 is printed as it is.
#ifndef _WIN32  // Windows names are UTF-16: every one converts
TEST_F(CliTest, FileNamesThatAreNoUtf8ArePrintedWithTheReplacementCharacter)
{
    const std::string latin1 = pilot("caf\xE9_1.plt", 1);      // Latin-1
    const std::string utf8 = pilot("Caf\xC3\xA9_2.plt", 1);    // UTF-8
    const std::string cut = dir.file("cut\xE2\x82_\xFF.plt");  // a character cut short, a byte no UTF-8 has
    writeFile(cut, "too short");
    const std::string fffd = "\xEF\xBF\xBD";
    const auto quoted = [](const std::string& path) { return "'" + path + "'"; };

    const CliRun table = cli("table --ini " + ini + " " + quoted(latin1) + " " + quoted(utf8) + " " + quoted(cut));
    EXPECT_EQ(table.status, 1);
    EXPECT_EQ(text::validUtf8(table.out), table.out);
    EXPECT_NE(table.out.find(dir.file("caf" + fffd + "_1.plt") + "\t"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find(utf8 + "\t"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find(dir.file("cut" + fffd + fffd + "_" + fffd + ".plt") + "\t"), std::string::npos)
        << table.out;

    const CliRun entry = cli("entry --ini " + ini + " " + quoted(latin1) + " " + quoted(utf8));
    EXPECT_EQ(entry.status, 0);
    EXPECT_EQ(entry.out, "caf" + fffd + " - Score: 1000 (1000+0)\nCaf\xC3\xA9 - Score: 1000 (1000+0)\n");

    const CliRun diff = cli("diff " + quoted(latin1) + " " + quoted(cut));
    EXPECT_EQ(diff.status, 2);
    EXPECT_EQ(diff.err, dir.file("cut" + fffd + fffd + "_" + fffd + ".plt") +
                            ": The file have wrong size. 9 The plt file must be 152.076 bytes!\n" +
                            dir.file("cut" + fffd + fffd + "_" + fffd + ".plt") +
                            ": 1 Errors while loading file! This may not be a XWA pilotfile.\n");
}
#endif

TEST_F(CliTest, EntryAppendsToTheMainLogByItsRules)
{
    const std::string good = pilot("Wedge.plt", 1);
    const std::string log = dir.file("log.txt");
    writeFile(log, "first\r\nsecond \xE9");  // no final line break, a code-page byte
    const CliRun run = cli("entry --ini " + ini + " --append " + log + " " + good + " " + good);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(log), "first\r\nsecond \xE9\r\nWedge - Score: 1000 (1000+0)\r\nWedge - Score: 1000 (1000+0)");

    const std::string fresh = dir.file("new.txt");
    EXPECT_EQ(cli("entry --ini " + ini + " --append " + fresh + " " + good).status, 0);
    EXPECT_EQ(readFile(fresh), "Wedge - Score: 1000 (1000+0)\r\n");

    const CliRun failed = cli("entry --ini " + ini + " --append " + dir.file("no/such/dir/log.txt") + " " + good);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "Cannot create file " + dir.file("no/such/dir/log.txt") + ".\nNo such file or directory\n");
}

#ifdef _WIN32
// A main log in the root of drive C: (the classic program's place) that
// cannot be written: the run fails naming the file and its cause, and the
// entry goes into no other file.
TEST_F(CliTest, EntryToALogOnDriveCThatCannotBeWrittenFailsAndWritesNowhereElse)
{
    const std::string good = pilot("Wedge.plt", 1);
    const std::string name =
        "VANTREL_MainLog-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".txt";
    const std::string log = "c:\\" + name;
    writeFile(log, "old entry\r\n");
    const bool created = std::filesystem::exists(fileio::toPath(log));
    if (created)
        setReadOnly(log, true);  // else drive C:'s root is closed to this user already
    const std::set<std::string> home = entriesOf(dir.path());

    const CliRun run = cli("entry --ini " + ini + " --append " + log + " " + good);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot create file " + log + ".\n" +
                           (created ? std::string(kReadOnlyCause) : "Permission denied") + "\n");

    std::set<std::string> left = entriesOf(fileio::toPath("c:\\"));
    std::erase_if(left, [&](const std::string& entry) { return entry.find(name) == std::string::npos; });
    if (created) {
        EXPECT_EQ(readFile(log), "old entry\r\n");
        setReadOnly(log, false);
        std::filesystem::remove(fileio::toPath(log));
    }
    std::error_code ignored;
    std::filesystem::remove(fileio::toPath("c:\\." + name + ".lock"), ignored);
    // Beside the log only the log and its lock file; in the profile (where
    // the default log lies) only what the run's output streams went to.
    left.erase(name);
    left.erase("." + name + ".lock");
    EXPECT_EQ(left, std::set<std::string>{});
    std::set<std::string> after = entriesOf(dir.path());
    after.erase("stdout");
    after.erase("stderr");
    EXPECT_EQ(after, home);
}
#endif

// ---- Log integrity: nothing lost, nothing overwritten that is no log ----

#ifndef _WIN32
TEST_F(CliTest, LogIntegrityConcurrentAppendsLoseNoEntry)
{
    const std::string good = pilot("Wedge.plt", 1);
    const std::string log = dir.file("log.txt");
    const std::string statuses = dir.file("statuses");
    constexpr int kProcesses = 8;
    constexpr int kRuns = 25;
    // Eight shells, each running the real program 25 times in a row, all
    // at once; each run notes its exit status.
    const std::string run = "HOME='" + dir.path().string() + "' '" VANTREL_CLI_PATH "' entry --ini '" + ini +
                            "' --append '" + log + "' '" + good + "' >/dev/null 2>>'" + dir.file("errors") + "'";
    const std::string script = "for p in $(seq " + std::to_string(kProcesses) + "); do (for i in $(seq " +
                               std::to_string(kRuns) + "); do " + run + "; echo $? >> '" + statuses +
                               "'; done) & done; wait";
    ASSERT_EQ(std::system(script.c_str()), 0);

    const std::string codes = readFile(statuses);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), '\n'), kProcesses * kRuns);
    EXPECT_EQ(codes.find_first_not_of("0\n"), std::string::npos) << codes;
    EXPECT_EQ(readFile(dir.file("errors")), "");
    std::string expected;
    for (int i = 0; i < kProcesses * kRuns; ++i)
        expected += "Wedge - Score: 1000 (1000+0)\r\n";
    EXPECT_EQ(readFile(log), expected);
}
#else
TEST_F(CliTest, LogIntegrityConcurrentAppendsLoseNoEntry)
{
    const std::string good = pilot("Wedge.plt", 1);
    const std::string log = dir.file("log.txt");
    constexpr int kProcesses = 4;
    constexpr int kRuns = 8;
    // Four threads, each starting the real program 8 times in a row, all at
    // once; each run has its own home for its output streams.
    std::vector<std::thread> runners;
    std::vector<std::vector<CliRun>> runs(kProcesses);
    for (int p = 0; p < kProcesses; ++p) {
        runners.emplace_back([&, p] {
            const TempDir home;
            for (int i = 0; i < kRuns; ++i)
                runs[p].push_back(runCli(home, "entry --ini '" + ini + "' --append '" + log + "' '" + good + "'"));
        });
    }
    for (std::thread& runner : runners)
        runner.join();
    for (const auto& each : runs) {
        for (const CliRun& run : each) {
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.err, "");
        }
    }
    std::string expected;
    for (int i = 0; i < kProcesses * kRuns; ++i)
        expected += "Wedge - Score: 1000 (1000+0)\r\n";
    EXPECT_EQ(readFile(log), expected);
}
#endif

TEST_F(CliTest, LogIntegrityALogNamedLikeAPilotOrHoldingNulIsRefused)
{
    const std::string first = pilot("Wedge.plt", 1);
    const std::string second = pilot("Biggs.plt", 2);
    const std::string firstBytes = readFile(first);
    const std::string upper = dir.file("Squadron.PLT");
    const std::string binary = dir.file("binary.txt");
    const std::string binaryBytes = std::string("entry\r\n\0\0more", 14);
    writeFile(binary, binaryBytes);

    // The log's name forgotten: the shell's *.plt made the first pilot the log.
    for (const std::string& refusedLog : {first, upper, binary}) {
        SCOPED_TRACE(refusedLog);
        const CliRun run = cli("entry --ini " + ini + " --append " + refusedLog + " " + second + " " + first);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("vantrel-cli: --append " + refusedLog + ": ", 0), 0u) << run.err;
    }
    // Compared whole, but not printed: a pilot file is 152,076 bytes.
    EXPECT_TRUE(readFile(first) == firstBytes);
    EXPECT_FALSE(std::filesystem::exists(upper));
    EXPECT_EQ(readFile(binary), binaryBytes);
}

#ifndef _WIN32  // a Windows file name holds no control character
TEST_F(CliTest, LogIntegrityControlCharactersInTheNameKeepTheEntryOnOneLine)
{
    const std::string log = dir.file("log.txt");
    const std::string fromFileName = pilot("Wedge\nAntilles\t2.plt", 1);
    writeFile(ini, "[ZADAdeda]\nNameSource=1\n");
    CliRun run = cli("entry --ini " + ini + " --append " + log + " '" + fromFileName + "'");
    EXPECT_EQ(run.status, 0) << run.err;

    PilotImage image;
    image.setText(L::PilotName, std::string("Jan\rOrs\x7F\x01", 9));
    const std::string fromName = dir.file("named.plt");
    ASSERT_TRUE(image.save(fromName));
    writeFile(ini, "[ZADAdeda]\nNameSource=0\nScoreFormat=0\n");
    run = cli("entry --ini " + ini + " --append " + log + " " + fromName);
    EXPECT_EQ(run.status, 0) << run.err;
    // Printed entries follow the same rule.
    EXPECT_EQ(cli("entry --ini " + ini + " " + fromName).out, "Jan?Ors?? - Score: 0\n");

    EXPECT_EQ(readFile(log), "Wedge?Antilles?2 - Score: 1000 (1000+0)\r\nJan?Ors?? - Score: 0\r\n");
}
#endif

TEST_F(CliTest, LogIntegrityALockThatCannotBeHadWritesNothingAndTellsWhy)
{
    const std::string good = pilot("Wedge.plt", 1);
    const std::string log = dir.file("log.txt");
    writeFile(log, "kept\r\n");
    ASSERT_TRUE(std::filesystem::create_directory(dir.file(".log.txt.lock")));
    const CliRun run = cli("entry --ini " + ini + " --append " + log + " " + good);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot lock file " + dir.file(".log.txt.lock") + ".\nIs a directory\n");
    EXPECT_EQ(readFile(log), "kept\r\n");
}

// ---- Readers: a log that is no regular file is refused at once ----

TEST_F(CliTest, ReadersAFifoOrDeviceAsTheLogIsRefusedWithoutWaiting)
{
    const std::string good = pilot("Wedge.plt", 1);
#ifndef _WIN32
    const std::string fifo = dir.file("fifo.log");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::vector<std::string> logs = {fifo, std::string("/dev/zero")};
#else
    const std::vector<std::string> logs = {"CON", "NUL", "COM1", dir.file("aux.log"), "\\\\.\\NUL"};
#endif
    for (const std::string& log : logs) {
        SCOPED_TRACE(log);
        const CliRun run = runCli(dir, "entry --ini " + ini + " --append " + log + " " + good, 20);
        ASSERT_NE(run.status, -1) << "vantrel-cli blocked";
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "Cannot open file " + log + ".\nit is not a regular file\n");
    }
}

TEST_F(CliTest, ReadersALogTooLargeForTheWindowIsLeftAndNamed)
{
    const std::string good = pilot("Wedge.plt", 1);
    const std::string huge = dir.file("huge.log");
    std::filesystem::resize_file((writeFile(huge, ""), huge), 64u * 1024u * 1024u + 1u);
    const CliRun run = cli("entry --ini " + ini + " --append " + huge + " " + good);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Text exceeds memo capacity.\n" + huge +
                           " holds 67108865 bytes, more than the 67108864 the log can hold\n");
    EXPECT_EQ(std::filesystem::file_size(huge), 64u * 1024u * 1024u + 1u);
}

TEST_F(CliTest, AConversionErrorKeepsTheLinesBeforeIt)
{
    const std::string path = pilot("p.plt", 0);
    writeFile(ini, "[ZADAdeda]\nNameSource=x\n");
    const CliRun report = cli("report --ini " + ini + " " + path);
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.out.substr(0, 14), "Name: Jan Ors\n");
    EXPECT_EQ(std::count(report.out.begin(), report.out.end(), '\n'), 5);
    EXPECT_EQ(report.err, "'x' is not a valid integer value\n");

    const CliRun entry = cli("entry --ini " + ini + " " + path);
    EXPECT_EQ(entry.status, 1);
    EXPECT_EQ(entry.out, "");
    EXPECT_EQ(entry.err, "'x' is not a valid integer value\n");
}

TEST_F(CliTest, SettingsComeFromTheUsersFileWithoutIniAndAreNeverWritten)
{
    const std::string path = pilot("Biggs_Darklighter.plt", 0);
    const std::string userFile = userSettingsFile(dir);
    std::filesystem::create_directories(fileio::toPath(text::folderOf(userFile)));
    writeFile(userFile, "[zadadeda]\nnamesource=0\nScoreFormat=0\n");
    EXPECT_EQ(cli("entry " + path).out, "Jan Ors - Score: 1000\n");
    EXPECT_EQ(readFile(userFile), "[zadadeda]\nnamesource=0\nScoreFormat=0\n");
    // A settings file named with --ini must be there: no quiet defaults.
    const CliRun absent = cli("entry --ini " + dir.file("absent.ini") + " " + path);
    EXPECT_EQ(absent.status, 2);
    EXPECT_EQ(absent.out, "");
    EXPECT_EQ(absent.err,
              "vantrel-cli: cannot read settings file " + dir.file("absent.ini") + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.ini")));
}

#ifdef _WIN32
// A player coming from the classic program, whose settings Windows kept in
// the VirtualStore copy of the Windows directory: read while the program's
// own file is missing; --ini names the one file to read.
TEST_F(CliTest, TheClassicProgramsSettingsAreReadWhileTheUsersFileIsMissing)
{
    const std::string path = pilot("Biggs_Darklighter.plt", 0);
    const std::string former = dir.file("data\\VirtualStore\\Windows\\vantrel.ini");
    std::filesystem::create_directories(fileio::toPath(text::folderOf(former)));
    writeFile(former, "[ZADAdeda]\r\nNameSource=1\r\nScoreFormat=0\r\n");
    EXPECT_EQ(cli("entry " + path).out, "Biggs_Darklighter - Score: 1000\n");
    EXPECT_EQ(cli("entry --ini " + ini + " " + path).out, "Biggs - Score: 1000 (1000+0)\n");

    const std::string userFile = userSettingsFile(dir);
    std::filesystem::create_directories(fileio::toPath(text::folderOf(userFile)));
    writeFile(userFile, "[ZADAdeda]\r\nNameSource=0\r\nScoreFormat=0\r\n");
    EXPECT_EQ(cli("entry " + path).out, "Jan Ors - Score: 1000\n");
}
#endif

TEST_F(CliTest, UsageErrorsAndHelp)
{
    const std::string path = pilot("p.plt", 0);
    const std::vector<std::string> bad = {"",
                                          "frobnicate " + path,
                                          "report",
                                          "report " + path + " " + path,
                                          "report --bogus " + path,
                                          "missions --to x " + path,
                                          "report --from"};
    for (const std::string& args : bad) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("Usage: vantrel-cli"), std::string::npos) << args;
    }
    const CliRun help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: vantrel-cli"), std::string::npos);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(cli("entry --help").status, 0);
}

TEST_F(CliTest, VersionAndTheNearestCommand)
{
    const CliRun version = cli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("vantrel-cli ") + kBuildDate + "\n");
    EXPECT_EQ(version.err, "");

    for (const auto& [args, told] : {std::pair{"tabel x.plt", "unknown command tabel; did you mean table?\n"},
                                     std::pair{"dif a b", "unknown command dif; did you mean diff?\n"},
                                     std::pair{"--versoin", "unknown command --versoin; did you mean --version?\n"},
                                     std::pair{"frobnicate x.plt", "unknown command frobnicate\n"}}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_TRUE(run.err.starts_with(std::string("vantrel-cli: ") + told)) << run.err;
    }
}

TEST_F(CliTest, AnUnknownOptionSuggestsTheNearestOne)
{
    for (const auto& [args, told] : {
             std::pair{"table --formt csv x.plt", "unknown option --formt; did you mean --format?"},
             std::pair{"table -format csv x.plt", "unknown option -format; did you mean --format?"},
             std::pair{"missions --form 3 x.plt", "unknown option --form; did you mean --from?"},
             std::pair{"entry --apend log.txt x.plt", "unknown option --apend; did you mean --append?"},
             std::pair{"report --zzz x.plt", "unknown option --zzz\n"},
         }) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_TRUE(run.err.starts_with(std::string("vantrel-cli: ") + told)) << run.err;
    }
}

TEST_F(CliTest, TheBundledSampleIsAConsistentPilot)
{
    const CliRun run = cli("report --ini " + ini + " '" VANTREL_SAMPLE_PILOT "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Name: Kestrel\n"), std::string::npos);
    EXPECT_NE(run.out.find("Pilotfile seems OK.\n"), std::string::npos);
    EXPECT_EQ(run.out.find("Calculated Total Score"), std::string::npos);
    EXPECT_NE(run.out.find("\n20: Tot. Score= "), std::string::npos);

    // Every other copy agrees too: the table's last column is 0.
    const CliRun table = cli("table --ini " + ini + " '" VANTREL_SAMPLE_PILOT "'");
    EXPECT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("\tOther copies differ\n" VANTREL_SAMPLE_PILOT "\tKestrel\t"), std::string::npos);
    EXPECT_TRUE(table.out.ends_with("\t0\tno\t\t0\n")) << table.out;
}

}  // namespace

namespace {

TEST_F(CliTest, SetChangesOnlyWhatItIsGiven)
{
    const std::string path = pilot("p.plt", 2);
    const std::string before = readFile(path);
    CliRun run = cli("set --ini " + ini + " --rank 7 --active-mission 4 " + path);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "Update complete.\n");
    EXPECT_EQ(run.err, "");
    PilotImage after;
    after.bytes() = readFile(path);
    EXPECT_EQ(after.intAt(69282), 7);
    EXPECT_EQ(after.intAt(69278), 0);                              // rating kept
    EXPECT_EQ(after.bytes().substr(0, 13), before.substr(0, 13));  // name kept
    EXPECT_EQ(after.intAt(44286 + 48 * 2 + 16), 1);                // mission 3 now completed
    EXPECT_EQ(after.intAt(44286 + 48 * 3 + 16), 0);                // mission 4 is the active one

    EXPECT_EQ(cli("set --ini " + ini + " --name Wedge " + path).status, 0);
    EXPECT_EQ(readFile(path).substr(0, 13), std::string("Wedge") + std::string(8, '\0'));
}

TEST_F(CliTest, SetRefusesValuesOutsideTheTablesAndWritesNothing)
{
    const std::string path = pilot("p.plt", 2);
    const std::string before = readFile(path);
    for (const std::string& args : {std::string("--rank 9"), std::string("--rating -1"), std::string("--kalidor 7"),
                                    std::string("--active-mission 0"), std::string("--active-mission 256"),
                                    std::string("--name ThirteenChars"), std::string("--name 'Snow\xE2\x98\x83'")}) {
        const CliRun run = cli("set --ini " + ini + " " + args + " " + path);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
    }
    EXPECT_EQ(readFile(path), before);
}

TEST_F(CliTest, EveryLoadFailureNamesTheFileAsGivenAndItsCause)
{
    const std::string good = pilot("Wedge_Antilles.plt", 1);
    std::filesystem::create_directory(dir.file("folder.plt"));
#ifndef _WIN32
    std::filesystem::create_symlink("gone.plt", dir.path() / "dangling.plt");
#endif

    const CliRun report = cli("report --ini " + ini + " Red_07.plt");
    EXPECT_EQ(report.status, 1);
    EXPECT_EQ(report.err, "Red_07.plt: no such file\n");
    const CliRun missions = cli("missions --ini " + ini + " " + dir.file("folder.plt"));
    EXPECT_EQ(missions.status, 1);
    EXPECT_EQ(missions.err, dir.file("folder.plt") + ": is a folder\n");
#ifndef _WIN32
    const CliRun set = cli("set --ini " + ini + " --rank 2 " + dir.file("dangling.plt"));
    EXPECT_EQ(set.status, 1);
    EXPECT_EQ(set.err, dir.file("dangling.plt") + ": a link to a missing file\n");
    const CliRun entry =
        cli("entry --ini " + ini + " " + dir.file("missing.plt") + " " + good + " " + dir.file("dangling.plt"));
    EXPECT_EQ(entry.status, 1);
    EXPECT_EQ(entry.out, "Wedge - Score: 1000 (1000+0)\n");
    EXPECT_EQ(entry.err,
              dir.file("missing.plt") + ": no such file\n" + dir.file("dangling.plt") + ": a link to a missing file\n");
#endif

#ifndef _WIN32
    // Without read permission; root reads every file, so the run is made as
    // the unprivileged user then.
    ASSERT_EQ(::chmod(good.c_str(), 0200), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    for (const char* output : {"stdout", "stderr"})  // for that user to write anew
        std::filesystem::remove(dir.file(output));
    const std::optional<std::string> locked = resultWithin(30, [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return std::string("cannot become another user");
        const CliRun run = cli("report --ini " + ini + " " + good);
        return std::to_string(run.status) + " " + run.err;
    });
    EXPECT_EQ(locked, std::optional<std::string>("1 " + good + ": permission denied\n"));
#endif
}

TEST_F(CliTest, SetReportsAFileThatIsNoPilot)
{
    const std::string bad = dir.file("bad.plt");
    writeFile(bad, "short");
    const CliRun run = cli("set --ini " + ini + " --rank 1 " + bad);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(bad), "short");
}

// ---- the settings file: readers that must not hang ------------------------
//
// Each run has a short time limit: a FIFO or device in the place of the
// settings file must be looked at without waiting for a writer.

#ifndef _WIN32
bool isFifo(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}
#endif

TEST_F(CliTest, AnIniThatCannotBeReadStopsEveryCommandThatTakesIt)
{
    const std::string path = pilot("p.plt", 1);
    const std::string before = readFile(path);
#ifndef _WIN32
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
#else
    // Windows has no FIFOs; a device name stands for one.
    const std::string fifo = dir.file("con.ini");
#endif
    ASSERT_TRUE(std::filesystem::create_directory(fileio::toPath(dir.file("folder.ini"))));
    writeFile(dir.file("plain"), "x");
    const std::vector<std::pair<std::string, std::string>> unreadable = {
        {dir.file("absent.ini"), "No such file or directory"},
        {dir.file("folder.ini"), "Is a directory"},
        {fifo, "it is not a regular file"},
        {dir.file("plain") + "/vantrel.ini", "Not a directory"},
    };
    const std::vector<std::string> commands = {"report",       "missions --to 1",
                                               "entry",        "entry --append " + dir.file("log.txt"),
                                               "set --rank 3", "table --format csv"};
    for (const auto& [file, cause] : unreadable) {
        for (const std::string& command : commands) {
            const std::string args = command + " --ini " + file + " " + path;
            const CliRun run = runCli(dir, args, 10);
            EXPECT_FALSE(run.timedOut) << args;
            EXPECT_EQ(run.status, 2) << args;
            EXPECT_EQ(run.out, "") << args;
            EXPECT_EQ(run.err, "vantrel-cli: cannot read settings file " + file + ": " + cause + "\n") << args;
        }
    }
    EXPECT_EQ(runCli(dir, "report --ini=" + fifo + " " + path, 10).status, 2);

    // Nothing was written: not the pilot, no log, no backup, no settings.
    EXPECT_EQ(readFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("log.txt")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("data")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("absent.ini")));
#ifndef _WIN32
    EXPECT_TRUE(isFifo(fifo));
#endif
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder.ini")));

    // A usage error is still told as one.
    const CliRun usage = runCli(dir, "report --ini " + fifo, 10);
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("Usage: vantrel-cli"), std::string::npos);
}

#ifndef _WIN32
TEST_F(CliTest, AnIniWithoutReadPermissionStopsTheCommand)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads any file whatever its permission bits; run as another user to check this";
    const std::string path = pilot("p.plt", 1);
    writeFile(dir.file("locked.ini"), "[ZADAdeda]\n");
    ASSERT_EQ(::chmod(dir.file("locked.ini").c_str(), 0200), 0);
    const CliRun run = runCli(dir, "report --ini " + dir.file("locked.ini") + " " + path, 10);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "vantrel-cli: cannot read settings file " + dir.file("locked.ini") + ": Permission denied\n");
}
#endif

TEST_F(CliTest, AnUnreadableDefaultSettingsFileIsToldAndTheDefaultsAreUsed)
{
    // Without --ini the user's settings file may be absent: the defaults
    // apply without a word. One that is there but cannot be read is named on
    // stderr, and the command goes on with the defaults.
    const std::string path = pilot("Biggs_Darklighter.plt", 2);
    const std::string userFile = userSettingsFile(dir);
    std::filesystem::remove(fileio::toPath(userFile));
    const CliRun absentReport = runCli(dir, "report " + path, 10);
    const CliRun absentEntry = runCli(dir, "entry " + path, 10);
    const CliRun absentTable = runCli(dir, "table " + path, 10);
    ASSERT_EQ(absentReport.status, 0);
    EXPECT_EQ(absentReport.err, "");
    EXPECT_EQ(absentEntry.out, "Biggs - Score: 1000 (1000+0)\n");
    EXPECT_EQ(absentEntry.err, "");
    EXPECT_EQ(absentTable.err, "");

    const auto checkUnreadable = [&](const std::string& cause) {
        const std::string told =
            "vantrel-cli: cannot read settings file " + userFile + ": " + cause + "; the default settings are used\n";
        for (const auto& [args, absent] :
             {std::pair{"report " + path, &absentReport}, std::pair{"entry " + path, &absentEntry},
              std::pair{"table " + path, &absentTable}}) {
            const CliRun run = runCli(dir, args, 10);
            EXPECT_FALSE(run.timedOut) << args;
            EXPECT_EQ(run.status, absent->status) << args;
            EXPECT_EQ(run.out, absent->out) << args;
            EXPECT_EQ(run.err, told) << args;
        }
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(userFile.c_str(), 0644), 0);
    checkUnreadable("it is not a regular file");
    EXPECT_TRUE(isFifo(userFile));
    std::filesystem::remove(userFile);
#endif
    ASSERT_TRUE(std::filesystem::create_directories(fileio::toPath(userFile)));
    checkUnreadable("Is a directory");
}

}  // namespace
