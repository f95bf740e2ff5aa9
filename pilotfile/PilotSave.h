// Writing edited pilot details back into a pilot file, in place.
//
// Only the promised byte ranges change: the name field, rank, rating,
// Kalidor Crescent, and for each campaign mission before the active one the
// five values the program keeps of its record. Every other byte of a
// rewritten record keeps what the file holds there.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "pilotfile/FileAccess.h"
#include "pilotfile/PilotRecord.h"

namespace vantrel {

// What the dialog's controls hold when the user saves. -1 means a drop-down
// box without a selection: that field is left as the file has it.
struct PilotDetailsEdit {
    std::string name;  // UTF-8; must be storable in the game's code page
    int rankIndex = -1;
    int ratingIndex = -1;
    int kalidorIndex = -1;
    int activeMissionIndex = -1;
};

struct SaveResult {
    bool ok = false;
    std::uint16_t failedSteps = 0;
    std::string message;  // "Update complete." or the error box text
};

inline constexpr std::string_view kUpdateCompleteMessage = "Update complete.";

// The name field holds 13 bytes; a user types at most 12 characters, so a
// terminating zero always fits. (A 13-character name read from a file is kept.)
inline constexpr std::size_t kMaxTypedNameLength = 12;

// "Ready to update <file>. Is it ok to proceed?"
std::string saveQuestion(const std::string& fileName);

// Called once the file has passed its checks, right before the first byte is
// written; returning a non-empty text refuses the save with that message.
using BeforeFirstWrite = std::function<std::string(const std::string& fileName)>;

// Writes the details into the file (and into `record`, as the save does):
// name, rank, rating, Kalidor Crescent, then the mission records.
SaveResult WritePilotDetails(const std::string& fileName, PilotRecord& record, const PilotDetailsEdit& edit,
                             FileAccess& files = systemFileAccess(), const BeforeFirstWrite& beforeFirstWrite = {});

// The 13 name bytes for a name: its code-page bytes, then zeros; the
// terminating zero only while there is room.
std::array<char, 13> nameFieldBytes(const std::string& utf8Name);

}  // namespace vantrel
