// vantrel-cli and untrusted text: the names a pilot file holds and the names
// of files reach the terminal without the escape sequences, controls and
// bidi overrides they may carry, on stdout and stderr, by every command.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CliFixture.h"
#include "core/reports/PilotTable.h"
#include "core/text/TextRules.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace L = vantrel::layout;

namespace {

const std::string F = "\xEF\xBF\xBD";  // U+FFFD

// Where a terminal would take a byte sequence of `out` as a command, or the
// text is no UTF-8; npos when nowhere. Tab and LF are layout, and so is CR
// before LF where the format ends its lines so (CSV).
std::size_t firstControl(const std::string& out, bool crlf = false)
{
    if (text::validUtf8(out) != out)
        return 0;
    for (std::size_t k = 0; k < out.size(); ++k) {
        const auto c = static_cast<unsigned char>(out[k]);
        const auto next = [&](std::size_t n) {
            return k + n < out.size() ? static_cast<unsigned char>(out[k + n]) : 0;
        };
        if (c == '\t' || c == '\n' || (crlf && c == '\r' && next(1) == '\n'))
            continue;
        if (c < 0x20 || c == 0x7F || (c == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) ||
            (c == 0xE2 && next(1) == 0x80 && next(2) >= 0xAA && next(2) <= 0xAE) ||
            (c == 0xE2 && next(1) == 0x81 && next(2) >= 0xA6 && next(2) <= 0xA9))
            return k;
    }
    return std::string::npos;
}

#define EXPECT_SAFE(run, ...)                                                              \
    do {                                                                                   \
        EXPECT_EQ(firstControl((run).out, ##__VA_ARGS__), std::string::npos) << (run).out; \
        EXPECT_EQ(firstControl((run).err), std::string::npos) << (run).err;                \
    } while (false)

class SafeTextCliTest : public CliFixture {};

// Set the terminal's title and clear the screen; the C1 control the code
// page's byte 0x9D decodes to; write the clipboard (OSC 52); and line breaks
// and a CSI in the join game's name.
constexpr std::string_view kHostileName = "\x1B]2;PWN\x07\x1B[2J\x9D";
const std::string kShownName = F + "]2;PWN" + F + F + "[2J" + F;

TEST_F(SafeTextCliTest, HostileNamesInAPilotFilePrintNoTerminalControls)
{
    PilotImage hostile = namedPilot(kHostileName, 1000);
    hostile.setText(L::MPHostGameName, "\x1B]52;c;cHdu\x07");
    hostile.setText(L::MPJoinGameName,
                    "a\nb\rc\td\x81"
                    "2J");
    const std::string path = dir.file("hostile.plt"), plain = dir.file("plain.plt");
    ASSERT_TRUE(hostile.save(path));
    ASSERT_TRUE(namedPilot("Jan Ors", 1000).save(plain));
    writeFile(ini, "[ZADAdeda]\nMegaDetails=1\n");

    const CliRun report = cli("report --ini " + ini + " " + path);
    EXPECT_EQ(report.status, 0) << report.err;
    EXPECT_SAFE(report);
    EXPECT_NE(report.out.find("Name: " + kShownName + "\n"), std::string::npos) << report.out;
    EXPECT_NE(report.out.find("MP host game name: " + F + "]52;c;cHdu" + F + "\n"), std::string::npos) << report.out;
    // A line break inside a name does not make a line of its own; a tab stays.
    EXPECT_NE(report.out.find("MP join game name: a" + F + "b" + F + "c\td" + F + "2J\n"), std::string::npos)
        << report.out;

    const CliRun tsv = cli("table --ini " + ini + " " + path + " " + plain);
    EXPECT_EQ(tsv.status, 0) << tsv.err;
    EXPECT_SAFE(tsv);
    const std::string row = tsv.out.substr(tsv.out.find('\n') + 1, tsv.out.find(plain) - tsv.out.find('\n') - 1);
    EXPECT_TRUE(row.starts_with(path + "\t" + kShownName + "\t")) << row;
    EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), static_cast<long>(kPilotTableColumns - 1)) << row;

    const CliRun csv = cli("table --format csv --ini " + ini + " " + path);
    EXPECT_SAFE(csv, true);
    EXPECT_NE(csv.out.find("\r\n" + path + "," + kShownName + ","), std::string::npos) << csv.out;

    const CliRun diff = cli("diff " + plain + " " + path);
    EXPECT_EQ(diff.status, 1);
    EXPECT_SAFE(diff);
    EXPECT_NE(diff.out.find(kShownName), std::string::npos) << diff.out;

    const CliRun missions = cli("missions --ini " + ini + " " + path);
    EXPECT_SAFE(missions);
    const CliRun entry = cli("entry --ini " + ini + " " + path);
    EXPECT_SAFE(entry);
}

// Names of files are printed, on stdout and in the messages on stderr, by
// every command; a file system other than Windows' takes controls in them.
#ifndef _WIN32
TEST_F(SafeTextCliTest, HostileFileNamesPrintNoTerminalControls)
{
    const std::string red = "\x1B[31mRED\x1B[0m", shownRed = F + "[31mRED" + F + "[0m";
    const std::string bidi = "evil\xE2\x80\xAEtxt", shownBidi = "evil" + F + "txt";
    std::filesystem::create_directories(dir.file("old"));
    std::filesystem::create_directories(dir.file("new"));
    const std::string redPath = dir.file("old/" + red + ".plt"), bidiPath = dir.file("old/" + bidi + ".plt");
    ASSERT_TRUE(namedPilot("Jan Ors", 1000).save(redPath));
    ASSERT_TRUE(namedPilot("Jan Ors", 1000).save(bidiPath));
    const std::string backups = dir.file("data") + "/vantrel/backups";
    std::filesystem::create_directories(backups);
    ASSERT_TRUE(namedPilot("Jan Ors", 900).save(backups + "/" + red + "-20261201-100000.plt"));
    const auto q = [](const std::string& path) { return "'" + path + "'"; };

    const CliRun table = cli("table --ini " + ini + " " + q(dir.file("old")));
    EXPECT_SAFE(table);
    EXPECT_NE(table.out.find("\n" + dir.file("old/" + shownBidi + ".plt") + "\t"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("\n" + dir.file("old/" + shownRed + ".plt") + "\t"), std::string::npos) << table.out;

    const CliRun entry = cli("entry --ini " + ini + " " + q(redPath) + " " + q(bidiPath));
    EXPECT_SAFE(entry);
    // An entry is main-log text: its own rule has made the controls '?' already.
    EXPECT_EQ(entry.out, "?[31mRED?[0m - Score: 1000 (1000+0)\n" + shownBidi + " - Score: 1000 (1000+0)\n");

    const CliRun diff = cli("diff " + q(dir.file("old")) + " " + q(dir.file("new")));
    EXPECT_EQ(diff.status, 1);
    EXPECT_SAFE(diff);
    EXPECT_NE(diff.out.find("Only in " + dir.file("old") + ": " + shownRed + ".plt\n"), std::string::npos) << diff.out;

    const CliRun backupList = cli("backups " + q(redPath));
    EXPECT_SAFE(backupList);
    EXPECT_NE(backupList.out.find("  " + backups + "/" + shownRed + "-20261201-100000.plt\n"), std::string::npos)
        << backupList.out;

    // The messages on stderr: a file that is not there, a command that is not one.
    const std::string missing = dir.file("\x1B]2;x\x07.plt");
    const CliRun report = cli("report --ini " + ini + " " + q(missing));
    EXPECT_EQ(report.status, 1);
    EXPECT_SAFE(report);
    EXPECT_EQ(report.err, dir.file(F + "]2;x" + F + ".plt") + ": no such file\n");
    const CliRun unknown =
        cli(q("\x1B[2J\xC2\x9B"
              "1m"));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_SAFE(unknown);
    EXPECT_TRUE(unknown.err.starts_with("vantrel-cli: unknown command " + F + "[2J" + F + "1m")) << unknown.err;
}
#endif

// The CSV a spreadsheet opens: names that read as formulas are text.
TEST_F(SafeTextCliTest, TheCsvTableShowsFormulasAsText)
{
    const std::string path = dir.file("f.plt");
    ASSERT_TRUE(namedPilot("=1+2", -50).save(path));
    const CliRun csv = cli("table --format csv --ini " + ini + " " + path);
    EXPECT_NE(csv.out.find("\r\n" + path + ",'=1+2,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",-50,"), std::string::npos) << csv.out;
    const CliRun tsv = cli("table --ini " + ini + " " + path);
    EXPECT_NE(tsv.out.find("\n" + path + "\t=1+2\t"), std::string::npos) << tsv.out;
}

}  // namespace
