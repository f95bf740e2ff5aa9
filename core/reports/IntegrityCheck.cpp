#include "core/reports/IntegrityCheck.h"

#include <string>

#include "core/reports/LineBuilder.h"
#include "core/text/WholeNumber.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

IntegrityFindings CheckIntegrity(const PilotRecord& r)
{
    IntegrityFindings found;
    found.todScoreB = r.TODScoreA != r.TODScoreB;
    found.todScoreC = r.TODScoreA != r.TODScoreC;
    found.todScoreD = r.TODScoreA != r.TODScoreD;
    found.azzScore2 = r.AzzScoreB != r.AzzScoreD;

    // Either of the two Azzameen copies may be the one the missions add up to.
    const std::int32_t todPart = wrappingAdd(r.TODScoreA, r.TODBonus);
    found.sumWithB = wrappingAdd(wrappingAdd(todPart, r.AzzScoreB), r.AzzBonus);
    const std::int32_t sumWithC = wrappingAdd(wrappingAdd(todPart, r.AzzScoreC), r.AzzBonus);
    found.totalWarning = found.sumWithB != r.CampaignCalculatedTotal && sumWithC != r.CampaignCalculatedTotal;
    return found;
}

IntegrityFindings RunIntegrityCheck(TextSink& sink, Settings& settings, const PilotRecord& r)
{
    const IntegrityFindings found = CheckIntegrity(r);
    const std::uint16_t errors = found.errors();
    LineBuilder out(sink);
    out.line("File Cheat/Error check:");
    if (found.todScoreB)
        out.line("TODScoreA <> TODScoreB!");
    if (found.todScoreC)
        out.line("TODScoreA <> TODScoreC!");
    if (found.todScoreD)
        out.line("TODScoreA <> TODScoreD!");
    if (found.azzScore2)
        out.line("AzzScore1 <> AzzScore2!");
    if (found.totalWarning)
        out.line("TODScore+TODBonuns+AzzScore+AzzBonus <> Calculated Total Score. This may not be a real error.");

    if (errors == 0) {
        out.line("Pilotfile seems OK.");
    } else {
        out << errors << " error(s) found!";
        out.end();
    }

    if (errors > 0 && settings.flag(keys::ShowErrorDetailes, defaults::ShowErrorDetailes)) {
        const auto value = [&](std::string_view label, std::int32_t number) {
            out << label << number;
            out.end();
        };
        value("TODScoreA= ", r.TODScoreA);
        value("TODScoreB= ", r.TODScoreB);
        value("TODScoreC= ", r.TODScoreC);
        value("TODScoreD= ", r.TODScoreD);
        value("TODBonus= ", r.TODBonus);
        value("AzzScore1= ", r.AzzScoreB);
        value("AzzScore2= ", r.AzzScoreD);
        value("AzzBonus= ", r.AzzBonus);
        value("TODScoreA+TODBonuns+AzzScore1+AzzBonus= ", found.sumWithB);
        value("Calculated Total Score= ", r.CampaignCalculatedTotal);
    }
    return found;
}

}  // namespace vantrel
