// vantrel-cli table, diff and the backups of set, end to end: the real
// binary, its output streams and exit status.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>

#include "CliFixture.h"
#include "core/pilot/PilotBackup.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;
namespace fs = std::filesystem;

namespace {

class SquadronCliTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        data = dir.file("data");
#ifndef _WIN32
        backups = data + "/vantrel/backups";
#else
        backups = data + "\\Vantrel\\backups";
#endif
    }

    static PilotImage pilot(const std::string& name, std::int32_t tod)
    {
        PilotImage image = namedPilot(name, tod);
        image.setInt(L::Rank, 2);
        image.setInt(L::Rating, 5);
        image.setMission(L::CampaignMissionRecords, 0, {1, 1, tod, 61, 0});
        return image;
    }

    std::vector<std::string> backupNames() const
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (fs::directory_iterator it(backups, ignored), end; !ignored && it != end; ++it)
            names.push_back(it->path().filename().string());
        return names;
    }

    std::string data, backups;
};

#ifndef _WIN32  // '"' cannot be in a Windows file name
TEST_F(SquadronCliTest, TableOfAFolderWithGoodBadAndOddFiles)
{
    const std::string squad = dir.file("squad");
    fs::create_directories(squad + "/nested");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(squad + "/a.plt"));
    PilotImage odd = pilot("Wedge", 500);
    odd.setInt(L::TODScoreB, 400);
    odd.setInt(L::Rank, 9);
    ASSERT_TRUE(odd.save(squad + "/Wedge, \"Red Two\".plt"));
    ASSERT_TRUE(pilot("Biggs", 200).save(squad + "/nested/BIGGS.PLT"));
    writeFile(squad + "/bad.plt", std::string(152075, '\0'));
    writeFile(squad + "/readme.txt", "not a pilot");

    const CliRun tsv = cli("table --ini " + ini + " '" + squad + "'");
    EXPECT_EQ(tsv.status, 1);
    EXPECT_EQ(tsv.err, "");
    EXPECT_EQ(tsv.out,
              "File\tPilot name\tRank\tRating\tKalidor Crescent\tCampaign missions completed\tTOD score\tTOD bonus\t"
              "Azzameen score\tAzzameen bonus\tCampaign total\tSimulator score\tSimulator bonus\t"
              "Simulator missions with a score\tCheck errors\tTotal warning\tLoad error\tOther copies differ\n" +
                  squad +
                  "/Wedge, \"Red Two\".plt\tWedge\t9\tMarksman 3rd\tNone\t1\t500\t0\t0\t0\t500\t0\t0\t0\t1\tno\t\t0\n" +
                  squad +
                  "/a.plt\tJan Ors\tFlight Officer\tMarksman 3rd\tNone\t1\t1000\t0\t0\t0\t1000\t0\t0\t0\t0\tno\t\t0\n" +
                  squad +
                  "/bad.plt\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\tThe file have wrong size. 152075 The plt file must be "
                  "152.076 bytes! 1 Errors while loading file! This may not be a XWA pilotfile.\t\n" +
                  squad +
                  "/nested/BIGGS.PLT\tBiggs\tFlight Officer\tMarksman "
                  "3rd\tNone\t1\t200\t0\t0\t0\t200\t0\t0\t0\t0\tno\t\t0\n");

    const CliRun csv =
        cli("table --ini " + ini + " --format csv '" + squad + "/Wedge, \"Red Two\".plt' '" + squad + "/a.plt'");
    EXPECT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out,
              "File,Pilot name,Rank,Rating,Kalidor Crescent,Campaign missions completed,TOD score,TOD bonus,"
              "Azzameen score,Azzameen bonus,Campaign total,Simulator score,Simulator bonus,"
              "Simulator missions with a score,Check errors,Total warning,Load error,Other copies differ\r\n\"" +
                  squad + "/Wedge, \"\"Red Two\"\".plt\",Wedge,9,Marksman 3rd,None,1,500,0,0,0,500,0,0,0,1,no,,0\r\n" +
                  squad + "/a.plt,Jan Ors,Flight Officer,Marksman 3rd,None,1,1000,0,0,0,1000,0,0,0,0,no,,0\r\n");
}
#endif

TEST_F(SquadronCliTest, TableUsage)
{
    for (const std::string& args : {std::string("table"), std::string("table --format xls x.plt")}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("Usage: vantrel-cli"), std::string::npos) << args;
    }
}

