// Small text rules shared across the core: one home for each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::text {

// At least one character, and every one of them 0-9.
bool allDigits(std::string_view text);

// An ASCII capital letter as a small one; every other byte as it is.
char lowerAscii(char c);

// Equal when letter case is ignored (ASCII letters, as INI names and file
// extensions are compared).
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Whether `text` ends with `suffix`, letter case ignored as above.
bool endsWithIgnoringCase(std::string_view text, std::string_view suffix);

// The 64-bit FNV-1a digest of `bytes`: the same on every system and build,
// so that names made from it match wherever the program runs.
std::uint64_t fnv1a64(std::string_view bytes);

// A 64-bit number as 16 small hex digits, leading zeros kept.
std::string hex16(std::uint64_t value);

// Messages end with a full stop; one is added only when the text does not
// already end with one (a file name may).
std::string withFullStop(std::string text);

// What separates folders in a path: "/" and, on Windows, "\\" too.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
inline constexpr char kPreferredSeparator = '\\';
#else
inline constexpr const char* kPathSeparators = "/";
inline constexpr char kPreferredSeparator = '/';
#endif

// `dir` + "/" + `name`, without doubling a slash the folder already ends with.
std::string joinPath(const std::string& dir, std::string_view name);

// U+FFFD in UTF-8: what a byte or character that cannot be shown becomes.
inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The code point and length of the well-formed UTF-8 sequence at the start
// of `text` (no overlong form, no surrogate, nothing past U+10FFFF); length
// 0 when there is none.
struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;
};
Utf8Char firstUtf8Char(std::string_view text);

// Bytes (a file name, a line naming one) as UTF-8 for output: every
// well-formed UTF-8 sequence as it is, each other byte as U+FFFD.
std::string validUtf8(std::string_view bytes);

// The folder part of a path: "." for a bare name, "/" for a name in the root.
std::string folderOf(const std::string& path);

}  // namespace vantrel::text
