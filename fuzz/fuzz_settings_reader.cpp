// Feeds arbitrary bytes to the settings reader as a settings file, then writes
// one key into a copy and checks that the value reads back as written and that
// no other key changed.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "core/files/FileIO.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace {

using vantrel::SettingsStore;

constexpr std::string_view kKeys[] = {
    vantrel::keys::LastDir,
    vantrel::keys::LogFile,
    vantrel::keys::SaveFilename,
    vantrel::keys::ShowMissionScore,
    vantrel::keys::ShowMissionBonus,
    vantrel::keys::ShowMissionTotal,
    vantrel::keys::ShowMissionTime,
    vantrel::keys::CheckCheat,
    vantrel::keys::ShowErrorDetailes,
    vantrel::keys::ShowZeroMissions,
    vantrel::keys::IncludeDate,
    vantrel::keys::MegaDetails,
    vantrel::keys::NameSource,
    vantrel::keys::ScoreFormat,
    "lastdir",
    "LASTDIR",
    "",
    " ",
    "=",
    "[ZADAdeda]",
    ";LastDir",
    "Last Dir",
    "Key\xC3\xA9",
};

constexpr std::string_view kSections[] = {"ZADAdeda", "zadadeda", "ZADADEDA", " ZADAdeda ", "Other", ""};

struct Paths {
    std::string dir;
    std::string input;
    std::string copy;
};

const Paths& paths()
{
    static const Paths p = [] {
        // Memory-backed when available: every write is flushed to disk.
        char shm[] = "/dev/shm/vantrel-fuzz-XXXXXX";
        char tmp[] = "/tmp/vantrel-fuzz-XXXXXX";
        char* pattern = ::mkdtemp(shm);
        if (pattern == nullptr)
            pattern = ::mkdtemp(tmp);
        if (pattern == nullptr)
            std::abort();
        const std::string dir = pattern;
        return Paths{dir, dir + "/vantrel.ini", dir + "/copy.ini"};
    }();
    return p;
}

// The directory exists only while one input runs (the fuzzer may end the
// process without running exit handlers), so nothing is left behind.
void makeDirectory(const Paths& p)
{
    if (::mkdir(p.dir.c_str(), 0700) != 0 && errno != EEXIST)
        std::abort();
}

void removeFiles(const Paths& p)
{
    ::unlink(p.input.c_str());
    ::unlink(p.copy.c_str());
    ::rmdir(p.dir.c_str());
}

void put(const std::string& path, std::string_view bytes)
{
    const vantrel::FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file || !vantrel::fileio::writeAll(file, bytes))
        std::abort();
}

// What the reader gives back for a value the writer stored: line breaks
// became blanks. (Values written here stay within the read limit; the cut of
// longer values has its own unit tests.)
std::string expectedReadBack(std::string_view value)
{
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

// Names as the store compares them: blanks around them ignored, ASCII
// letters in either case.
bool sameName(std::string_view a, std::string_view b)
{
    auto trim = [](std::string_view t) {
        while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
            t.remove_prefix(1);
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
            t.remove_suffix(1);
        return t;
    };
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    a = trim(a);
    b = trim(b);
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Paths& p = paths();
    makeDirectory(p);
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    put(p.input, bytes);
    SettingsStore store(p.input);
    std::string before[std::size(kSections)][std::size(kKeys)];
    for (std::size_t s = 0; s < std::size(kSections); ++s) {
        for (std::size_t k = 0; k < std::size(kKeys); ++k) {
            before[s][k] = store.ReadString(kSections[s], kKeys[k], "\x01missing");
            if (before[s][k] != "\x01missing" && before[s][k].size() > 4 * SettingsStore::kMaxValueLength)
                std::abort();
        }
    }

    // The last bytes of the input, up to a separator, are the value to write;
    // the first byte picks the key.
    const std::size_t cut = bytes.rfind('\x7F');
    const std::string_view value =
        (cut == std::string_view::npos ? bytes.substr(bytes.size() / 2) : bytes.substr(cut + 1))
            .substr(0, SettingsStore::kMaxValueLength);
    const std::string_view key = kKeys[size == 0 ? 0 : data[0] % 14];
    const bool otherSection = size > 1 && (data[1] & 1) != 0;
    const std::string_view section = otherSection ? "Other" : "zadadeda";

    put(p.copy, bytes);
    SettingsStore writer(p.copy);
    try {
        writer.WriteString(section, key, value);
    } catch (const vantrel::SettingsWriteError&) {
        std::abort();
    }

    SettingsStore reader(p.copy);
    const std::string expected = expectedReadBack(value);
    if (reader.ReadString(section, key, "\x01missing") != expected)
        std::abort();
    if (writer.ReadString(section, key, "\x01missing") != expected)
        std::abort();
    for (std::size_t s = 0; s < std::size(kSections); ++s) {
        for (std::size_t k = 0; k < std::size(kKeys); ++k) {
            if (sameName(kSections[s], section) && sameName(kKeys[k], key))
                continue;
            if (reader.ReadString(kSections[s], kKeys[k], "\x01missing") != before[s][k])
                std::abort();
        }
    }
    removeFiles(p);
    return 0;
}
