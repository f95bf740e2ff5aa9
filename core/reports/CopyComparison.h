// Compares the redundant copies that the error/cheat check leaves alone:
// the A and B versions of the kill and assist tables, the stored kill
// totals against the lists they count, and the simulator score's copies.
#pragma once

#include <string>
#include <vector>

#include "core/pilot/PilotRecord.h"

namespace vantrel {

// One finding per disagreement (the tables, then the totals, then the score
// copies), each telling what differs,
// e.g. "TOD kills, TIE Interceptor: list A 81, list B 41" or
// "TOD total kills: stored 90, list A adds up to 81". Empty when every copy
// agrees. Writes nothing: the reports keep their texts.
std::vector<std::string> CompareOtherCopies(const PilotRecord& record);

}  // namespace vantrel
