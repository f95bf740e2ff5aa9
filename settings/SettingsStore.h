// The settings file: an INI file with one section, read and written key by key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"

namespace vantrel {

class SettingsStore final : public Settings {
public:
    // Binds the store to a file; neither reads nor creates it.
    explicit SettingsStore(std::string filePath);

    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) override;
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    void UpdateFile() override;

    // Re-reads the file when it changed on disk (size, modification time or
    // inode differ from the parsed copy). Called at the start of every action.
    void revalidate();

    const std::string& filePath() const { return path_; }

    // Values read are cut to this many characters.
    static constexpr std::size_t kMaxValueLength = 2047;

private:
    struct Stamp {
        bool exists = false;
        std::int64_t size = -1;
        std::int64_t mtimeNs = 0;
        std::uint64_t inode = 0;
        std::uint64_t device = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp currentStamp() const;
    void load();

    std::string path_;
    bool loaded_ = false;
    Stamp stamp_;
    std::string content_;  // the file's bytes as last read or written
};

}  // namespace vantrel
