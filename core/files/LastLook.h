// The last look an atomic replace takes before it moves its new file into
// place, the same on both systems: a target that is no longer the file the
// caller read ends the save there, before anything is moved.
#pragma once

#include <optional>
#include <string>

#include "core/files/AtomicFile.h"
#include "core/files/FileIdentity.h"
#include "core/files/FileResult.h"

namespace vantrel::replacesteps {

// Runs the caller's steps around the look (beforeRename, afterLastLook) and
// fails with kChangedMeanwhileCause when options.expected no longer names
// the file at `target`.
inline FileResult lastLook(const std::string& target, const ReplaceOptions& options)
{
    if (options.beforeRename)
        options.beforeRename();
    if (options.expected) {
        const std::optional<FileIdentity> now = fileIdentity(target);
        if (!now || *now != *options.expected)
            return FileResult::failure(std::string(kChangedMeanwhileCause));
    }
    if (options.afterLastLook)
        options.afterLastLook();
    return FileResult::success();
}

}  // namespace vantrel::replacesteps
