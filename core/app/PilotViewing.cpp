#include "core/app/PilotViewing.h"

#include "core/reports/PilotReport.h"
#include "core/text/WholeNumber.h"

namespace vantrel::app {

std::vector<std::string> PilotView::errorLines() const
{
    if (!load.ok())
        return load.failureLines(given);
    if (!settingError.empty())
        return {settingError};
    return {};
}

bool loadForViewing(PilotView& view, const std::string& path, FileAccess& files)
{
    view.given = path;
    view.settingError.clear();
    view.entry.clear();
    view.load = ReadMission(view.record, path, files);
    if (!view.load.ok())
        return false;
    view.range.to.set(view.load.getTo);
    return true;
}

bool reportForViewing(PilotView& view, Settings& settings, TextSink& report, bool withMissionListing,
                      const DateSource& today)
{
    view.settingError.clear();
    try {
        view.entry = BuildPilotReport(report, settings, view.record, view.range, withMissionListing, today);
    } catch (const ConversionError& e) {
        view.settingError = e.what();
        return false;
    }
    return true;
}

bool openForViewing(PilotView& view, const std::string& path, Settings& settings, FileAccess& files)
{
    if (!loadForViewing(view, path, files))
        return false;
    DiscardLines silent;
    return reportForViewing(view, settings, silent);
}

}  // namespace vantrel::app
