// Everything else the pilot record holds, as text.
#pragma once

#include "core/reports/MissionListings.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel {

// The combat-simulator listing in it shows what the settings say at the
// start, or what `figures` say.
void AppendFullDetails(TextSink& sink, Settings& settings, const PilotRecord& record);
void AppendFullDetails(TextSink& sink, const ListingFigures& figures, const PilotRecord& record);

}  // namespace vantrel
