// Loading a pilot file into the pilot record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/pilot/FileAccess.h"
#include "core/pilot/PilotRecord.h"

namespace vantrel {

// What a load yields besides the record it fills.
struct LoadResult {
    std::uint16_t LoadErrorCount = 0;
    // Error-box texts to show, in order (empty on success).
    std::vector<std::string> messages;
    // Why the file could not be opened ("no such file", "is a folder", see
    // openFailureCause); empty when it was opened.
    std::string cause;

    // On success, what the dialog's controls get (-1: no row selected).
    std::string pilotNameText;  // UTF-8, up to 13 characters
    int rankIndex = -1;
    int ratingIndex = -1;
    int kalidorIndex = -1;
    int activeMissionIndex = -1;
    std::int32_t getTo = 0;
    // Which file was read, as it was when it was opened; nullopt when that
    // cannot be told.
    std::optional<FileIdentity> identity;

    bool ok() const { return LoadErrorCount == 0; }

    // What a reader without the boxes is told of a failed load: the cause
    // alone when the file could not be opened (the boxes' "wrong size. -1"
    // would only mislead there), the boxes' texts otherwise.
    std::vector<std::string> failureTexts() const;
    // The same, each after the file's name as the user gave it ("FILE: no
    // such file"), so that the failures of many files can be told apart.
    std::vector<std::string> failureLines(const std::string& given) const;
};

std::string wrongSizeMessage(std::int64_t length);
std::string loadErrorsMessage(std::uint16_t count);

// Reads the file into `record`. Sets record.PilotFileName to `fileName`
// whatever happens; when the size check fails nothing else changes.
LoadResult ReadMission(PilotRecord& record, const std::string& fileName, FileAccess& files = systemFileAccess());

}  // namespace vantrel