TEST_F(SquadronCliTest, DiffOfTwoSaves)
{
    const std::string before = dir.file("before.plt"), after = dir.file("after.plt");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(before));
    PilotImage later = pilot("Jan Ors", 1000);
    later.setInt(L::TODScoreA, 1500);
    later.setInt(L::TODKillsA, 3, 5);
    later.setMission(L::CampaignMissionRecords, 1, {1, 1, 500, 250, 20});
    ASSERT_TRUE(later.save(after));

    const CliRun same = cli("diff '" + before + "' '" + before + "'");
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(same.err, "");

    const CliRun changed = cli("diff '" + before + "' '" + after + "'");
    EXPECT_EQ(changed.status, 1);
    EXPECT_EQ(changed.err, "");
    EXPECT_EQ(changed.out,
              "TOD score A: 1000 -> 1500\n"
              "Campaign missions completed: 1 -> 2\n"
              "Campaign mission 2: added, score 500, time 4:10, bonus 2\n"
              "TOD kills A, TIE Interceptor: 0 -> 3\n"
              "Campaign total: 1000 -> 1500 (+500)\n"
              "TOD kills A total: 0 -> 3 (+3)\n");

    writeFile(dir.file("short.plt"), "x");
    const CliRun broken = cli("diff '" + before + "' '" + dir.file("short.plt") + "'");
    EXPECT_EQ(broken.status, 2);
    EXPECT_EQ(broken.out, "");
    EXPECT_EQ(broken.err,
              dir.file("short.plt") + ": The file have wrong size. 1 The plt file must be 152.076 bytes!\n" +
                  dir.file("short.plt") + ": 1 Errors while loading file! This may not be a XWA pilotfile.\n");
    EXPECT_EQ(cli("diff '" + before + "'").status, 2);
}

TEST_F(SquadronCliTest, DiffOfTwoFoldersPairsThePilotsByFileName)
{
    const std::string before = dir.file("before"), after = dir.file("after");
    fs::create_directories(before + "/gold");
    fs::create_directories(after + "/gold");
    for (const std::string& folder : {before, after}) {
        ASSERT_TRUE(pilot("Jan Ors", 1000).save(folder + "/Jan.plt"));
        ASSERT_TRUE(pilot("Biggs", 200).save(folder + "/gold/Biggs.plt"));
    }
    PilotImage later = pilot("Jan Ors", 1000);
    later.setInt(L::TODScoreA, 1500);
    ASSERT_TRUE(later.save(after + "/Jan.plt"));
    ASSERT_TRUE(pilot("Wedge", 10).save(before + "/Wedge.plt"));
    ASSERT_TRUE(pilot("Porkins", 10).save(after + "/Porkins.plt"));

    const CliRun run = cli("diff '" + before + "' '" + after + "/'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Jan.plt:\n"
              "  TOD score A: 1000 -> 1500\n"
              "  Campaign total: 1000 -> 1500 (+500)\n"
              "Only in " +
                  before +
                  ": Wedge.plt\n"
                  "Only in " +
                  after + "/: Porkins.plt\n");

    const CliRun same = cli("diff '" + before + "' '" + before + "'");
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");

    // A pilot that cannot be loaded is told; the others are still compared.
    writeFile(after + "/gold/Biggs.plt", "x");
    const CliRun broken = cli("diff '" + before + "' '" + after + "'");
    EXPECT_EQ(broken.status, 2);
    // The folder's files are named with the system's own separator.
    const std::string biggs = (std::filesystem::path(after) / "gold" / "Biggs.plt").string();
    EXPECT_EQ(broken.err, biggs + ": The file have wrong size. 1 The plt file must be 152.076 bytes!\n" + biggs +
                              ": 1 Errors while loading file! This may not be a XWA pilotfile.\n");
    EXPECT_TRUE(broken.out.starts_with("Jan.plt:\n")) << broken.out;

    // A folder and a file do not pair.
    const CliRun mixed = cli("diff '" + before + "' '" + after + "/Jan.plt'");
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(mixed.out, "");
}

