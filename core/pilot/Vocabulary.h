// The game's fixed words for the numbers stored in a pilot file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantrel::vocabulary {

std::span<const std::string_view> rankNames();        // 9 rows
std::span<const std::string_view> ratingNames();      // 25 rows
std::span<const std::string_view> kalidorStates();    // 7 rows
std::span<const std::string_view> missionTitles();    // 255 rows
std::span<const std::string_view> craftTypeLabels();  // 231 rows, tabs and colon included

// A craft type's name: its label without the tabs and colon that align the
// full details report.
std::string craftTypeName(std::size_t craftType);

// The row a drop-down box selects for a stored value: the value itself when
// it names a row of the table, -1 (no selection) otherwise.
int selectionFor(std::span<const std::string_view> table, std::int64_t value);

// The row's text for a stored value, or the number itself when no row has it.
std::string nameOrNumber(std::span<const std::string_view> table, std::int32_t value);

}  // namespace vantrel::vocabulary
