// A pilot's history: what its saves held, over their dates.
#pragma once

#include <span>
#include <string>

#include "core/charts/BarChart.h"
#include "core/reports/PilotHistory.h"

namespace vantrel::charts {

// Three panels, one row per version in the order given (oldest first): the
// campaign total, the campaign missions completed and the campaign kills
// (TOD list A and Azzameen). A version that did not load has a row marked
// "X" without a bar.
BarChart historyChart(const std::string& pilot, std::span<const PilotVersion> versions);

// The name the history is told under: the one the newest version that loads
// gives the pilot, or `fallback` (the file's path) when none loads.
std::string historyPilotLabel(std::span<const PilotVersion> versions, const std::string& fallback);

}  // namespace vantrel::charts
