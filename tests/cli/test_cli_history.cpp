// vantrel-cli chart, backups and restore end to end: the real binary, its
// streams and exit status, its SVG read back as XML.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

#include "CliFixture.h"
#include "SvgReader.h"
#include "core/pilot/PilotBackup.h"
#include "core/pilot/PilotLoader.h"
#include "core/reports/PilotHistory.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;
namespace fs = std::filesystem;

namespace {

class HistoryCliTest : public CliFixture {
protected:
    void SetUp() override
    {
        CliFixture::SetUp();
        backups = dir.file("data") + "/vantrel/backups";
        fs::create_directories(backups);
    }

    // A pilot whose missions agree with its TOD score.
    static PilotImage pilot(const std::string& name, std::int32_t tod, std::uint32_t missions = 1)
    {
        PilotImage image = namedPilot(name, tod);
        for (std::uint32_t k = 0; k < missions; ++k)
            image.setMission(L::CampaignMissionRecords, k, {1, 1, k == 0 ? tod : 0, 61, 0});
        return image;
    }

    // The file's last change put `seconds` into the past, out of the
    // restore's quiet period.
    static void age(const std::string& path, int seconds = 60)
    {
        const auto then = fs::file_time_type::clock::now() - std::chrono::seconds(seconds);
        fs::last_write_time(path, then);
    }

    std::vector<std::string> backupNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(backups))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string pilotName(const std::string& path)
    {
        PilotRecord record;
        EXPECT_TRUE(ReadMission(record, path).ok()) << path;
        return fieldText(record.PilotName);
    }

    std::string backups;
};

TEST_F(HistoryCliTest, ChartsOfAPilotAndASquadronAreSvgDocumentsOnStdout)
{
    const std::string path = dir.file("Jan.plt");
    PilotImage jan = pilot("Jan & <Ors>", 1000, 3);
    jan.setInt(L::TODKillsA, 12, 4);
    ASSERT_TRUE(jan.save(path));

    for (const std::string kind : {"missions", "kills", "history"}) {
        const CliRun run = cli("chart --kind " + kind + " '" + path + "'");
        EXPECT_EQ(run.status, 0) << kind << run.err;
        EXPECT_EQ(run.err, "");
        const XmlDocument doc = parseXml(run.out);
        ASSERT_TRUE(doc.ok) << kind << ": " << doc.error;
        EXPECT_NE(doc.root.child("title")->text.find("Jan & <Ors>"), std::string::npos) << kind;
    }
    const XmlDocument missions = parseXml(cli("chart --kind missions '" + path + "'").out);
    // Missions 1-3 are flown for the Azzameen family: three bars and the legend's swatch.
    EXPECT_EQ(missions.root.withClass("azz-score").size(), 3u + 1u);
    EXPECT_EQ(missions.root.withClass("tod-score").size(), 1u);

    const std::string squad = dir.file("squad");
    fs::create_directories(squad);
    ASSERT_TRUE(pilot("Biggs", 300).save(squad + "/b.plt"));
    ASSERT_TRUE(pilot("Wedge", 900).save(squad + "/w.plt"));
    writeFile(squad + "/short.plt", "short");
    const CliRun run = cli("chart --kind squadron --column 'tod SCORE' '" + squad + "' '" + path + "'");
    EXPECT_EQ(run.status, 1);  // as table: a file did not load
    const XmlDocument doc = parseXml(run.out);
    ASSERT_TRUE(doc.ok) << doc.error;
    std::vector<std::string> labels;
    for (const XmlElement* label : doc.root.withClass("label"))
        labels.push_back(label->text);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"Jan & <Ors> (Jan.plt)", "Wedge (w.plt)", "Biggs (b.plt)", "short.plt"}));
    // Jan's kills are in list A only, so the other copies differ: marked as
    // the review window marks it; the file cut short did not load.
    std::vector<std::string> marks;
    for (const XmlElement* mark : doc.root.withClass("mark"))
        marks.push_back(mark->text);
    EXPECT_EQ(marks, (std::vector<std::string>{"!", "X"}));
}

TEST_F(HistoryCliTest, ChartUsageAndLoadErrors)
{
    const std::string path = dir.file("Jan.plt");
    ASSERT_TRUE(pilot("Jan", 10).save(path));
    for (const std::string& args :
         {"chart '" + path + "'", "chart --kind pie '" + path + "'",
          "chart --kind missions '" + path + "' '" + path + "'",
          "chart --kind kills --column 'TOD score' '" + path + "'",
          "chart --kind squadron --column 'Pilot name' '" + path + "'", std::string("chart --kind squadron")}) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_NE(run.err.find("Usage: vantrel-cli"), std::string::npos) << args;
    }
    writeFile(dir.file("short.plt"), "short");
    const CliRun broken = cli("chart --kind missions '" + dir.file("short.plt") + "'");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "");
    EXPECT_NE(broken.err.find("wrong size"), std::string::npos) << broken.err;
}

