#include "core/text/TextRules.h"

#include <algorithm>

namespace vantrel::text {

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    // From the end: related names ("ShowMissionScore", "ShowMissionTotal")
    // differ in their last word.
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i] && lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string withFullStop(std::string text)
{
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

std::string joinPath(const std::string& dir, std::string_view name)
{
    if (!dir.empty() && dir.back() == '/')
        return dir + std::string(name);
    return dir + "/" + std::string(name);
}

}  // namespace vantrel::text
