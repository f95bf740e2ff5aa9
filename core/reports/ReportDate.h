// Today's date as the log entry shows it.
#pragma once

#include <string>

namespace vantrel {

// The local date in the user's short-date format (the LC_TIME locale of the
// environment), UTF-8. The GUI and the command-line tool both use this.
std::string localShortDate();

}  // namespace vantrel
