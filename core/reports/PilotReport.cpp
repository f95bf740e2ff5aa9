#include "core/reports/PilotReport.h"

#include "core/reports/FullDetails.h"
#include "core/reports/IntegrityCheck.h"
#include "core/reports/MissionListings.h"
#include "core/text/WholeNumber.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

std::int32_t CampaignScoreSum(const PilotRecord& r)
{
    return wrappingAdd(wrappingAdd(wrappingAdd(r.TODScoreA, r.TODBonus), r.AzzScoreB), r.AzzBonus);
}

void writeScoreSummary(TextSink& sink, const PilotRecord& r)
{
    sink.addLine("Name: " + fieldText(r.PilotName));
    sink.addLine("TOD Score: " + std::to_string(r.TODScoreA) + " TOD Bonus: " + std::to_string(r.TODBonus));
    sink.addLine("Azz Score: " + std::to_string(r.AzzScoreB) + " Azz Bonus: " + std::to_string(r.AzzBonus));
    sink.addLine("-------------------------------------------------");
    sink.addLine("Total: " + std::to_string(CampaignScoreSum(r)));
}

std::string BuildPilotReport(TextSink& sink, Settings& settings, PilotRecord& record, MissionRange& range,
                             bool withMissionListing, const DateSource& today)
{
    sink.clear();
    writeScoreSummary(sink, record);
    std::string entry = buildLogEntry(settings, record, today);

    record.FileErrorCount = 0;
    if (settings.flag(keys::CheckCheat, defaults::CheckCheat))
        record.FileErrorCount = RunIntegrityCheck(sink, settings, record);
    if (record.FileErrorCount > 0)
        entry = markEntryWithErrors(entry);

    if (withMissionListing)
        RipScore(sink, settings, record, range);
    if (settings.flag(keys::MegaDetails, defaults::MegaDetails))
        AppendFullDetails(sink, settings, record);
    return entry;
}

}  // namespace vantrel
