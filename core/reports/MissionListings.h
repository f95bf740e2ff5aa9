// Mission-by-mission score listings: the campaign over a range, the combat
// simulator in full.
#pragma once

#include <cstdint>
#include <string>

#include "core/reports/MissionRange.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel {

// Normalises the range (writing changed values back) and lists the campaign
// missions From..To.
void RipScore(TextSink& sink, Settings& settings, const PilotRecord& record, MissionRange& range);

// Lists all 256 combat-simulator slots.
void SimRipScore(TextSink& sink, Settings& settings, const PilotRecord& record);

// Minutes and seconds as "m:s".
std::string formatMissionTime(std::int32_t seconds);

}  // namespace vantrel
