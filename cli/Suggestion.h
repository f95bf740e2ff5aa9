// The nearest of the known names to a mistyped one, for "did you mean ...?".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::cli {

// The known name closest to `given` (letters typed wrong, missing, extra
// or swapped with their neighbour each count one), when it is close enough
// to be what was meant: at most one such step in three letters. Ties go to
// the name listed first. Empty when none is that close.
std::string nearestName(std::string_view given, const std::vector<std::string_view>& known);

// "; did you mean NAME?" for the nearest name, or nothing.
std::string didYouMean(std::string_view given, const std::vector<std::string_view>& known);

}  // namespace vantrel::cli
