// The one-line score entry that goes into the main log.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/pilot/PilotRecord.h"
#include "core/settings/Settings.h"

namespace vantrel {

// The file name without its last extension; both "/" and "\" separate directories.
std::string PilotNameFromFileName(std::string_view path);

// Today's date as the entry shows it; asked only when the entry carries a date.
using DateSource = std::function<std::string()>;

// Builds the entry from the settings IncludeDate, NameSource and ScoreFormat.
// Throws ConversionError when NameSource or ScoreFormat is not a whole number.
// An empty date source means the local short date.
std::string buildLogEntry(Settings& settings, const PilotRecord& record, const DateSource& today = {});

// "! " + entry + " ! Errors in file!"
std::string markEntryWithErrors(std::string_view entry);

}  // namespace vantrel
