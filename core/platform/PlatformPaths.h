// The Linux counterparts of the places the program uses on Windows. This is
// the one place that knows them.
#pragma once

#include <string>

namespace vantrel::paths {

// vantrel.ini in $XDG_CONFIG_HOME, or in $HOME/.config when that is unset or empty.
std::string settingsFile();

// The main log file used when the settings name none: $HOME/VANTREL_MainLog.txt.
std::string defaultLogFile();

// Where the open dialog starts when no directory is remembered, and what the
// settings dialog's Default button puts in its directory field: $HOME/.
std::string fallbackDirectory();

// The process's current directory.
std::string currentDirectory();

// $HOME, or the password database's home directory when HOME is unset.
std::string homeDirectory();

// Where copies of pilot files go before they are changed:
// $XDG_DATA_HOME/vantrel/backups, or $HOME/.local/share/vantrel/backups when
// that is unset, empty or not an absolute path.
std::string backupDirectory();

}  // namespace vantrel::paths
