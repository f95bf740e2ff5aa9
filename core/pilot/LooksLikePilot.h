// Whether a file of the right size is a pilot file the game wrote, rather
// than other bytes under a pilot's name (random data, a file cut and padded).
// The folder watcher and a restore judge by the same rule.
#pragma once

#include <string>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotRecord.h"

namespace vantrel {

// Why the record is no pilot the game wrote; empty when it looks like one:
// the name field is text ending in its zero byte, and rank, rating and
// Kalidor Crescent are rows of the game's lists.
std::string notAPilotReason(const PilotRecord& record);

bool looksLikePilot(const PilotRecord& record);

// Loads `path` through `files` into `record` (`loaded` receives the load's
// result): empty when it loads, looks like a pilot and is not a file of zero
// bytes alone, otherwise why not.
std::string loadLikelyPilot(PilotRecord& record, const std::string& path, FileAccess& files,
                            LoadResult* loaded = nullptr);

}  // namespace vantrel
