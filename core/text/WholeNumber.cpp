#include "core/text/WholeNumber.h"

namespace vantrel {

std::optional<std::int32_t> parseWholeNumber(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

ConversionError::ConversionError(const std::string& storedText)
      : std::runtime_error("'" + storedText + "' is not a valid integer value")
{}

std::int32_t toWholeNumber(std::string_view text)
{
    if (auto value = parseWholeNumber(text))
        return *value;
    throw ConversionError(std::string(text));
}

}  // namespace vantrel
