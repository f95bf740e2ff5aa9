// The many-pilot table: each column's value, the rows of files that fail to
// load, the search of folders, and TSV/CSV quoting.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "core/pilot/PilotLoader.h"
#include "core/platform/PilotFileSearch.h"
#include "core/reports/PilotTable.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;
namespace fs = std::filesystem;

namespace {

PilotTableRow rowFor(const PilotImage& image, const std::string& path)
{
    EXPECT_TRUE(image.save(path));
    PilotRecord record;
    EXPECT_TRUE(ReadMission(record, path).ok());
    return pilotTableRow("shown name", record);
}

TEST(PilotTable, RowHoldsNamesScoresAndCheckResults)
{
    TempDir dir;
    PilotImage image;
    image.setText(L::PilotName, "Jan Ors");
    image.setInt(L::Rank, 4);
    image.setInt(L::Rating, 24);
    image.setInt(L::KalidorCrescent, 6);
    for (const auto& f : {L::TODScoreA, L::TODScoreB, L::TODScoreC})
        image.setInt(f, 1000);
    image.setInt(L::TODScoreD, 999);
    image.setInt(L::TODBonus, 505);  // 50 points
    image.setInt(L::AzzScoreA, 1);   // copy A is not the score
    image.setInt(L::AzzScoreB, 300);
    image.setInt(L::AzzScoreD, 300);
    image.setInt(L::AzzBonus, -109);  // -10 points
    image.setInt(L::SimScoreA, 700);
    image.setInt(L::SimScoreB, 1);  // with C and D 0: three other copies differ
    image.setInt(L::SimBonus, 207);
    image.setMission(L::CampaignMissionRecords, 0, {0, 1, 1000, 60, 500});
    image.setMission(L::CampaignMissionRecords, 1, {0, 1, 300, 60, -100});
    image.setMission(L::SimMissionRecords, 0, {0, 1, 500, 60, 0});
    image.setMission(L::SimMissionRecords, 1, {0, 1, 0, 60, 70});
    image.setMission(L::SimMissionRecords, 2, {0, 1, -200, 60, 0});

    const PilotTableRow row = rowFor(image, dir.file("a.plt"));
    EXPECT_EQ(
        row, (PilotTableRow{"shown name", "Jan Ors", "Lieutenant", "Jedi Master", "Kalidor Crescent: Diamond Eyes", "2",
                            "1000", "50", "300", "-10", "1340", "700", "20", "2", "1", "no", "", "3"}));

    // Values outside the tables show as numbers; a total that misses the
    // missions' sum with both Azzameen copies gives the warning.
    image.setInt(L::Rank, 9);
    image.setInt(L::Rating, -1);
    image.setInt(L::KalidorCrescent, 7);
    image.setInt(L::TODScoreD, 1000);
    image.setInt(L::AzzScoreC, 299);
    image.setInt(L::AzzScoreB, 301);
    image.setInt(L::AzzScoreD, 301);
    const PilotTableRow odd = rowFor(image, dir.file("a.plt"));
    EXPECT_EQ(odd[2], "9");
    EXPECT_EQ(odd[3], "-1");
    EXPECT_EQ(odd[4], "7");
    EXPECT_EQ(odd[10], "1341");
    EXPECT_EQ(odd[14], "0");
    EXPECT_EQ(odd[15], "yes");

    // Either Azzameen copy meeting the missions' sum is enough.
    image.setInt(L::AzzScoreC, 300);
    EXPECT_EQ(rowFor(image, dir.file("a.plt"))[15], "no");
}

TEST(PilotTable, AFileThatFailsToLoadGetsItsErrorText)
{
    TempDir dir;
    writeFile(dir.file("short.plt"), "abc");
    const PilotTableEntry entry = pilotTableEntry(dir.file("short.plt"));
    EXPECT_FALSE(entry.loaded);
    PilotTableRow expected{};
    expected[0] = dir.file("short.plt");
    expected[16] =
        "The file have wrong size. 3 The plt file must be 152.076 bytes! "
        "1 Errors while loading file! This may not be a XWA pilotfile.";
    EXPECT_EQ(entry.cells, expected);

    PilotImage image;
    ASSERT_TRUE(image.save(dir.file("good.plt")));
    const PilotTableEntry good = pilotTableEntry(dir.file("good.plt"));
    EXPECT_TRUE(good.loaded);
    EXPECT_EQ(good.cells[0], dir.file("good.plt"));
    EXPECT_EQ(good.cells[16], "");
}

TEST(PilotTable, TheEntryWithoutSettingsCarriesTheRowTheFindingsAndTheRecordRead)
{
    TempDir dir;
    const std::string path = dir.file("a.plt");
    PilotImage image;
    image.setText(L::PilotName, "Wedge");
    image.setInt(L::TODScoreA, 40);
    image.setInt(L::TODScoreD, 40);
    image.setMission(L::CampaignMissionRecords, 0, {0, 1, 40, 60, 0});
    ASSERT_TRUE(image.save(path));

    PilotRecord record;
    const PilotTableEntry entry = pilotTableEntry(path, record);
    ASSERT_TRUE(entry.loaded);
    EXPECT_EQ(fieldText(record.PilotName), "Wedge");
    EXPECT_EQ(entry.cells, pilotTableEntry(path).cells);
    // Copies B and C are 0: two differ; the sum matches the missions'.
    EXPECT_EQ(entry.check.errors(), 2);
    EXPECT_FALSE(entry.check.totalWarning);
    EXPECT_TRUE(entry.flagged());
    EXPECT_EQ(entry.mark(), PilotMark::FailsCheck);
    EXPECT_EQ(pilotMarkSign(entry.mark()), "!");
    EXPECT_EQ(entry.cells[kCheckErrorsColumn], "2");

    image.setInt(L::TODScoreB, 40);
    image.setInt(L::TODScoreC, 40);
    ASSERT_TRUE(image.save(path));
    EXPECT_FALSE(pilotTableEntry(path, record).flagged());
    EXPECT_EQ(pilotTableEntry(path, record).mark(), PilotMark::None);
    EXPECT_EQ(pilotMarkSign(PilotMark::None), "");
    // Only the total warning: a mark of its own, not the failed check's.
    image.setMission(L::CampaignMissionRecords, 0, {0, 1, 41, 60, 0});
    ASSERT_TRUE(image.save(path));
    EXPECT_TRUE(pilotTableEntry(path, record).flagged());
    EXPECT_EQ(pilotTableEntry(path, record).mark(), PilotMark::TotalWarningOnly);
    EXPECT_EQ(pilotMarkSign(PilotMark::TotalWarningOnly), "?");
    // Other copies that differ fail the check, whatever the total says.
    image.setInt(L::TODKillsA, 40);
    ASSERT_TRUE(image.save(path));
    EXPECT_EQ(pilotTableEntry(path, record).mark(), PilotMark::FailsCheck);

    writeFile(path, "abc");
    const PilotTableEntry failed = pilotTableEntry(path, record);
    EXPECT_FALSE(failed.flagged());
    EXPECT_EQ(failed.mark(), PilotMark::NotLoaded);
    EXPECT_EQ(pilotMarkSign(failed.mark()), "X");
    EXPECT_EQ(failed.cells, pilotTableEntry(path).cells);

    // The columns whose cells are numbers, as a loaded row has them.
    PilotTableRow numbers = entry.cells;
    for (std::size_t c = 0; c < kPilotTableColumns; ++c) {
        SCOPED_TRACE(c);
        const bool number = !numbers[c].empty() && numbers[c].find_first_not_of("-0123456789") == std::string::npos;
        if (c != kNameColumn) {
            EXPECT_EQ(pilotTableNumberColumn(c), number) << numbers[c];
        }
    }
}

#ifndef _WIN32  // names that differ only in case, '/' in the expected paths
TEST(PilotTable, FoldersAreSearchedForPilotFilesInByteOrder)
{
    TempDir dir;
    fs::create_directories(dir.path() / "squad/sub/deeper");
    fs::create_directories(dir.path() / "squad/folder.plt");
    for (const char* name :
         {"squad/b.plt", "squad/B.PLT", "squad/a.Plt", "squad/notes.txt", "squad/plt", "squad/sub/deeper/z.plt",
          "squad/sub/y.plt", "squad/folder.plt/inside.plt", "squad/\xC3\xA9.plt", "squad/x.plt.bak"})
        writeFile(dir.file(name), "x");
    const std::string squad = dir.file("squad");
    const PilotFileSearch search = findPilotFiles(squad);
    EXPECT_EQ(search.files, (std::vector<std::string>{squad + "/B.PLT", squad + "/a.Plt", squad + "/b.plt",
                                                      squad + "/folder.plt/inside.plt", squad + "/sub/deeper/z.plt",
                                                      squad + "/sub/y.plt", squad + "/\xC3\xA9.plt"}));
    EXPECT_TRUE(search.failures.empty());

    // Anything that is no folder is taken as given.
    EXPECT_EQ(findPilotFiles(dir.file("squad/notes.txt")).files, std::vector<std::string>{dir.file("squad/notes.txt")});
    EXPECT_EQ(findPilotFiles(dir.file("missing")).files, std::vector<std::string>{dir.file("missing")});
}
#endif

// ---- table reports every pilot --------------------------------------------

#ifndef _WIN32
TEST(PilotTable, TheSearchListsEveryPilotNameButFollowsNoFolderLink)
{
    // Whatever a *.plt entry is (a link that leads nowhere or to itself, a
    // FIFO), it is listed so that its row tells why it cannot be read; links
    // to folders are not searched, so a link back up cannot make the search
    // go round.
    TempDir dir;
    const fs::path squad = dir.path() / "squad";
    fs::create_directories(squad / "sub");
    writeFile((squad / "a.plt").string(), "x");
    fs::create_symlink("gone.plt", squad / "dangling.plt");
    fs::create_symlink("self.plt", squad / "self.plt");
    fs::create_symlink("a.plt", squad / "to-a.plt");
    ASSERT_EQ(::mkfifo((squad / "sub/pipe.plt").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((squad / "pipe.txt").c_str(), 0644), 0);
    fs::create_directory_symlink("..", squad / "sub/up");
    fs::create_directory_symlink("..", squad / "sub/up.plt");
    fs::create_directory_symlink(dir.path(), squad / "elsewhere");

    const std::string s = squad.string();
    const PilotFileSearch search = findPilotFiles(s);
    EXPECT_EQ(search.files, (std::vector<std::string>{s + "/a.plt", s + "/dangling.plt", s + "/self.plt",
                                                      s + "/sub/pipe.plt", s + "/to-a.plt"}));
    EXPECT_TRUE(search.failures.empty());

    // A link given by name is followed, as before.
    EXPECT_EQ(findPilotFiles(s + "/sub/up").files.size(), 5u);
}

TEST(PilotTable, TheSearchTellsOfEveryFolderItCannotEnterAndGoesOn)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root searches every folder whatever its permission bits; run as another user to check this";
    TempDir dir;
    const fs::path squad = dir.path() / "squad";
    fs::create_directories(squad / "a-locked");
    fs::create_directories(squad / "b/c-locked");
    writeFile((squad / "a-locked/hidden.plt").string(), "x");
    writeFile((squad / "b/seen.plt").string(), "x");
    writeFile((squad / "z.plt").string(), "x");
    ASSERT_EQ(::chmod((squad / "a-locked").c_str(), 0), 0);
    ASSERT_EQ(::chmod((squad / "b/c-locked").c_str(), 0), 0);

    const auto messages = [](const PilotFileSearch& search) {
        std::vector<std::string> texts;
        for (const FileResult& failure : search.failures) {
            EXPECT_EQ(failure.cause(), "Permission denied");
            texts.push_back(failure.message());
        }
        return texts;
    };
    const std::string s = squad.string();
    const PilotFileSearch search = findPilotFiles(s);
    EXPECT_EQ(search.files, (std::vector<std::string>{s + "/b/seen.plt", s + "/z.plt"}));
    EXPECT_EQ(messages(search), (std::vector<std::string>{"Cannot search " + s + "/a-locked: Permission denied",
                                                          "Cannot search " + s + "/b/c-locked: Permission denied"}));

    ::chmod(s.c_str(), 0);
    const PilotFileSearch refused = findPilotFiles(s);
    EXPECT_TRUE(refused.files.empty());
    EXPECT_EQ(messages(refused), std::vector<std::string>{"Cannot search " + s + ": Permission denied"});
    ::chmod(s.c_str(), 0700);
    ::chmod((squad / "a-locked").c_str(), 0700);
    ::chmod((squad / "b/c-locked").c_str(), 0700);
}
#endif

TEST(PilotTable, TsvAndCsvQuoting)
{
    PilotTableRow cells;
    const std::vector<std::string> texts = {"plain", "a,b", "say \"hi\"", "tab\there", "two\nlines", "cr\rhere"};
    std::copy(texts.begin(), texts.end(), cells.begin());
    const std::string rest(kPilotTableColumns - texts.size(), '\t');
    const std::string commas(kPilotTableColumns - texts.size(), ',');
    EXPECT_EQ(tableLine(cells, TableFormat::Tsv), "plain\ta,b\tsay \"hi\"\ttab here\ttwo lines\tcr here" + rest + "\n");
    EXPECT_EQ(tableLine(cells, TableFormat::Csv),
              "plain,\"a,b\",\"say \"\"hi\"\"\",tab\there,\"two\nlines\",\"cr\rhere\"" + commas + "\r\n");

    const auto header = pilotTableHeader();
    ASSERT_EQ(header.size(), kPilotTableColumns);
    EXPECT_EQ(tableStart(TableFormat::Csv).substr(0, 32), "File,Pilot name,Rank,Rating,Kali");
    EXPECT_EQ(tableStart(TableFormat::Csv, true), std::string(kUtf8ByteOrderMark) + tableStart(TableFormat::Csv));
    EXPECT_EQ(tableStart(TableFormat::Tsv, true), tableStart(TableFormat::Tsv));
    const std::string tsvHeader = tableStart(TableFormat::Tsv);
    EXPECT_EQ(std::count(tsvHeader.begin(), tsvHeader.end(), '\t'), static_cast<long>(kPilotTableColumns - 1));
}

// A CSV text cell a spreadsheet would run as a formula gets a leading
// apostrophe; a number column never does, and neither does a whole number in
// a text column (a rank the game's names do not hold). TSV is left as it is.
TEST(PilotTable, CsvTextCellsThatLookLikeFormulasAreText)
{
    PilotRecord record;
    const std::string name = "=1+2";
    std::copy(name.begin(), name.end(), record.PilotName.begin());
    record.Rank = -7;
    record.TODScoreA = -40;
    const PilotTableRow row = pilotTableRow("=2+5.plt", record);
    ASSERT_EQ(row[kTodScoreColumn], "-40");
    const std::string csv = tableLine(row, TableFormat::Csv);
    EXPECT_EQ(csv.substr(0, 19), "'=2+5.plt,'=1+2,-7,") << csv;
    EXPECT_NE(csv.find(",-40,"), std::string::npos) << csv;
    EXPECT_EQ(csv.find("'-"), std::string::npos) << csv;
    EXPECT_EQ(tableLine(row, TableFormat::Tsv).substr(0, 14), "=2+5.plt\t=1+2\t");

    struct Case {
        std::string cell, asText, asNumber;
    };
    const std::vector<Case> cases = {
        {"+cmd|/C calc", "'+cmd|/C calc", "+cmd|/C calc"},
        {"@SUM(A1)", "'@SUM(A1)", "@SUM(A1)"},
        {"-1+2", "'-1+2", "-1+2"},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\"", "\"=HYPERLINK(\"\"x\"\")\""},
        {"\tx", "'\tx", "\tx"},
        {"\rx", "\"'\rx\"", "\"\rx\""},
        {"-", "'-", "-"},
        {"-12", "-12", "-12"},
        {"a=b", "a=b", "a=b"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        PilotTableRow one;
        one[kNameColumn] = c.cell;
        one[kTodScoreColumn] = c.cell;
        one[kLoadErrorColumn] = c.cell;
        std::string expected = "," + c.asText + ",,,,," + c.asNumber;
        expected += std::string(kLoadErrorColumn - kTodScoreColumn, ',') + c.asText + ",\r\n";
        EXPECT_EQ(tableLine(one, TableFormat::Csv), expected) << c.cell;
    }
}

}  // namespace

