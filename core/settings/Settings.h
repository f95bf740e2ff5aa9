// The settings every part of the program reads at the moment it needs them.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/files/FileResult.h"

namespace vantrel {

inline constexpr std::string_view kSettingsSection = "ZADAdeda";

class Settings {
public:
    virtual ~Settings() = default;
    // The stored value, or `fallback` when the file, section or key is missing.
    virtual std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) = 0;
    // Stores the value at once; throws SettingsWriteError when refused, or
    // SettingsReadError when the file is there but could not be read.
    virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Makes earlier writes durable and picks up changes made by others.
    virtual void UpdateFile() = 0;

    std::string read(std::string_view key, std::string_view fallback)
    {
        return ReadString(kSettingsSection, key, fallback);
    }
    void write(std::string_view key, std::string_view value) { WriteString(kSettingsSection, key, value); }
    // A flag is on only when its text is exactly "1".
    bool flag(std::string_view key, std::string_view fallback) { return read(key, fallback) == "1"; }
};

class SettingsWriteError : public CausedError {
public:
    explicit SettingsWriteError(const std::string& fileName, std::string cause = {})
          : CausedError("Unable to write to " + fileName, std::move(cause))
    {}
};

// A write refused because the settings file could not be read: replacing it
// would lose whatever settings it holds.
class SettingsReadError : public CausedError {
public:
    explicit SettingsReadError(const std::string& fileName, std::string cause = {})
          : CausedError("Cannot read the settings file " + fileName + ".", std::move(cause))
    {}
};

}  // namespace vantrel
