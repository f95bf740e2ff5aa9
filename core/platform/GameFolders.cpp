#include "core/platform/GameFolders.h"

#include "core/files/FileIO.h"
#include "core/platform/LibraryFoldersVdf.h"
#include "core/text/TextRules.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>

namespace vantrel::gamefolders {

namespace fs = std::filesystem;

namespace {

// Where Steam keeps itself below the home folder: the ~/.steam/steam link,
// the native install, the Flatpak install.
constexpr std::string_view kSteamRoots[] = {
    ".steam/steam",
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
};

// The lists of further libraries a Steam root keeps.
constexpr std::string_view kLibraryLists[] = {
    "steamapps/libraryfolders.vdf",
    "config/libraryfolders.vdf",
};

constexpr std::string_view kSteamInstallFolder = "Star Wars X-Wing Alliance";

// Install folders below a Windows drive C:, GOG and CD installs and the
// Windows Steam client's library.
constexpr std::string_view kProgramFolders[] = {"Program Files (x86)", "Program Files"};
constexpr std::string_view kWindowsInstallFolders[] = {
    "GOG Galaxy/Games/Star Wars - X-Wing Alliance",
    "LucasArts/XWing Alliance",
    "Steam/steamapps/common/Star Wars X-Wing Alliance",
};
constexpr std::string_view kDriveRootInstallFolders[] = {"GOG Games/Star Wars - X-Wing Alliance"};

// Where the installers of the game and of its stores note where they put it
// in the registry of Windows. Steam, GOG and the game's own installer are
// 32-bit programs: on 64-bit Windows their machine-wide keys sit in the
// 32-bit programs' view (HKLM\SOFTWARE\WOW6432Node\...).
//
// Steam's own folder, the first of its libraries: the client keeps it for
// the user in HKCU\Software\Valve\Steam, value "SteamPath" (written with
// forward slashes), and its installer for the machine in
// HKLM\SOFTWARE\Valve\Steam, value "InstallPath".
constexpr std::string_view kSteamUserKey = "Software\\Valve\\Steam";
constexpr std::string_view kSteamUserValue = "SteamPath";
constexpr std::string_view kSteamMachineKey = "SOFTWARE\\Valve\\Steam";
constexpr std::string_view kSteamMachineValue = "InstallPath";
// GOG's installers (GOG Galaxy and the offline ones) give every game a key
// HKLM\SOFTWARE\GOG.com\Games\<product id> with the game's title in
// "gameName" and its folder in "path". The game's product id is not in any
// documentation at hand, so the keys are told by their title instead.
constexpr std::string_view kGogGamesKey = "SOFTWARE\\GOG.com\\Games";
constexpr std::string_view kGogTitleValue = "gameName";
constexpr std::string_view kGogPathValue = "path";
constexpr std::string_view kGameTitle = "X-Wing Alliance";
// The original CD's installer: HKLM\SOFTWARE\LucasArts Entertainment
// Company LLC\X-Wing Alliance\v1.0, value "Install Path".
constexpr std::string_view kCdKey = "SOFTWARE\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0";
constexpr std::string_view kCdValue = "Install Path";

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && std::string_view(text::kPathSeparators).find(path.back()) != std::string_view::npos)
        path.pop_back();
    return path;
}

bool containsIgnoringCase(std::string_view text, std::string_view part)
{
    for (std::size_t at = 0; at + part.size() <= text.size(); ++at)
        if (text::equalsIgnoringCase(text.substr(at, part.size()), part))
            return true;
    return false;
}

// A small text file of the game's installer or of Steam; a FIFO or device
// put in its place is not waited on.
std::optional<std::string> readText(const std::string& path)
{
    constexpr std::size_t kLargestText = 16u << 20;
    std::string text;
    if (!fileio::readWholeFile(path, text, kLargestText))
        return std::nullopt;
    return text;
}

// The folder itself, or a folder beside it whose name differs only in letter
// case (Windows installs do not keep the case the installer used).
std::optional<fs::path> findFolder(const fs::path& candidate)
{
    std::error_code error;
    if (fs::is_directory(candidate, error))
        return candidate;
    const fs::path parent = candidate.parent_path();
    if (!fs::is_directory(parent, error))
        return std::nullopt;
    const std::string name = fileio::toUtf8(candidate.filename());
    std::vector<fs::path> matches;
    for (fs::directory_iterator it(parent, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (text::equalsIgnoringCase(fileio::toUtf8(it->path().filename()), name) && it->is_directory(ignored))
            matches.push_back(it->path());
    }
    if (matches.empty())
        return std::nullopt;
    return *std::min_element(matches.begin(), matches.end());
}

void addWindowsInstalls(std::vector<std::string>& out, const std::string& driveC)
{
    for (std::string_view programs : kProgramFolders)
        for (std::string_view install : kWindowsInstallFolders)
            out.push_back(text::joinPath(text::joinPath(driveC, programs), install));
    for (std::string_view install : kDriveRootInstallFolders)
        out.push_back(text::joinPath(driveC, install));
}

// The Steam roots and, after them, the libraries their lists name: each
// once, in that order.
std::vector<std::string> librariesOfSteamRoots(const std::vector<std::string>& roots)
{
    std::vector<std::string> libraries;
    const auto add = [&](std::string path) {
        path = withoutTrailingSlash(std::move(path));
        if (std::find(libraries.begin(), libraries.end(), path) == libraries.end())
            libraries.push_back(std::move(path));
    };
    for (const std::string& root : roots)
        add(root);
    for (const std::string& root : roots) {
        for (std::string_view list : kLibraryLists) {
            const auto text = readText(text::joinPath(root, list));
            if (!text)
                continue;
            // Only paths of this system: a Windows path in the list of a
            // Steam client run under Wine means nothing to a Linux program.
            for (std::string& path : libraryPathsFromVdf(*text))
                if (fileio::toPath(path).is_absolute())
                    add(std::move(path));
        }
    }
    return libraries;
}

}  // namespace