// The one column table: every part names a column as it does, the header row
// is its headers in row order, and no two columns share a name or a key.
TEST(PilotTable, TheColumnTableNamesEveryColumnOnce)
{
    const auto columns = pilotTableColumns();
    ASSERT_EQ(columns.size(), kPilotTableColumns);
    std::vector<std::string_view> keys, headers;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        SCOPED_TRACE(columns[c].header);
        EXPECT_EQ(columns[c].id, c);
        EXPECT_EQ(pilotTableHeader()[c], columns[c].header);
        EXPECT_EQ(pilotTableNumberColumn(c), columns[c].kind == CellKind::Number);
        EXPECT_FALSE(columns[c].widthSample.empty());
        keys.push_back(columns[c].key);
        headers.push_back(columns[c].header);
    }
    std::sort(keys.begin(), keys.end());
    std::sort(headers.begin(), headers.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
    EXPECT_EQ(std::adjacent_find(headers.begin(), headers.end()), headers.end());
    // The check's findings go by the name the review window gives them.
    EXPECT_EQ(columns[kCheckErrorsColumn].header, "Check errors");
    EXPECT_EQ(pilotTableNumberColumnNamed("check errors"), std::optional<std::size_t>(kCheckErrorsColumn));
    EXPECT_NE(tableStart(TableFormat::Tsv).find("\tCheck errors\t"), std::string::npos);
}
