#include "core/charts/SvgText.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "core/text/SafeText.h"

namespace vantrel::svg {

namespace {

// Characters an SVG document never holds: the controls and bidi overrides a
// terminal or a text layout takes as commands (an SVG is printed as well as
// drawn), and U+FFFE and U+FFFF, which are no XML characters.
bool unwanted(char32_t c)
{
    return text::isTerminalControl(c) || c == 0xFFFE || c == 0xFFFF;
}

void appendText(std::string& out, std::string_view text, bool entities)
{
    std::size_t k = 0;
    while (k < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[k]);
        if (entities) {
            switch (c) {
            case '&':
                out += "&amp;";
                ++k;
                continue;
            case '<':
                out += "&lt;";
                ++k;
                continue;
            case '>':
                out += "&gt;";
                ++k;
                continue;
            case '"':
                out += "&quot;";
                ++k;
                continue;
            case '\'':
                out += "&apos;";
                ++k;
                continue;
            default: break;
            }
        }
        if (c == '\t' || c == '\n' || c == '\r') {
            out += ' ';
            ++k;
            continue;
        }
        const text::Utf8Char ch = text::firstUtf8Char(text.substr(k));
        if (ch.length == 0 || unwanted(ch.codePoint)) {
            out += text::kReplacementCharacter;
            k += ch.length == 0 ? 1 : ch.length;
            continue;
        }
        out.append(text.data() + k, ch.length);
        k += ch.length;
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
