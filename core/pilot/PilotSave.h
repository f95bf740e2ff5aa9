// Writing edited pilot details back into a pilot file.
//
// The save reads the file once, patches the promised bytes in memory and
// replaces the whole file at once, so that a crash, a full disk or another
// program at work leaves either the old file or the new one. Only the
// promised bytes change: the name field, rank, rating, Kalidor Crescent, and
// the status of each campaign mission before the active one that the file
// does not yet count as completed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/files/FileResult.h"
#include "core/pilot/FileAccess.h"
#include "core/pilot/OwnSaves.h"
#include "core/pilot/PilotRecord.h"

namespace vantrel {

// What the dialog's controls hold when the user saves. -1 means a drop-down
// box without a selection: that field is left as the file has it.
struct PilotDetailsEdit {
    // UTF-8, storable in the game's code page; nullopt keeps the 13 name
    // bytes exactly as the file holds them.
    std::optional<std::string> name;
    int rankIndex = -1;
    int ratingIndex = -1;
    int kalidorIndex = -1;
    int activeMissionIndex = -1;
};

// Its message is "Update complete." or the error box text; the cause tells
// why it failed, when the message does not say.
struct [[nodiscard]] SaveResult : FileResult {
    explicit SaveResult(FileResult outcome) : FileResult(std::move(outcome)) {}
    std::string backupFile;  // the copy this save made first, if it made one
    // The file had changed since it was known and the user chose not to
    // write over it: nothing was written, and there is nothing to tell.
    bool declined = false;
    // How noting the written file as the program's own save went: its
    // failure leaves the save standing and is told beside the message.
    FileResult ownSave = FileResult::success();
};

inline constexpr std::string_view kUpdateCompleteMessage = "Update complete.";

// The name field holds 13 bytes; a user types at most 12 characters, so a
// terminating zero always fits. (A 13-character name read from a file is kept.)
inline constexpr std::size_t kMaxTypedNameLength = 12;

// "Ready to update <file>. Is it ok to proceed?"
std::string saveQuestion(const std::string& fileName);

// "<file> was changed by another program (the game?) since it was opened. ..."
std::string changedSinceOpenedQuestion(const std::string& fileName);

// The pilot file as a window last knew it: as it loaded it, then as each of
// its saves left it. A save over a file that is no longer so would put back
// every detail the window shows, over what another program (the game) wrote.
struct KnownPilotFile {
    std::optional<FileIdentity> identity;  // nullopt: only the details tell
    PilotRecord record;                    // what the loader read from it
    // Asked before writing over a file that is no longer as known; true
    // writes anyway, false leaves it alone.
    std::function<bool()> writeOverChanged;
};

// The file as the save found it, handed to the hook below.
struct PilotFileSnapshot {
    const std::string& fileName;
    std::string_view bytes;  // all 152,076 of them
    unsigned mode = 0;       // permission bits
};

// Called once the file has passed its checks, right before it is replaced;
// a failure refuses the save with its message. A hook that copies the file
// puts the copy's name into `copyMade`.
using BeforeFirstWrite = std::function<FileResult(const PilotFileSnapshot& file, std::string& copyMade)>;

// Writes the details into the file; on success also into `record`, as the
// save does: name, rank, rating, Kalidor Crescent, then the mission records.
// A save that would change no byte leaves the file (and its backups) alone.
// With `known`, a file that is no longer as known is written only when its
// question says so; after a write `known` holds the file as written. With
// `ownSaves`, the file as written is recorded there as the program's own save
// (the program's windows and vantrel-cli pass the user's journal).
SaveResult WritePilotDetails(const std::string& fileName, PilotRecord& record, const PilotDetailsEdit& edit,
                             FileAccess& files = systemFileAccess(), const BeforeFirstWrite& beforeFirstWrite = {},
                             KnownPilotFile* known = nullptr, const OwnSaves* ownSaves = nullptr);

// The patch itself, on a whole pilot file image held in memory.
void applyPilotDetails(std::string& image, const PilotDetailsEdit& edit);

// The 13 name bytes for a name: its code-page bytes, then zeros; the
// terminating zero only while there is room.
std::array<char, 13> nameFieldBytes(const std::string& utf8Name);

// Whether a name holds a character that would break it over lines or end it
// early: 0x00-0x1F or 0x7F.
bool hasControlCharacter(std::string_view name);

}  // namespace vantrel
