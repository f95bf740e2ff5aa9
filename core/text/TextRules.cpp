#include "core/text/TextRules.h"

#include <algorithm>

namespace vantrel::text {

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    // From the end: related names ("ShowMissionScore", "ShowMissionTotal")
    // differ in their last word.
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i] && lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && equalsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string withFullStop(std::string text)
{
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

std::string joinPath(const std::string& dir, std::string_view name)
{
    if (!dir.empty() && std::string_view(kPathSeparators).find(dir.back()) != std::string_view::npos)
        return dir + std::string(name);
    return dir + kPreferredSeparator + std::string(name);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of(kPathSeparators);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace vantrel::text
