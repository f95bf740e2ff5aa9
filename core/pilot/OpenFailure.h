// Why a pilot file could not be opened, in the few words a reviewer reads
// after the file's name ("Red_07.plt: no such file").
#pragma once

#include <string>

namespace vantrel {

// The cause for `error`, the errno value of the failed open of `path`:
// "no such file", "is a folder", "a link to a missing file", "permission
// denied", "a link that leads round in a circle", "is not a regular file",
// otherwise the system's text; "cannot be opened" when no cause is known
// (error 0).
std::string openFailureCause(const std::string& path, int error);

}  // namespace vantrel
