// The game's and the main log's 8-bit code page. Undefined bytes map to the
// C1 control of the same value, so every byte round-trips.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::cp1252 {

// Bytes in the code page to UTF-8.
std::string toUtf8(std::string_view bytes);

// UTF-8 to the code page; a character the code page cannot hold becomes '?'.
// Invalid UTF-8 sequences become '?' as well.
std::string fromUtf8(std::string_view utf8);

// The code-page byte for one Unicode code point, if the code page holds it.
std::optional<unsigned char> encode(char32_t codePoint);

// True when every character of the UTF-8 text can be stored in the code page.
bool canEncode(std::string_view utf8);

}  // namespace vantrel::cp1252
