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

namespace vantrel {

enum class TableFormat { Tsv, Csv };

inline constexpr std::size_t kPilotTableColumns = 17;
using PilotTableRow = std::array<std::string, kPilotTableColumns>;

// The header row's column names.
std::span<const std::string_view> pilotTableHeader();

struct PilotTableEntry {
    PilotTableRow cells;
    bool loaded = false;  // false: only the file and the load error are filled
};

// The row for a loaded record; `file` is the file column's text. No setting
// changes the row: the integrity figures are the check's findings whatever
// CheckCheat says.
PilotTableRow pilotTableRow(const std::string& file, const PilotRecord& record);

// Loads the file and builds its row, or the row of a file that failed to load.
PilotTableEntry pilotTableEntry(const std::string& path, FileAccess& files = systemFileAccess());

// One line of the table, with its line end: TSV fields joined by tabs (a tab,
// CR or LF inside a field becomes a space), LF; CSV fields quoted where they
// hold a comma, quote, CR or LF (quotes doubled), CRLF.
std::string tableLine(std::span<const std::string> cells, TableFormat format);
std::string tableLine(std::span<const std::string_view> cells, TableFormat format);

}  // namespace vantrel