TEST_F(SquadronCliTest, EntryTakesFoldersAsTableDoes)
{
    const std::string squad = dir.file("squad");
    fs::create_directories(squad + "/nested");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(squad + "/b.plt"));
    ASSERT_TRUE(pilot("Biggs", 200).save(squad + "/nested/a.plt"));
    ASSERT_TRUE(pilot("Wedge", 500).save(dir.file("Wedge.plt")));
    writeFile(squad + "/notes.txt", "not a pilot");

    const CliRun run = cli("entry --ini " + ini + " '" + squad + "' '" + dir.file("Wedge.plt") + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    // Named by the file, as the default settings have it.
    EXPECT_EQ(run.out, "b - Score: 1000 (1000+0)\na - Score: 200 (200+0)\nWedge - Score: 500 (500+0)\n");

    const std::string log = dir.file("log.txt");
    EXPECT_EQ(cli("entry --ini " + ini + " --append '" + log + "' '" + squad + "'").status, 0);
    EXPECT_EQ(readFile(log), "b - Score: 1000 (1000+0)\r\na - Score: 200 (200+0)\r\n");
}

TEST_F(SquadronCliTest, TableCsvWithAByteOrderMark)
{
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(dir.file("a.plt")));
    const CliRun plain = cli("table --ini " + ini + " --format csv '" + dir.file("a.plt") + "'");
    const CliRun marked = cli("table --ini " + ini + " --format=csv --bom '" + dir.file("a.plt") + "'");
    EXPECT_EQ(marked.status, 0);
    EXPECT_EQ(marked.out, "\xEF\xBB\xBF" + plain.out);
    EXPECT_TRUE(plain.out.starts_with("File,"));

    const CliRun tsv = cli("table --ini " + ini + " --bom '" + dir.file("a.plt") + "'");
    EXPECT_EQ(tsv.status, 2);
    EXPECT_EQ(tsv.out, "");
    EXPECT_TRUE(tsv.err.starts_with("vantrel-cli: --bom goes with --format csv\n")) << tsv.err;
}

TEST_F(SquadronCliTest, SetBacksUpTheFileBeforeWriting)
{
    const std::string path = dir.file("Jan.plt");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(path));
    const std::string original = readFile(path);

    CliRun run = cli("set --ini " + ini + " --rank 7 '" + path + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    auto names = backupNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with("Jan." + backupOwnerTag(path) + ".")) << names[0];
    EXPECT_EQ(readFile(backups + "/" + names[0]), original);

    // Each run backs up again, keeping the copy of what the file held then.
    const std::string afterFirst = readFile(path);
    EXPECT_EQ(cli("set --ini " + ini + " --rank 6 '" + path + "'").status, 0);
    names = backupNames();
    ASSERT_EQ(names.size(), 2u);
    std::vector<std::string> copies = {readFile(backups + "/" + names[0]), readFile(backups + "/" + names[1])};
    std::sort(copies.begin(), copies.end());
    std::vector<std::string> expected = {original, afterFirst};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(copies, expected);
}

TEST_F(SquadronCliTest, SetWritesNothingWhenTheBackupFails)
{
    const std::string path = dir.file("Jan.plt");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(path));
    const std::string original = readFile(path);
    fs::create_directories(data + "/vantrel");
    writeFile(backups, "in the way");

    const CliRun run = cli("set --ini " + ini + " --rank 7 --name Luke '" + path + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("Cannot back up " + path + " to " + backups + ": ")) << run.err;
    EXPECT_TRUE(run.err.ends_with(". Nothing was written.\n")) << run.err;
    EXPECT_EQ(readFile(path), original);
}

// ---- table reports every pilot --------------------------------------------
//
// A reviewer must see every pilot file a folder holds: one that cannot be
// read gets a row with its load error, a folder that cannot be searched is
// told on stderr, and either makes the exit status 1.

const std::string kHeaderTsv =
    "File\tPilot name\tRank\tRating\tKalidor Crescent\tCampaign missions completed\tTOD score\tTOD bonus\t"
    "Azzameen score\tAzzameen bonus\tCampaign total\tSimulator score\tSimulator bonus\t"
    "Simulator missions with a score\tCheck errors\tTotal warning\tLoad error\tOther copies differ\n";

#ifndef _WIN32
// The row of a file that cannot be opened at all, with the cause.
std::string unopenedRow(const std::string& path, const std::string& cause)
{
    return path + std::string(16, '\t') + cause + "\t\n";
}

