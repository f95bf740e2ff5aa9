// Compares the file's redundant score copies.
#pragma once

#include <cstdint>

#include "core/pilot/PilotRecord.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel {

// Appends the check's lines; returns the number of errors (0..4).
std::uint16_t RunIntegrityCheck(TextSink& sink, Settings& settings, const PilotRecord& record);

}  // namespace vantrel
