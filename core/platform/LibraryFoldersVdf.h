// Steam's list of its library folders, libraryfolders.vdf: a text in
// Valve's KeyValues form. Read without trust: any text, cut short or
// garbled, gives what paths it holds and nothing else.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::gamefolders {

// The "path" values of a libraryfolders.vdf text (and, in the older form of
// the file, the numbered entries of its top level), in file order.
std::vector<std::string> libraryPathsFromVdf(std::string_view vdfText);

}  // namespace vantrel::gamefolders
