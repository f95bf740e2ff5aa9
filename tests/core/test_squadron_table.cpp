// The squadron table as text: the format names, the whole table and its
// rows, the table made as its files are read, and the saved file.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/app/SquadronTable.h"
#include "core/pilot/MemoryFileAccess.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

TEST(SquadronTable, FormatNames)
{
    EXPECT_EQ(app::tableFormatNamed("tsv"), TableFormat::Tsv);
    EXPECT_EQ(app::tableFormatNamed("csv"), TableFormat::Csv);
    EXPECT_FALSE(app::tableFormatNamed("CSV"));
    EXPECT_FALSE(app::tableFormatNamed(""));
}

TEST(SquadronTable, TheTableIsItsStartThenTheRowsInTheOrderGiven)
{
    MemoryFileAccess files;
    files.put("a.plt", squadronPilot("=Alpha", 100, true).bytes());
    files.put("b.plt", squadronPilot("Beta", 300, false).bytes());
    const PilotTableEntry a = pilotTableEntry("a.plt", files);
    const PilotTableEntry b = pilotTableEntry("b.plt", files);
    const PilotTableEntry gone = pilotTableEntry("gone.plt", files);
    const std::vector<const PilotTableEntry*> order = {&b, &gone, &a};

    const std::string rows = tableLine(b.cells, TableFormat::Csv) + tableLine(gone.cells, TableFormat::Csv) +
                             tableLine(a.cells, TableFormat::Csv);
    EXPECT_EQ(app::squadronRows(order, TableFormat::Csv), rows);
    EXPECT_EQ(app::squadronTable(order, TableFormat::Csv, true),
              std::string(kUtf8ByteOrderMark) + tableStart(TableFormat::Csv) + rows);
    // The formula rule of the CSV holds in the table: the name is text.
    EXPECT_NE(app::squadronTable(order, TableFormat::Csv).find(",'=Alpha,"), std::string::npos);
    // No byte-order mark in a TSV, whatever is asked.
    EXPECT_EQ(app::squadronTable({}, TableFormat::Tsv, true), tableStart(TableFormat::Tsv));
}

TEST(SquadronTable, RowsAreHandedOnAsTheirFilesAreRead)
{
    MemoryFileAccess files;
    files.put("a.plt", squadronPilot("Alpha", 100, true).bytes());
    files.put("b.plt", squadronPilot("Beta", 300, true).bytes());
    std::vector<std::string> pieces;
    const auto keep = [&](const std::string& text) { pieces.push_back(text); };
    const std::vector<std::string> both = {"b.plt", "a.plt"};
    EXPECT_TRUE(app::writeSquadronTable(both, TableFormat::Tsv, false, keep, files));
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], tableStart(TableFormat::Tsv));
    EXPECT_EQ(pieces[1], tableLine(pilotTableEntry("b.plt", files).cells, TableFormat::Tsv));
    EXPECT_EQ(pieces[2], tableLine(pilotTableEntry("a.plt", files).cells, TableFormat::Tsv));

    pieces.clear();
    const std::vector<std::string> withMissing = {"a.plt", "gone.plt", "b.plt"};
    EXPECT_FALSE(app::writeSquadronTable(withMissing, TableFormat::Csv, true, keep, files));
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].rfind(kUtf8ByteOrderMark, 0), 0u);
    EXPECT_NE(pieces[2].find("no such file"), std::string::npos) << pieces[2];
}

TEST(SquadronTable, SavedWholeOrToldWithTheFileItCouldNotCreate)
{
    TempDir dir;
    MemoryFileAccess files;
    files.put("a.plt", squadronPilot("Alpha", 100, true).bytes());
    const PilotTableEntry a = pilotTableEntry("a.plt", files);
    const std::vector<const PilotTableEntry*> rows = {&a};
    const std::string path = dir.file("pilots.csv");
    ASSERT_TRUE(app::saveSquadronTable(path, rows, TableFormat::Csv, true));
    EXPECT_EQ(readFile(path), app::squadronTable(rows, TableFormat::Csv, true));

    const std::string nowhere = dir.file("no/such/folder/pilots.csv");
    const FileResult failed = app::saveSquadronTable(nowhere, rows, TableFormat::Csv);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.message(), "Cannot create file " + nowhere + ".");
    EXPECT_FALSE(failed.cause().empty());
    EXPECT_EQ(app::rowsSavedText(3, "/home/p/pilots.csv"), "3 row(s) saved as /home/p/pilots.csv");
}

}  // namespace
