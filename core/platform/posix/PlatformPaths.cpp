// The program's places on Linux.
#include "core/platform/PlatformPaths.h"

#include "core/text/TextRules.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace vantrel::paths {

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string homeDirectory()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr && *entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string settingsFile()
{
    const std::string config = environment("XDG_CONFIG_HOME");
    if (!config.empty())
        return text::joinPath(config, "vantrel.ini");
    return text::joinPath(text::joinPath(homeDirectory(), ".config"), "vantrel.ini");
}

std::vector<std::string> legacySettingsFiles()
{
    return {};
}

namespace {

std::string dataDirectory()
{
    std::string data = environment("XDG_DATA_HOME");
    if (data.empty() || data.front() != '/')
        data = text::joinPath(text::joinPath(homeDirectory(), ".local"), "share");
    return text::joinPath(data, "vantrel");
}

}  // namespace

std::string backupDirectory()
{
    return text::joinPath(dataDirectory(), "backups");
}

std::string ownSavesJournal()
{
    return text::joinPath(dataDirectory(), "own-saves.txt");
}

std::string defaultLogFile()
{
    return text::joinPath(homeDirectory(), "VANTREL_MainLog.txt");
}

std::string fallbackDirectory()
{
    return text::joinPath(homeDirectory(), "");
}

std::string currentDirectory()
{
    std::vector<char> buffer(4096);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr)
            return buffer.data();
        if (errno != ERANGE)
            break;
        buffer.resize(buffer.size() * 2);
    }
    // The working directory was removed or cannot be named: the home
    // directory is the nearest place the user knows.
    return fallbackDirectory();
}

PlaceNames placeNames()
{
    return {"$XDG_CONFIG_HOME/vantrel.ini (default ~/.config/vantrel.ini)", "~/VANTREL_MainLog.txt",
            "$XDG_DATA_HOME/vantrel/backups (default ~/.local/share/vantrel/backups)"};
}

}  // namespace vantrel::paths
