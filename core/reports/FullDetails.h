// Everything else the pilot record holds, as text.
#pragma once

#include "core/pilot/PilotRecord.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel {

void AppendFullDetails(TextSink& sink, Settings& settings, const PilotRecord& record);

}  // namespace vantrel
