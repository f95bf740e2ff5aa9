// The words the squadron review shows about its rows: each row's mark in
// words, the mark column's legend, the summary line and what adding the
// rows' entries to the main log did. The review window and the browser
// page both show them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/reports/PilotTable.h"

namespace vantrel {

// The heading of the column that shows each row's mark.
inline constexpr std::string_view kMarkColumnName = "Mark";

// What the mark column says of a row, in words: "Check passed", "Not
// loaded: " and the load error, the total warning's caveat, or "Fails the
// check: " with the findings and, a line each, the other copies that differ.
std::string pilotMarkDescription(const PilotTableEntry& entry);

// The mark column's legend: what each of the three signs means.
std::string pilotMarkLegend();

// The hint of the box that hides the rows without a mark.
std::string markedOnlyHint();

// "17 pilots: 2 fail the check, 1 with the total warning only, 0 did not load"
std::string pilotTableSummary(std::size_t pilots, std::size_t failing, std::size_t warningOnly, std::size_t notLoaded);

// "3 entries added to the main log; 2 rows that did not load were skipped"
std::string entriesAddedText(std::size_t added, std::size_t skipped);

}  // namespace vantrel
