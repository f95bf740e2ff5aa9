#include "core/text/TextRules.h"

#include <algorithm>

namespace vantrel::text {

bool allDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint64_t fnv1a64(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string hex16(std::uint64_t value)
{
    std::string text(16, '0');
    for (std::size_t k = 16; k-- > 0; value >>= 4)
        text[k] = "0123456789abcdef"[value & 0xf];
    return text;
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

Utf8Char firstUtf8Char(std::string_view s)
{
    if (s.empty())
        return {};
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte
    unsigned char high = 0xBF;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
        codePoint = lead & 0x07;
    } else {
        return {};
    }
    if (s.size() < length || byte(1) < low || byte(1) > high)
        return {};
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80)
            return {};
        codePoint = (codePoint << 6) | (byte(k) & 0x3F);
    }
    return {codePoint, length};
}

std::string validUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = firstUtf8Char(bytes).length;
        if (length == 0) {
            out += kReplacementCharacter;
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace vantrel::text
