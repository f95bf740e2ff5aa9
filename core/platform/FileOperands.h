// The file operands of vantrel-cli as a Windows console hands them over. A
// POSIX shell expands wildcards and strips quotes before the program starts;
// cmd does neither, so on Windows the program does it (process::fileOperands
// applies these rules there and passes operands through elsewhere).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::operands {

// Whether `name` matches `pattern` as Windows matches file names: '*' any
// run of characters, '?' exactly one character (a UTF-8 sequence counts as
// one), everything else alike without regard to ASCII case.
bool matchesPattern(std::string_view pattern, std::string_view name);

// Whether the operand's last component (after the last '\' or '/') holds a
// '*' or '?'.
bool hasWildcard(std::string_view operand);

// cmd hands `"Battle 12 before\"` over as `Battle 12 before"`: the backslash
// before the closing quote makes that quote part of the argument. An operand
// that ends in '"' and names a folder without it is that folder; any other
// operand is left alone.
std::string withoutStrayQuote(const std::string& operand, const std::function<bool(const std::string&)>& isFolder);

struct Expansion {
    std::vector<std::string> files;      // the operands, patterns replaced by what they match
    std::vector<std::string> unmatched;  // the patterns that matched nothing, as given
};

// The Windows reading of file operands: the stray quote dropped, then each
// operand whose last component holds a wildcard replaced by the names in its
// folder that match it (folder part kept as given, in byte order of the
// names; "." and ".." never match).
Expansion expandAsWindowsDoes(const std::vector<std::string>& operands);

}  // namespace vantrel::operands
