// The pilot report: summary, log entry, integrity check, mission listing and
// full details, in that order.
#pragma once

#include <string>

#include "core/reports/LogEntry.h"
#include "core/reports/MissionRange.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel {

// Clears the sink and writes the whole report; returns the log entry for the
// export field and sets record.FileErrorCount. Throws ConversionError (after
// the summary lines) when NameSource or ScoreFormat is not a whole number.
std::string BuildPilotReport(TextSink& sink, Settings& settings, PilotRecord& record, MissionRange& range,
                             bool withMissionListing, const DateSource& today = {});

// The log entry the export field holds after a load: the entry, marked with
// the error mark when CheckCheat is on and the check finds errors. Throws
// ConversionError as BuildPilotReport does.
std::string BuildExportEntry(Settings& settings, const PilotRecord& record, const DateSource& today = {});

// The five summary lines.
void writeScoreSummary(TextSink& sink, const PilotRecord& record);

// TODScoreA + TODBonus + AzzScoreB + AzzBonus, wrapping.
std::int32_t CampaignScoreSum(const PilotRecord& record);

}  // namespace vantrel
