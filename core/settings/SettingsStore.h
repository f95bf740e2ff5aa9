// The settings file: an INI file with one section, read and written key by key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/files/FileIdentity.h"
#include "core/settings/Settings.h"

namespace vantrel {

class SettingsStore final : public Settings {
public:
    // Binds the store to a file; neither reads nor creates it. While the
    // file is absent, the first of `formerFiles` that can be read is read in
    // its place (settings a former version kept elsewhere), and the next
    // write puts them, with the change, into the file.
    explicit SettingsStore(std::string filePath, std::vector<std::string> formerFiles = {});
    // A store over settings file text held in memory (the browser page keeps
    // it in its own storage): reads and writes follow the same rules, writes
    // change text() and no file is ever looked at.
    static SettingsStore fromText(std::string text);
    // The settings file's text as last read or written.
    const std::string& text() const { return content_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) override;
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    void UpdateFile() override;

    // Whether the file holds a section of that name (letter case ignored).
    bool hasSection(std::string_view section) const { return findSection(section) >= 0; }

    // Re-reads the file when it changed on disk (size, modification time or
    // inode differ from the parsed copy). Called at the start of every action.
    void revalidate();

    // What the last look at the file (the first read, or revalidate()) found.
    // Missing: nothing is at the path (the file or a folder on the way to it
    // does not exist); the defaults apply and a write creates the file.
    bool fileMissing() const { return loaded_ && !unreadable_ && !stamp_; }
    // Why the file could not be read, in the system's words ("No such file or
    // directory", "Permission denied", "Is a directory") or
    // kNotRegularFileCause; empty when it was read or not looked at yet.
    std::string readFailure() const;

    // Values read are cut to this many characters.
    static constexpr std::size_t kMaxValueLength = 2047;

private:
    // A section or key line of content_, located by byte offsets. Other
    // lines (blank, comments, without '=') play no part and are not kept.
    struct Line {
        enum class Kind { Section, Key };
        Kind kind = Kind::Key;
        std::size_t next = 0;                      // first byte of the following line
        std::size_t nameBegin = 0, nameEnd = 0;    // section or key name, blanks trimmed
        std::size_t valueBegin = 0, valueEnd = 0;  // value text, blanks trimmed
        std::ptrdiff_t header = -1;                // index of the governing section line
        // Index of the first section line of the same name (letter case
        // ignored): repeated sections of one name are one section.
        std::ptrdiff_t section = -1;
    };

    std::optional<FileIdentity> currentStamp() const;
    void load();
    void loadFailed(int error);
    void loadFailed(FileResult failure, bool missing);
    void loadFormerFile();
    void parse();
    std::string_view name(const Line& line) const;
    // The line of the key readers see (the first of its name in the first
    // section of that name or a repeat of it), or -1.
    std::ptrdiff_t findKey(std::string_view section, std::string_view key) const;
    // The first section line of that name, or -1.
    std::ptrdiff_t findSection(std::string_view section) const;

    std::string path_;
    std::vector<std::string> formerFiles_;
    bool inMemory_ = false;
    bool loaded_ = false;
    // Something may be at the path that we could not read: every write is
    // refused, so it is never replaced by what we would write.
    bool unreadable_ = false;
    // Why the last look at the file failed; a success when it was read.
    FileResult loadFailure_ = FileResult::success();
    // For loadFailed(int): a path that names no regular file.
    static constexpr int kNotRegularFile = -1;
    std::optional<FileIdentity> stamp_;
    std::int64_t loadedAtNs_ = 0;  // wall-clock time of the last read or write
    std::string content_;          // the file's bytes as last read or written
    std::vector<Line> lines_;
    // What readers see, found by name in constant time whatever the size
    // of the file: the first section line of each name, and an
    // open-addressing table of the key lines readers see (see keySlot();
    // 0 is a free slot), both by names whose letter case is ignored.
    std::unordered_map<std::string, std::ptrdiff_t> sections_;
    std::vector<std::uint64_t> keySlots_;
    std::size_t keySlot(std::ptrdiff_t section, std::string_view key) const;
};

}  // namespace vantrel
