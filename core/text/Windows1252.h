// The game's and the main log's 8-bit code page. Undefined bytes map to the
// C1 control of the same value, so every byte round-trips.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::cp1252 {

// Bytes in the code page to UTF-8.
std::string toUtf8(std::string_view bytes);

// Code points of bytes 0x80..0x9F; the five bytes the code page leaves
// undefined map to the C1 control of the same value.
inline constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// One byte of the code page as UTF-16: every character it holds is one unit.
constexpr char16_t toUtf16(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

// The same for every byte, for decoding long texts.
inline constexpr std::array<char16_t, 256> kUtf16 = [] {
    std::array<char16_t, 256> table{};
    for (unsigned byte = 0; byte < table.size(); ++byte)
        table[byte] = toUtf16(static_cast<unsigned char>(byte));
    return table;
}();

// UTF-8 to the code page; a character the code page cannot hold becomes '?'.
// Invalid UTF-8 sequences become '?' as well.
std::string fromUtf8(std::string_view utf8);

// The code-page byte for one Unicode code point, if the code page holds it.
std::optional<unsigned char> encode(char32_t codePoint);

// True when every character of the UTF-8 text can be stored in the code page.
bool canEncode(std::string_view utf8);

}  // namespace vantrel::cp1252
