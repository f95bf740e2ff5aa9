#include "core/charts/SvgText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace vantrel::svg {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8Length(std::string_view text)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const auto continuation = [&](std::size_t k) { return k < text.size() && (byte(k) & 0xC0) == 0x80; };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(1) || !continuation(2))
            return 0;
        const unsigned char second = byte(1);
        if (lead == 0xE0 && second < 0xA0)
            return 0;  // overlong
        if (lead == 0xED && second >= 0xA0)
            return 0;  // a surrogate
        if (lead == 0xEF && second == 0xBF && (byte(2) == 0xBE || byte(2) == 0xBF))
            return 0;  // U+FFFE and U+FFFF are no XML characters
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3))
            return 0;
        const unsigned char second = byte(1);
        if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
            return 0;  // overlong, or beyond U+10FFFF
        return 4;
    }
    return 0;
}

void appendText(std::string& out, std::string_view text, bool entities)
{
    std::size_t k = 0;
    while (k < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        if (entities) {
            switch (c) {
            case '&': out += "&amp;"; ++k; continue;
            case '<': out += "&lt;"; ++k; continue;
            case '>': out += "&gt;"; ++k; continue;
            case '"': out += "&quot;"; ++k; continue;
            case '\'': out += "&apos;"; ++k; continue;
            default: break;
            }
        }
        if (c == '\t' || c == '\n' || c == '\r') {
            out += ' ';
            ++k;
            continue;
        }
        if (c < 0x20 || c == 0x7F) {
            out += kReplacement;
            ++k;
            continue;
        }
        const std::size_t length = utf8Length(text.substr(k));
        if (length == 0) {
            out += kReplacement;
            ++k;
            continue;
        }
        out.append(text.data() + k, length);
        k += length;
    }
}

}  // namespace

void appendEscaped(std::string& out, std::string_view text)
{
    appendText(out, text, true);
}

std::string shownText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendText(out, text, false);
    return out;
}

std::string escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text);
    return out;
}

void appendNumber(std::string& out, double value)
{
    if (!std::isfinite(value))
        value = 0;
    // Whole hundredths, so that rounding never shows as "-0" or "0.30000000000000004".
    const double hundredths = std::round(value * 100.0);
    if (hundredths == 0) {
        out += '0';
        return;
    }
    char buffer[32];
    const auto whole = static_cast<std::int64_t>(hundredths);
    const std::int64_t magnitude = whole < 0 ? -whole : whole;
    char* p = buffer;
    if (whole < 0)
        *p++ = '-';
    p = std::to_chars(p, buffer + sizeof buffer, magnitude / 100).ptr;
    const int fraction = static_cast<int>(magnitude % 100);
    if (fraction != 0) {
        *p++ = '.';
        *p++ = static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            *p++ = static_cast<char>('0' + fraction % 10);
    }
    out.append(buffer, p);
}

}  // namespace vantrel::svg
