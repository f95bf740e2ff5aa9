// Opening a pilot file for viewing, as the pilot view, vantrel-cli and the
// browser page open one: the file loaded, To set to its completed missions,
// then the pilot report run, shown or not, which stops at a setting that is
// no whole number as the pilot view's report does.
#pragma once

#include <string>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotLoader.h"
#include "core/pilot/PilotRecord.h"
#include "core/reports/MissionRange.h"
#include "core/reports/LogEntry.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel::app {

struct PilotView {
    std::string given;  // the file's name as the user gave it
    PilotRecord record;
    LoadResult load;
    MissionRange range;        // To: the completed missions, after a load
    std::string entry;         // the log entry of the last report
    std::string settingError;  // why the last report stopped: a setting that is no whole number

    bool loaded() const { return load.ok(); }
    bool ok() const { return load.ok() && settingError.empty(); }
    // What a reader without message boxes is told of what went wrong: each
    // load failure after the file's name as given ("FILE: no such file"),
    // or the setting's message; empty when nothing did.
    std::vector<std::string> errorLines() const;
};

// Loads the file into `view` (From stays as it is); false when the load failed.
bool loadForViewing(PilotView& view, const std::string& path, FileAccess& files = systemFileAccess());

// The pilot report of the loaded pilot over view.range into `report`, as the
// pilot view runs it after a load; false, with settingError set and the
// report's lines so far in `report`, when a setting is no whole number.
bool reportForViewing(PilotView& view, Settings& settings, TextSink& report, bool withMissionListing = true,
                      const DateSource& today = {});

// Both, the report shown nowhere: the load step of every front end that
// shows or changes a pilot. False when either failed (see errorLines).
bool openForViewing(PilotView& view, const std::string& path, Settings& settings,
                    FileAccess& files = systemFileAccess());

}  // namespace vantrel::app
