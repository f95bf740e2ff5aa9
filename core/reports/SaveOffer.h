// What is offered when the game has saved a pilot: the new save's score
// entry for the main log, and what changed since the last save of the same
// file that was seen.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/pilot/PilotRecord.h"
#include "core/reports/LogEntry.h"
#include "core/settings/Settings.h"

namespace vantrel {

struct SaveOffer {
    std::string path;
    // The entry as the pilot view's export field would hold it.
    std::string entry;
    // The diffPilots() lines from the last save seen to this one; empty
    // when no earlier save of the file was seen.
    std::vector<std::string> changes;
    bool firstSeen = false;
    std::shared_ptr<const PilotRecord> record;
};

// The last save seen of each pilot file, as the loader read it.
class SeenSaves {
public:
    // Loads the file and remembers it as the last save seen. False, with
    // nothing remembered, when it cannot be loaded (a wrong size, no read
    // permission; a FIFO or device is refused without waiting on it) or does
    // not look like a pilot file (looksLikePilot).
    bool remember(const std::string& path);

    // The offer for the file as it is now; nullopt when it cannot be loaded,
    // does not look like a pilot file or holds just what the last save seen
    // held. The record's FileErrorCount tells the error/cheat check's errors. The save is not taken as
    // seen until offered(). Throws ConversionError when NameSource or
    // ScoreFormat is no whole number.
    std::optional<SaveOffer> offerFor(const std::string& path, Settings& settings, const DateSource& today = {}) const;

    // The offer was made: its save is the last one seen of its file now.
    void offered(const SaveOffer& offer);

    bool knows(const std::string& path) const { return seen_.contains(path); }
    void forget(const std::string& path) { seen_.erase(path); }
    void clear() { seen_.clear(); }

private:
    std::map<std::string, std::shared_ptr<const PilotRecord>> seen_;
};

}  // namespace vantrel
