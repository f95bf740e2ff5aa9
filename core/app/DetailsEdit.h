// Checking and applying an edit of a pilot's details, as the pilot view's
// Save, vantrel-cli set and the browser page's changed file do it: one list
// of refusals, each with its code and its one text, then the save.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/app/PilotViewing.h"
#include "core/pilot/FileAccess.h"
#include "core/pilot/OwnSaves.h"
#include "core/pilot/PilotRecord.h"
#include "core/pilot/PilotSave.h"
#include "core/settings/Settings.h"

namespace vantrel::app {

// What the user asks to change; a field left empty stays as the file has it.
// The numbers are rows of the game's lists, from 0 (row 0 of the active
// mission is mission 1).
struct DetailsRequest {
    std::optional<std::string> name = {};  // UTF-8
    std::optional<std::int64_t> rank = {};
    std::optional<std::int64_t> rating = {};
    std::optional<std::int64_t> kalidor = {};
    std::optional<std::int64_t> activeMission = {};
};

// The name to ask for when a name field shows `shown`: none while it shows
// the record's name, which the file then keeps byte for byte (a 13-character
// name read from a file too).
std::optional<std::string> nameChange(const PilotRecord& record, const std::string& shown);

enum class DetailsField { Name, Rank, Rating, Kalidor, ActiveMission };

enum class RefusalCode {
    NameHasControlCharacter,
    NameNotStorable,
    NameTooLong,
    RankOutOfRange,
    RatingOutOfRange,
    KalidorOutOfRange,
    ActiveMissionOutOfRange,
    // Completed missions are never taken away, so an active mission at or
    // before the last completed one would change nothing.
    ActiveMissionNotAfterCompleted,
};

// Why an edit is refused. The text is a whole sentence that ends "Nothing
// was written.", shown as it is (vantrel-cli puts the option's name before it).
struct Refusal {
    RefusalCode code;
    DetailsField field;
    std::string text;
};

// The refusals that need no file: the name and the rows.
std::optional<Refusal> checkDetails(const DetailsRequest& request);
// Every refusal, the active mission against the loaded record too.
std::optional<Refusal> checkDetails(const DetailsRequest& request, const PilotRecord& loaded);

// What the save writes for a request that passed its checks.
PilotDetailsEdit detailsEdit(const DetailsRequest& request);

// How an edit went: refused, not opened, or saved (or failed to save).
struct EditOutcome {
    std::optional<Refusal> refusal;   // nothing was written
    std::optional<SaveResult> saved;  // the save's result
};

// The save of a checked request over a pilot loaded already (`record`, which
// then holds what was written); see WritePilotDetails for the rest.
EditOutcome saveDetails(const std::string& path, PilotRecord& record, const DetailsRequest& request,
                        FileAccess& files = systemFileAccess(), const BeforeFirstWrite& beforeFirstWrite = {},
                        KnownPilotFile* known = nullptr, const OwnSaves* ownSaves = nullptr);

// The whole edit of a file: the request checked, the file opened for viewing
// into `view` (a failure there is view.errorLines(), nothing written), the
// request checked against it, and the save.
EditOutcome editDetails(PilotView& view, const std::string& path, const DetailsRequest& request, Settings& settings,
                        FileAccess& files = systemFileAccess(), const BeforeFirstWrite& beforeFirstWrite = {},
                        const OwnSaves* ownSaves = nullptr);

}  // namespace vantrel::app
