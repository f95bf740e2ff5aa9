// One row per pilot file: what a squadron's reviewer checks of each file,
// as tab- or comma-separated text.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/IntegrityCheck.h"

namespace vantrel {

struct LoadResult;

enum class TableFormat { Tsv, Csv };

// What a CSV file starts with for the spreadsheet programs that take it as
// UTF-8 only then: the byte-order mark, in UTF-8.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

inline constexpr std::size_t kPilotTableColumns = 18;
using PilotTableRow = std::array<std::string, kPilotTableColumns>;

// The columns, in the order of the header row.
enum PilotTableColumn : std::size_t {
    kFileColumn,
    kNameColumn,
    kRankColumn,
    kRatingColumn,
    kKalidorColumn,
    kCampaignMissionsColumn,
    kTodScoreColumn,
    kTodBonusColumn,
    kAzzScoreColumn,
    kAzzBonusColumn,
    kCampaignTotalColumn,
    kSimScoreColumn,
    kSimBonusColumn,
    kSimMissionsColumn,
    kCheckErrorsColumn,
    kTotalWarningColumn,
    kLoadErrorColumn,
    kOtherCopiesColumn,  // added last, so that the columns before keep their places
};

// What a loaded file's cell in a column holds: a whole number in decimal, or text.
enum class CellKind { Text, Number };

// One column of the table, as every program part names and sizes it: the
// table of these is the one place a column is described.
struct PilotTableColumnInfo {
    PilotTableColumn id;      // its place in a row
    std::string_view key;     // a name for code to find it by ("campaign-total")
    std::string_view header;  // its name in the header row, the window and the page
    CellKind kind;
    std::string_view widthSample;  // the widest usual cell, which a column is made wide enough for
};

// Every column, in the order of the header row.
std::span<const PilotTableColumnInfo> pilotTableColumns();

// The header row's column names.
std::span<const std::string_view> pilotTableHeader();

// Whether a loaded file's cell in the column is a whole number in decimal.
bool pilotTableNumberColumn(std::size_t column);

// The number column whose header is `name`, letter case ignored; nullopt for
// any other name.
std::optional<std::size_t> pilotTableNumberColumnNamed(std::string_view name);

// The verdict on one pilot file, for reviewers. The check fails when it finds
// differing score copies or other copies that differ; the score total warning
// alone, which the report itself calls possibly not a real error, is a mark of
// its own.
enum class PilotMark {
    None,
    FailsCheck,        // "!"
    TotalWarningOnly,  // "?"
    NotLoaded,         // "X"
};

struct PilotTableEntry {
    PilotTableRow cells;
    bool loaded = false;                   // false: only the file and the load error are filled
    IntegrityFindings check;               // of a loaded file
    std::vector<std::string> otherCopies;  // of a loaded file: CompareOtherCopies

    // A loaded file whose check finds differing copies, whose score total
    // warning applies or whose other copies differ.
    bool flagged() const { return mark() == PilotMark::FailsCheck || mark() == PilotMark::TotalWarningOnly; }
    // What a reviewer is shown of the row at a glance; see PilotMark.
    PilotMark mark() const;
};

// The sign a row's mark is shown as: "!", "?", "X", or nothing.
std::string_view pilotMarkSign(PilotMark mark);

// The row for a loaded record; `file` is the file column's text. The
// integrity figures are the check's findings whatever CheckCheat says, and
// the other copies are always compared; no setting changes the row.
PilotTableRow pilotTableRow(const std::string& file, const PilotRecord& record);

// Loads the file and builds its row, or the row of a file that failed to load.
PilotTableEntry pilotTableEntry(const std::string& path, FileAccess& files = systemFileAccess());
// The same; `record` gets what the load read, and `load`, when given, what
// the load yields besides (its messages, the dialog's selections).
PilotTableEntry pilotTableEntry(const std::string& path, PilotRecord& record, FileAccess& files = systemFileAccess(),
                                LoadResult* load = nullptr);
// The row of a file loaded already, from what its load gave.
PilotTableEntry pilotTableEntry(const std::string& path, const PilotRecord& record, const LoadResult& load);

// The table as text: every table the program writes, printed or saved, is
// built of these (core/app/SquadronTable puts them together). A line ends with its line end: TSV fields joined by tabs
// (a tab, CR or LF inside a field becomes a space), LF; CSV fields quoted
// where they hold a comma, quote, CR or LF (quotes doubled), CRLF. A CSV
// text cell that starts with = + - @, a tab or a CR, and is no whole
// number, gets a leading apostrophe, so that a spreadsheet shows it rather
// than run it as a formula (a pilot named "=HYPERLINK(..."); the number
// columns are never changed.
// The byte-order mark when asked (CSV only), then the header row.
std::string tableStart(TableFormat format, bool byteOrderMark = false);
// One pilot's row.
std::string tableLine(const PilotTableRow& cells, TableFormat format);

}  // namespace vantrel
