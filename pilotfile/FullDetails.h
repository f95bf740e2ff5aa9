// Everything else the pilot record holds, as text.
#pragma once

#include "pilotfile/PilotRecord.h"
#include "pilotfile/TextSink.h"
#include "settings/Settings.h"

namespace vantrel {

void AppendFullDetails(TextSink& sink, Settings& settings, const PilotRecord& record);

}  // namespace vantrel
