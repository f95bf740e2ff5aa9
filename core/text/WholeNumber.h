// Whole numbers as the program reads and writes them: plain decimal, a
// leading "-" when negative, 32-bit sums that wrap instead of overflowing.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrel {

// Two's-complement 32-bit addition without undefined behaviour.
constexpr std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrappingSub(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// The 32-bit wrapping sum of a table of counters (a kill table's total).
template <typename Table>
constexpr std::int32_t wrappingSum(const Table& table)
{
    std::int32_t sum = 0;
    for (const std::int32_t value : table)
        sum = wrappingAdd(sum, value);
    return sum;
}

// An optional sign followed by decimal digits, within the 32-bit range.
std::optional<std::int32_t> parseWholeNumber(std::string_view text);

// A stored setting that must be a whole number but is not.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& storedText);
};

// parseWholeNumber, raising ConversionError for anything else.
std::int32_t toWholeNumber(std::string_view text);

}  // namespace vantrel