std::vector<std::string> steamLibraries(const std::string& home)
{
    std::vector<std::string> roots;
    for (std::string_view root : kSteamRoots)
        roots.push_back(text::joinPath(home, root));
    return librariesOfSteamRoots(roots);
}

std::vector<std::string> registryGameFolders(const registry::Registry& registry)
{
    using registry::Root;
    using registry::View;
    std::vector<std::string> folders;
    std::vector<std::string> steamRoots;
    for (auto value : {registry.text(Root::CurrentUser, kSteamUserKey, kSteamUserValue, View::Native),
                       registry.text(Root::LocalMachine, kSteamMachineKey, kSteamMachineValue, View::Programs32)})
        if (value && !value->empty())
            steamRoots.push_back(std::move(*value));
    for (const std::string& library : librariesOfSteamRoots(steamRoots))
        folders.push_back(text::joinPath(text::joinPath(library, "steamapps/common"), kSteamInstallFolder));
    for (const std::string& game : registry.subkeys(Root::LocalMachine, kGogGamesKey, View::Programs32)) {
        const std::string key = std::string(kGogGamesKey) + "\\" + game;
        const auto title = registry.text(Root::LocalMachine, key, kGogTitleValue, View::Programs32);
        if (!title || !containsIgnoringCase(*title, kGameTitle))
            continue;
        if (auto path = registry.text(Root::LocalMachine, key, kGogPathValue, View::Programs32); path && !path->empty())
            folders.push_back(std::move(*path));
    }
    if (auto path = registry.text(Root::LocalMachine, kCdKey, kCdValue, View::Programs32); path && !path->empty())
        folders.push_back(std::move(*path));
    return folders;
}

std::vector<std::string> candidateGameFolders(const std::string& home, const registry::Registry& registry)
{
    std::vector<std::string> candidates;
    for (const std::string& library : steamLibraries(home)) {
        candidates.push_back(text::joinPath(text::joinPath(library, "steamapps/common"), kSteamInstallFolder));
        addWindowsInstalls(candidates,
                           text::joinPath(text::joinPath(text::joinPath(library, "steamapps/compatdata"), kSteamAppId),
                                          "pfx/drive_c"));
    }
    addWindowsInstalls(candidates, text::joinPath(home, ".wine/drive_c"));
    for (std::string& folder : registryGameFolders(registry))
        candidates.push_back(std::move(folder));
    return candidates;
}

std::vector<std::string> existingGameFolders(const std::string& home, const registry::Registry& registry)
{
    std::vector<std::string> found;
    std::set<std::string> seen;
    // The same folder under two names that canonical paths do not tell
    // apart (letter case on Windows, a bind mount): the same volume and
    // file number.
    std::set<std::pair<std::uint64_t, std::uint64_t>> seenFiles;
    for (const std::string& candidate : candidateGameFolders(home, registry)) {
        const auto folder = findFolder(fileio::toPath(candidate));
        if (!folder)
            continue;
        std::error_code error;
        const fs::path canonical = fs::canonical(*folder, error);
        if (error)
            continue;
        const std::string name = fileio::toUtf8(canonical);
        if (!seen.insert(name).second)
            continue;
        if (const auto identity = fileIdentity(name);
            identity && !seenFiles.insert({identity->volume, identity->index}).second)
            continue;
        found.push_back(name);
    }
    return found;
}

std::vector<std::string> watchedPilotFolders(const std::string& home, const std::string& lastDir,
                                             const registry::Registry& registry)
{
    std::vector<std::string> folders = existingGameFolders(home, registry);
    if (lastDir.empty())
        return folders;
    std::error_code error;
    fs::path chosen = fileio::toPath(lastDir);
    if (!fs::is_directory(chosen, error))
        chosen = chosen.parent_path();
    if (chosen.empty() || !fs::is_directory(chosen, error))
        return folders;
    const fs::path canonical = fs::canonical(chosen, error);
    if (!error && std::find(folders.begin(), folders.end(), fileio::toUtf8(canonical)) == folders.end())
        folders.push_back(fileio::toUtf8(canonical));
    return folders;
}

}  // namespace vantrel::gamefolders
