#include "core/reports/PilotReport.h"

#include <optional>
#include <utility>

#include "core/reports/FullDetails.h"
#include "core/reports/IntegrityCheck.h"
#include "core/reports/LineBuilder.h"
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
    LineBuilder out(sink);
    out << "Name: " << fieldText(r.PilotName);
    out.end();
    out << "TOD Score: " << r.TODScoreA << " TOD Bonus: " << r.TODBonus;
    out.end();
    out << "Azz Score: " << r.AzzScoreB << " Azz Bonus: " << r.AzzBonus;
    out.end();
    out.line("-------------------------------------------------");
    out << "Total: " << CampaignScoreSum(r);
    out.end();
}

namespace {

// The export entry: marked when the check, switched on, found errors.
std::string exportEntry(std::string entry, std::uint16_t errors)
{
    return errors > 0 ? markEntryWithErrors(entry) : entry;
}

}  // namespace

std::string BuildExportEntry(Settings& settings, const PilotRecord& record, const DateSource& today)
{
    std::string entry = buildLogEntry(settings, record, today);
    const bool checked = settings.flag(keys::CheckCheat, defaults::CheckCheat);
    return exportEntry(std::move(entry), checked ? CheckIntegrity(record).errors() : 0);
}

std::string BuildPilotReport(TextSink& sink, Settings& settings, PilotRecord& record, MissionRange& range,
                             bool withMissionListing, const DateSource& today)
{
    sink.clear();
    writeScoreSummary(sink, record);
    // The export entry as BuildExportEntry gives it, from the check below.
    std::string entry = buildLogEntry(settings, record, today);

    record.FileErrorCount = 0;
    if (settings.flag(keys::CheckCheat, defaults::CheckCheat))
        record.FileErrorCount = RunIntegrityCheck(sink, settings, record).errors();
    entry = exportEntry(std::move(entry), record.FileErrorCount);

    // Both listings of one report show what the settings say when the first
    // of them starts.
    std::optional<ListingFigures> figures;
    const auto listingFigures = [&]() -> const ListingFigures& {
        if (!figures)
            figures = readListingFigures(settings);
        return *figures;
    };
    if (withMissionListing)
        RipScore(sink, listingFigures(), record, range);
    if (settings.flag(keys::MegaDetails, defaults::MegaDetails))
        AppendFullDetails(sink, listingFigures(), record);
    return entry;
}

}  // namespace vantrel
