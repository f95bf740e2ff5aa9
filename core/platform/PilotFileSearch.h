// The pilot files a command-line PATH names.
#pragma once

#include <string>
#include <vector>

#include "core/files/FileResult.h"

namespace vantrel {

struct PilotFileSearch {
    std::vector<std::string> files;
    // One failure for each folder that cannot be read to the end, in byte
    // order of their messages: "Cannot search FOLDER: reason", with the
    // reason as the cause.
    std::vector<FileResult> failures;
};

// A folder is searched through all its subfolders for names ending in
// layout::kPilotFileExtension, sorted by path in byte order; anything else is taken
// as given. Every such name that is no folder is listed, whether or not it
// can be read (a link that leads nowhere, a FIFO), so that its load tells
// why; links to folders are not searched. A folder that cannot be read is
// told and the search goes on with the others.
PilotFileSearch findPilotFiles(const std::string& path);

// Whether a file found in a folder is taken as a pilot file by its name.
bool isPilotFileName(const std::string& name);

}  // namespace vantrel
