// The names of the temporary files an atomic replace writes beside its
// target: "." + the target's name (shortened) + "." + six letters or digits.
// Both systems' replaces make them, and clean up the ones a killed writer left.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::tempnames {

// How many letters and digits follow the stem.
inline constexpr std::size_t kLetters = 6;

// The temporary name must stay within the file system's name limit, so a
// long file name is shortened in it.
inline std::string stemOf(const std::string& base)
{
    return base.size() > 200 ? base.substr(0, 200) : base;
}

// "." + stem + ".": what every temporary name of that file starts with.
inline std::string prefixOf(const std::string& stem)
{
    return "." + stem + ".";
}

// Whether `name` is the prefix followed by the six letters and digits.
inline bool isTempName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kLetters || !name.starts_with(prefix))
        return false;
    for (const char c : name.substr(prefix.size())) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

}  // namespace vantrel::tempnames