TEST_F(HistoryCliTest, BackupsListsEachSaveWithWhatChangedToTheNext)
{
    const std::string path = dir.file("Jan.plt");
    const std::string b = backups + "/Jan." + backupOwnerTag(path) + ".2026120";
    ASSERT_TRUE(pilot("Jan", 100).save(b + "1-100000.plt"));
    ASSERT_TRUE(pilot("Jan", 250).save(b + "2-100000.plt"));
    ASSERT_TRUE(pilot("Jan", 250).save(b + "2-100000-2.plt"));
    ASSERT_TRUE(pilot("Other", 1).save(backups + "/Other-20261202-100000.plt"));
    ASSERT_TRUE(pilot("Jan", 400, 2).save(path));

    const CliRun run = cli("backups '" + path + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with("2026-12-01 10:00:00  " + b +
                                    "1-100000.plt\n"
                                    "    TOD score A: 100 -> 250\n"))
        << run.out;
    EXPECT_NE(run.out.find("2026-12-02 10:00:00  " + b +
                           "2-100000.plt\n    no change to the next\n"
                           "2026-12-02 10:00:00  " +
                           b + "2-100000-2.plt\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("    Campaign missions completed: 1 -> 2\n"), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("  " + path + "  (now)\n")) << run.out;
    EXPECT_EQ(run.out.find("Other"), std::string::npos);

    const CliRun none = cli("backups '" + dir.file("Nobody.plt") + "'");
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "No backups of " + dir.file("Nobody.plt") + " in " + backups + ".\n");
}

TEST_F(HistoryCliTest, TwoPilotsOfOneFileNameInTwoFoldersKeepTheirBackupsApart)
{
    fs::create_directories(dir.file("alpha"));
    fs::create_directories(dir.file("bravo"));
    const std::string alpha = dir.file("alpha/Wedge.plt");
    const std::string bravo = dir.file("bravo/Wedge.plt");
    ASSERT_TRUE(pilot("Wedge", 100).save(alpha));
    ASSERT_TRUE(pilot("Biggs", 97531).save(bravo));
    const std::string alphaBytes = readFile(alpha);
    // One made before backups were kept per file.
    ASSERT_TRUE(pilot("Biggs", 86421).save(backups + "/Wedge-20250101-000000.plt"));

    ASSERT_EQ(cli("set --rating 3 '" + alpha + "'").status, 0);
    for (int edit = 0; edit < 21; ++edit)
        ASSERT_EQ(cli("set --rating " + std::to_string(edit % 4 + 1) + " '" + bravo + "'").status, 0) << edit;

    const CliRun listed = cli("backups '" + alpha + "'");
    EXPECT_EQ(listed.status, 0) << listed.err;
    const std::string tag = backupOwnerTag(alpha);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = listed.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(listed.out.substr(start, end - start));
    ASSERT_GE(lines.size(), 5u) << listed.out;
    EXPECT_NE(lines[0].find(backups + "/Wedge." + tag + "."), std::string::npos) << listed.out;
    EXPECT_TRUE(lines[lines.size() - 3].ends_with("  " + alpha + "  (now)")) << listed.out;
    EXPECT_EQ(lines[lines.size() - 2], std::string(kOlderBackupsHeading));
    EXPECT_EQ(lines.back(), "2025-01-01 00:00:00  " + backups + "/Wedge-20250101-000000.plt");
    EXPECT_EQ(listed.out.find(backupOwnerTag(bravo)), std::string::npos) << listed.out;

    // Alpha's backup of its original bytes survived bravo's edits, and is
    // what alpha's history holds; a backup of bravo is not put back as alpha.
    const auto alphas = listBackups(alpha, backups);
    ASSERT_EQ(alphas.size(), 1u);
    EXPECT_EQ(readFile(alphas[0].path), alphaBytes);
    EXPECT_EQ(listBackups(bravo, backups).size(), kBackupsKept);
    age(alpha);
    const std::string theirs = listBackups(bravo, backups).back().path;
    const CliRun refused = cli("restore '" + alpha + "' '" + theirs + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "Cannot restore " + alpha + ": " + theirs + " is a backup of another pilot file. Nothing was written.\n");
    // Both files load, yet no change is listed for a restore that was refused.
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(pilotName(alpha), "Wedge");

    const CliRun chart = cli("chart --kind history '" + alpha + "'");
    EXPECT_EQ(chart.status, 0) << chart.err;
    EXPECT_NE(chart.out.find(">100<"), std::string::npos) << chart.out;
    EXPECT_EQ(chart.out.find("97531"), std::string::npos);
    EXPECT_EQ(chart.out.find("86421"), std::string::npos);
}

#ifndef _WIN32
TEST_F(HistoryCliTest, TwoSetsOnSameNamedPilotsAtOneMomentBothGoThrough)
{
    fs::create_directories(dir.file("alpha"));
    fs::create_directories(dir.file("bravo"));
    const std::string alpha = dir.file("alpha/Wedge.plt");
    const std::string bravo = dir.file("bravo/Wedge.plt");
    const std::string script = dir.file("both.sh");
    // Two processes at once, several times over, each saying how it ended.
    writeFile(script,
              "for round in 1 2 3 4 5 6; do\n"
              "  '" VANTREL_CLI_PATH "' set --rating $((round % 4)) '" +
                  alpha +
                  "' & a=$!\n"
                  "  '" VANTREL_CLI_PATH "' set --rating $((round % 4)) '" +
                  bravo +
                  "' & b=$!\n"
                  "  wait $a; echo \"alpha $?\" >> '" +
                  dir.file("ends") +
                  "'\n"
                  "  wait $b; echo \"bravo $?\" >> '" +
                  dir.file("ends") +
                  "'\n"
                  "done\n");
    ASSERT_TRUE(pilot("Wedge", 100).save(alpha));
    ASSERT_TRUE(pilot("Biggs", 900).save(bravo));
    const CliRun run = runProgram("/bin/sh", dir, "'" + script + "'", 120);
    EXPECT_EQ(run.err, "");
    std::string expected;
    for (int round = 0; round < 6; ++round)
        expected += "alpha 0\nbravo 0\n";
    EXPECT_EQ(readFile(dir.file("ends")), expected);
    EXPECT_EQ(listBackups(alpha, backups).size(), 6u);
    EXPECT_EQ(listBackups(bravo, backups).size(), 6u);
    for (const BackupFile& backup : listBackups(bravo, backups))
        EXPECT_EQ(pilotName(backup.path), "Biggs");
}
#endif

TEST_F(HistoryCliTest, RestorePutsABackupBackAfterKeepingTheFileAsItIs)
{
    const std::string path = dir.file("Jan.plt");
    const std::string backup = backups + "/Jan-20261201-100000.plt";
    ASSERT_TRUE(pilot("Jan", 100).save(backup));
    ASSERT_TRUE(pilot("Jan", 400).save(path));
    const std::string now = readFile(path);

    // The game may be saving a file changed just now.
    CliRun run = cli("restore '" + path + "' '" + backup + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("less than two seconds ago"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(path), now);
    EXPECT_EQ(backupNames().size(), 1u);

    age(path);
    run = cli("restore '" + path + "' '" + backup + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(path), readFile(backup));
    const auto names = backupNames();
    ASSERT_EQ(names.size(), 2u);
    const std::string kept = backups + "/" + (names[0] == "Jan-20261201-100000.plt" ? names[1] : names[0]);
    EXPECT_EQ(readFile(kept), now);
    EXPECT_EQ(run.out,
              "TOD score A: 400 -> 100\nTOD score B: 400 -> 100\nTOD score C: 400 -> 100\n"
              "TOD score D: 400 -> 100\nCampaign mission 1: score 400 -> 100\nCampaign total: 400 -> 100 (-300)\n"
              "Restored " +
                  path + " from " + backup + ". The file as it was is kept as " + kept + ".\n");
}

TEST_F(HistoryCliTest, RestoreRefusesABackupThatIsNoPilotFileAndWrongUsage)
{
    const std::string path = dir.file("Jan.plt");
    ASSERT_TRUE(pilot("Jan", 400).save(path));
    age(path);
    const std::string notPilot = dir.file("notes.txt");
    writeFile(notPilot, "not a pilot");
    CliRun run = cli("restore '" + path + "' '" + notPilot + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Cannot restore " + path + ": " + notPilot +
                           " is not a pilot file (11 bytes, not 152076). Nothing was written.\n");
    EXPECT_TRUE(backupNames().empty());
    EXPECT_EQ(cli("restore '" + path + "'").status, 2);
    EXPECT_EQ(cli("backups").status, 2);
}

}  // namespace
