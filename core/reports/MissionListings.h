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

// What the listings show of each mission.
struct ListingFigures {
    bool showZero;  // missions without score, bonus and time too
    bool total;
    bool score;
    bool bonus;
    bool time;
};

// Brings the settings up to date (UpdateFile) and reads what a listing
// starting now shows.
ListingFigures readListingFigures(Settings& settings);

// Normalises the range (writing changed values back) and lists the campaign
// missions From..To, as the settings say at the start.
void RipScore(TextSink& sink, Settings& settings, const PilotRecord& record, MissionRange& range);
void RipScore(TextSink& sink, const ListingFigures& figures, const PilotRecord& record, MissionRange& range);

// Lists all 256 combat-simulator slots, as the settings say at the start.
void SimRipScore(TextSink& sink, Settings& settings, const PilotRecord& record);
void SimRipScore(TextSink& sink, const ListingFigures& figures, const PilotRecord& record);

// A mission time in whole minutes and the seconds left over; times under a
// minute, and negative ones, are all seconds.
struct MissionTime {
    std::int32_t minutes;
    std::int32_t seconds;
};
MissionTime splitMissionTime(std::int32_t seconds);

// Minutes and seconds as "m:s".
std::string formatMissionTime(std::int32_t seconds);

}  // namespace vantrel
