// One row per pilot file: what a squadron's reviewer checks of each file,
// as tab- or comma-separated text.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/IntegrityCheck.h"
#include "core/settings/Settings.h"

namespace vantrel {

enum class TableFormat { Tsv, Csv };

inline constexpr std::size_t kPilotTableColumns = 17;
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
    kIntegrityErrorsColumn,
    kTotalWarningColumn,
    kLoadErrorColumn,
};

// The header row's column names.
std::span<const std::string_view> pilotTableHeader();

// Whether a loaded file's cell in the column is a whole number in decimal.
bool pilotTableNumberColumn(std::size_t column);

struct PilotTableEntry {
    PilotTableRow cells;
    bool loaded = false;  // false: only the file and the load error are filled
    IntegrityFindings check;  // of a loaded file

    // A loaded file whose check finds differing copies or whose score total
    // warning applies.
    bool flagged() const { return loaded && (check.errors() > 0 || check.totalWarning); }
};

// The row for a loaded record; `file` is the file column's text. The
// integrity figures are the check's findings whatever CheckCheat says; no
// setting changes the row.
PilotTableRow pilotTableRow(const std::string& file, const PilotRecord& record, Settings& settings);

// Loads the file and builds its row, or the row of a file that failed to load.
PilotTableEntry pilotTableEntry(const std::string& path, Settings& settings, FileAccess& files = systemFileAccess());
// The same, reading no setting; `record` gets what the load read.
PilotTableEntry pilotTableEntry(const std::string& path, PilotRecord& record, FileAccess& files = systemFileAccess());

// The pilot files a command-line PATH names: a folder is searched through all
// its subfolders for names ending in ".plt" in any letter case, sorted by
// path in byte order; anything else is taken as given. Every such name that
// is no folder is listed, whether or not it can be read (a link that leads
// nowhere, a FIFO), so that its load tells why; links to folders are not
// searched. `errors` gets "FOLDER: reason" for each folder that cannot be
// read to the end; the search goes on with the others.
std::vector<std::string> pilotFilesFor(const std::string& path, std::vector<std::string>& errors);

// One line of the table, with its line end: TSV fields joined by tabs (a tab,
// CR or LF inside a field becomes a space), LF; CSV fields quoted where they
// hold a comma, quote, CR or LF (quotes doubled), CRLF.
std::string tableLine(std::span<const std::string> cells, TableFormat format);
std::string tableLine(std::span<const std::string_view> cells, TableFormat format);

}  // namespace vantrel