TEST_F(SquadronCliTest, TableGivesARowToEveryPilotFileItCannotRead)
{
    const std::string squad = dir.file("squad");
    fs::create_directories(squad + "/nested");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(squad + "/a.plt"));
    fs::create_symlink("gone.plt", squad + "/b.plt");  // leads nowhere
    fs::create_symlink("c.plt", squad + "/c.plt");     // leads to itself
    ASSERT_EQ(::mkfifo((squad + "/d.plt").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((squad + "/nested/e.PLT").c_str(), 0644), 0);
    ASSERT_TRUE(pilot("Biggs", 200).save(squad + "/nested/f.plt"));
    fs::create_directory_symlink("..", squad + "/nested/up");       // a folder loop
    fs::create_directory_symlink("nested", squad + "/folder.plt");  // a folder, not a pilot
    ASSERT_EQ(::mkfifo((squad + "/pipe").c_str(), 0644), 0);        // not named as a pilot
    writeFile(squad + "/readme.txt", "not a pilot");

    const std::string janRow =
        squad + "/a.plt\tJan Ors\tFlight Officer\tMarksman 3rd\tNone\t1\t1000\t0\t0\t0\t1000\t0\t0\t0\t0\tno\t\t0\n";
    const std::string biggsRow =
        squad + "/nested/f.plt\tBiggs\tFlight Officer\tMarksman 3rd\tNone\t1\t200\t0\t0\t0\t200\t0\t0\t0\t0\tno\t\t0\n";
    const CliRun run = runCli(dir, "table --ini " + ini + " '" + squad + "'", 20);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
    const std::string bRow = unopenedRow(squad + "/b.plt", "a link to a missing file");
    const std::string cRow = unopenedRow(squad + "/c.plt", "a link that leads round in a circle");
    const std::string dRow = unopenedRow(squad + "/d.plt", "is not a regular file");
    EXPECT_EQ(run.out, kHeaderTsv + janRow + bRow + cRow + dRow +
                           unopenedRow(squad + "/nested/e.PLT", "is not a regular file") + biggsRow);

    // Given one by one, in the order given.
    const CliRun given = runCli(dir,
                                "table --ini " + ini + " '" + squad + "/d.plt' '" + squad + "/c.plt' '" + squad +
                                    "/b.plt' '" + squad + "/a.plt'",
                                20);
    EXPECT_FALSE(given.timedOut);
    EXPECT_EQ(given.status, 1);
    EXPECT_EQ(given.err, "");
    EXPECT_EQ(given.out, kHeaderTsv + dRow + cRow + bRow + janRow);

    // Readable pilots alone still make a clean run.
    const CliRun clean = runCli(dir, "table --ini " + ini + " '" + squad + "/nested/f.plt' '" + squad + "/a.plt'", 20);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, kHeaderTsv + biggsRow + janRow);
}

TEST_F(SquadronCliTest, TableTellsOfFoldersAndFilesItMayNotRead)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads and searches everything whatever its permission bits; run as another user to "
                        "check this";
    const std::string squad = dir.file("squad");
    fs::create_directories(squad + "/locked");
    ASSERT_TRUE(pilot("Jan Ors", 1000).save(squad + "/a.plt"));
    ASSERT_TRUE(pilot("Wedge", 500).save(squad + "/locked/hidden.plt"));
    ASSERT_TRUE(pilot("Biggs", 200).save(squad + "/unreadable.plt"));
    ASSERT_EQ(::chmod((squad + "/unreadable.plt").c_str(), 0200), 0);
    ASSERT_EQ(::chmod((squad + "/locked").c_str(), 0), 0);

    const CliRun run = runCli(dir, "table --ini " + ini + " '" + squad + "'", 20);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot search " + squad + "/locked: Permission denied\n");
    EXPECT_EQ(run.out,
              kHeaderTsv + squad +
                  "/a.plt\tJan Ors\tFlight Officer\tMarksman 3rd\tNone\t1\t1000\t0\t0\t0\t1000\t0\t0\t0\t0\tno\t\t0\n" +
                  unopenedRow(squad + "/unreadable.plt", "permission denied"));

    const CliRun locked = runCli(dir, "table --ini " + ini + " '" + squad + "/locked'", 20);
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.out, kHeaderTsv);
    EXPECT_EQ(locked.err, "Cannot search " + squad + "/locked: Permission denied\n");
    ::chmod((squad + "/locked").c_str(), 0700);
}

#endif

}  // namespace
