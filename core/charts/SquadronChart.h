// A squadron's standing: one numeric column of the pilot table, per pilot.
#pragma once

#include <cstddef>
#include <span>

#include "core/charts/BarChart.h"
#include "core/reports/PilotTable.h"

namespace vantrel::charts {

// The column a squadron chart shows unless another is asked for.
inline constexpr std::size_t kSquadronDefaultColumn = kCampaignTotalColumn;

enum class RowOrder { LargestFirst, AsGiven };

// A bar for each loaded pilot with the value of `column` (one for which
// pilotTableNumberColumn holds), labelled with the pilot's name and file
// name. Each pilot is marked as the review window marks it ("!" the check
// fails, "?" only the total warning, "X" the file did not load); files that
// did not load are listed last, without a bar. AsGiven
// keeps the entries' order (a table as the user sorted it).
BarChart squadronChart(std::span<const PilotTableEntry> entries, std::size_t column,
                       RowOrder order = RowOrder::LargestFirst);

}  // namespace vantrel::charts
