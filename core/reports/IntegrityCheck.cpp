#include "core/reports/IntegrityCheck.h"

#include <string>

#include "core/text/WholeNumber.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

std::uint16_t RunIntegrityCheck(TextSink& sink, Settings& settings, const PilotRecord& r)
{
    sink.addLine("File Cheat/Error check:");
    std::uint16_t errors = 0;
    const auto compare = [&](std::int32_t a, std::int32_t b, std::string_view message) {
        if (a != b) {
            sink.addLine(message);
            ++errors;
        }
    };
    compare(r.TODScoreA, r.TODScoreB, "TODScoreA <> TODScoreB!");
    compare(r.TODScoreA, r.TODScoreC, "TODScoreA <> TODScoreC!");
    compare(r.TODScoreA, r.TODScoreD, "TODScoreA <> TODScoreD!");
    compare(r.AzzScoreB, r.AzzScoreD, "AzzScore1 <> AzzScore2!");

    // Either of the two Azzameen copies may be the one the missions add up to.
    const std::int32_t todPart = wrappingAdd(r.TODScoreA, r.TODBonus);
    const std::int32_t sumWithB = wrappingAdd(wrappingAdd(todPart, r.AzzScoreB), r.AzzBonus);
    const std::int32_t sumWithC = wrappingAdd(wrappingAdd(todPart, r.AzzScoreC), r.AzzBonus);
    if (sumWithB != r.CampaignCalculatedTotal && sumWithC != r.CampaignCalculatedTotal)
        sink.addLine("TODScore+TODBonuns+AzzScore+AzzBonus <> Calculated Total Score. This may not be a real error.");

    if (errors == 0)
        sink.addLine("Pilotfile seems OK.");
    else
        sink.addLine(std::to_string(errors) + " error(s) found!");

    if (errors > 0 && settings.flag(keys::ShowErrorDetailes, defaults::ShowErrorDetailes)) {
        sink.addLine("TODScoreA= " + std::to_string(r.TODScoreA));
        sink.addLine("TODScoreB= " + std::to_string(r.TODScoreB));
        sink.addLine("TODScoreC= " + std::to_string(r.TODScoreC));
        sink.addLine("TODScoreD= " + std::to_string(r.TODScoreD));
        sink.addLine("TODBonus= " + std::to_string(r.TODBonus));
        sink.addLine("AzzScore1= " + std::to_string(r.AzzScoreB));
        sink.addLine("AzzScore2= " + std::to_string(r.AzzScoreD));
        sink.addLine("AzzBonus= " + std::to_string(r.AzzBonus));
        sink.addLine("TODScoreA+TODBonuns+AzzScore1+AzzBonus= " + std::to_string(sumWithB));
        sink.addLine("Calculated Total Score= " + std::to_string(r.CampaignCalculatedTotal));
    }
    return errors;
}

}  // namespace vantrel
