// Whether a file of the right size is a pilot file the game wrote, rather
// than other bytes under a pilot's name (random data, a file cut and padded).
#pragma once

#include "core/pilot/PilotRecord.h"

namespace vantrel {

// The name field is text ending in its zero byte, and rank, rating and
// Kalidor Crescent are rows of the game's lists.
bool looksLikePilot(const PilotRecord& record);

}  // namespace vantrel
