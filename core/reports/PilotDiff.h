// What changed between two saves of a pilot: one line per differing field.
#pragma once

#include <string>
#include <vector>

#include "core/pilot/PilotRecord.h"

namespace vantrel {

// One "field: old -> new" line for every field the loader reads that differs
// between the two records, in this order: name, rank, rating, Kalidor
// Crescent, progress to the next rating, the score copies and bonuses, the
// campaign and simulator mission slots, the kill and assist counters by
// craft type, the multiplayer counters by rating, the game names, the losses;
// then "total: old -> new (+change)" for each total that changed (the
// campaign total and the kill totals). Empty when the records agree.
std::vector<std::string> diffPilots(const PilotRecord& older, const PilotRecord& newer);

}  // namespace vantrel
