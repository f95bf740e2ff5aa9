// The squadron table as text: the header row, then one row per pilot, as
// TSV or as CSV (with its byte-order mark when asked, and text cells that a
// spreadsheet would run as formulas made text; see core/reports/PilotTable).
// vantrel-cli table prints it, the review window saves and copies it, and
// the browser page shows it and gives it for download.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/files/FileResult.h"
#include "core/pilot/FileAccess.h"
#include "core/reports/PilotTable.h"

namespace vantrel::app {

// The format a name stands for: "tsv" or "csv"; nullopt for any other.
std::optional<TableFormat> tableFormatNamed(std::string_view name);

// The rows alone, in the order given.
std::string squadronRows(std::span<const PilotTableEntry* const> entries, TableFormat format);
// The whole table: the byte-order mark when asked (CSV only), the header,
// then the rows in the order given.
std::string squadronTable(std::span<const PilotTableEntry* const> entries, TableFormat format,
                          bool byteOrderMark = false);

// The whole table written as the file `path`, replaced at once: on failure
// the message "Cannot create file PATH." and the system's cause.
FileResult saveSquadronTable(const std::string& path, std::span<const PilotTableEntry* const> entries,
                             TableFormat format, bool byteOrderMark = false);

// "3 row(s) saved as FILE"
std::string rowsSavedText(std::size_t rows, const std::string& file);

// The table of these pilot files, each one loaded in turn and its row
// handed to `write` as soon as it is read (the header first), so that a long
// table shows as it is made; false when a file did not load.
bool writeSquadronTable(std::span<const std::string> files, TableFormat format, bool byteOrderMark,
                        const std::function<void(const std::string& text)>& write,
                        FileAccess& access = systemFileAccess());

}  // namespace vantrel::app
