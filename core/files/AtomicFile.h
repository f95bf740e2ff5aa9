// Replacing a whole file so that readers see either the old or the new bytes,
// never a torn mix: write a temporary file beside it, flush it, put it in the
// file's place in one step.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/FileIdentity.h"
#include "core/files/FileResult.h"

namespace vantrel {

struct ReplaceOptions {
    // Permission bits for a file that does not exist yet; by default
    // 0666 less the umask. An existing file keeps its own mode and owner.
    std::optional<unsigned> newFileMode;
    // When set, the file is replaced only while it is still this one: a file
    // that another program replaced or changed meanwhile, up to the very
    // moment of the replace, is left as it is.
    std::optional<FileIdentity> expected;
    // When set, only a file that does not exist yet is written: one that is
    // there, or that another program creates meanwhile, is left as it is and
    // the write fails with kChangedMeanwhileCause (a backup's new name).
    bool mustBeNew = false;
    // When false, a link at `path` is not followed but refused
    // (kSymbolicLinkCause), and a link put there meanwhile is replaced
    // itself, never the file it names: for the program's own files, which
    // must never be written through a link into another file.
    bool followLinks = true;
    // Runs once the new bytes are flushed to the temporary file, right
    // before the rename: where tests stop a writer to see what a crash leaves.
    std::function<void()> beforeRename;
    // Runs after the last look at the file, right before the new bytes take
    // its place: where tests let another program step in.
    std::function<void()> afterLastLook;
    // When set, receives the identity of the new file once it is in place.
    std::optional<FileIdentity>* placed = nullptr;
};

// The cause given when `expected` or `mustBeNew` no longer holds.
inline constexpr std::string_view kChangedMeanwhileCause = "the file was changed by another program meanwhile";

// A link is followed to the file it names (unless followLinks is false). On failure (a missing folder, a
// read-only file, a full disk, a link that leads nowhere, a device name) the
// old file is untouched and the result tells why. A file whose permission
// bits allow no writing (on Windows: with the read-only attribute) counts as
// read-only even for root. A file that did not exist is never put over one
// that another program created meanwhile. Temporary files that a killed
// writer left beside the file are removed after a successful replace.
//
// The temporary file is flushed (fsync, FlushFileBuffers) before it takes
// the file's place (rename; on Windows MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
FileResult replaceFileAtomically(const std::string& path, std::string_view bytes, const ReplaceOptions& options = {});

}  // namespace vantrel
