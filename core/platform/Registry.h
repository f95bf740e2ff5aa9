// The Windows registry, as far as the program reads it: the text values that
// installers leave there. Behind this interface so that tests give a fake one
// (core/platform/win32 reads the real one; on other systems it is empty).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::registry {

enum class Root { CurrentUser, LocalMachine };

// Which of 64-bit Windows's two registry views a key is read in: the one
// 32-bit programs see (HKLM\SOFTWARE\WOW6432Node), where 32-bit installers
// such as the game's, Steam's and GOG's write, or this program's own.
enum class View { Native, Programs32 };

class Registry {
public:
    virtual ~Registry() = default;

    // The text value `name` of the key `key` (its parts separated by
    // backslashes, as regedit shows them), as UTF-8; environment variables
    // in an expandable value are expanded. nullopt when the key or the value
    // is missing or holds no text.
    virtual std::optional<std::string> text(Root root, std::string_view key, std::string_view name,
                                            View view) const = 0;

    // The names of the key's subkeys; none when the key is missing.
    virtual std::vector<std::string> subkeys(Root root, std::string_view key, View view) const = 0;
};

// This system's registry: Windows's own; on other systems one that holds
// nothing.
const Registry& systemRegistry();

}  // namespace vantrel::registry
