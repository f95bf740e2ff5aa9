// The folders on this machine where X-Wing Alliance keeps its pilot files
// (the game's install folder itself), for the open dialog's side bar.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Registry.h"

namespace vantrel::gamefolders {

// Steam's app number for the game; its Proton prefix is compatdata/<number>.
inline constexpr std::string_view kSteamAppId = "361670";

// The Steam library folders: the usual Steam roots below `home` (native,
// the ~/.steam link, Flatpak), then every library listed in their
// steamapps/libraryfolders.vdf. Duplicates by text removed; nothing is
// checked for existence.
std::vector<std::string> steamLibraries(const std::string& home);

// The game's install folders that the registry of Windows names: in each
// library of the Steam client (its own folder, then the libraries its
// libraryfolders.vdf lists) steamapps/common/Star Wars X-Wing Alliance;
// then the folder of each GOG install of the game; then the original CD's
// install folder. The game keeps its pilot files in its install folder.
// Nothing is checked for existence.
std::vector<std::string> registryGameFolders(const registry::Registry& registry);

// Every place the game may be installed, in the order the side bar offers
// them: for each Steam library below `home` its native or Proton install,
// then the usual Windows install folders inside the game's Proton prefix;
// then the same Windows folders inside the Wine prefix ~/.wine; then the
// folders the registry names (on Windows).
std::vector<std::string> candidateGameFolders(const std::string& home,
                                              const registry::Registry& registry = registry::systemRegistry());

// The candidates that are folders on this machine, as canonical paths, each
// once (also when two names lead to one folder), in candidate order.
std::vector<std::string> existingGameFolders(const std::string& home,
                                             const registry::Registry& registry = registry::systemRegistry());

// The folders whose pilot files are watched for the game's saves: the
// existing game folders, then the folder `lastDir` names (the initial
// directory of the open dialog, which may name a file in it), each once.
std::vector<std::string> watchedPilotFolders(const std::string& home, const std::string& lastDir,
                                             const registry::Registry& registry = registry::systemRegistry());

}  // namespace vantrel::gamefolders
