// The places the program uses: on Windows %APPDATA%, %LOCALAPPDATA% and the
// user's profile; on Linux their XDG counterparts. This is the one place
// that knows them (core/platform/posix, core/platform/win32).
#pragma once

#include <string>
#include <vector>

namespace vantrel::paths {

// vantrel.ini in $XDG_CONFIG_HOME, or in $HOME/.config when that is unset or
// empty; on Windows %APPDATA%\Vantrel\vantrel.ini.
std::string settingsFile();

// Where the classic program kept its settings, read when settingsFile() is
// absent: on Windows vantrel.ini in the Windows directory and in its
// VirtualStore copy (%LOCALAPPDATA%\VirtualStore\Windows). None on Linux.
std::vector<std::string> legacySettingsFiles();

// The main log file used when the settings name none: $HOME/VANTREL_MainLog.txt
// (%USERPROFILE%\VANTREL_MainLog.txt on Windows).
std::string defaultLogFile();

// Where the open dialog starts when no directory is remembered, and what the
// settings dialog's Default button puts in its directory field: $HOME/.
std::string fallbackDirectory();

// The process's current directory.
std::string currentDirectory();

// $HOME, or the password database's home directory when HOME is unset;
// %USERPROFILE% on Windows.
std::string homeDirectory();

// Where copies of pilot files go before they are changed:
// $XDG_DATA_HOME/vantrel/backups, or $HOME/.local/share/vantrel/backups when
// that is unset, empty or not an absolute path; on Windows
// %LOCALAPPDATA%\Vantrel\backups.
std::string backupDirectory();

// The journal of the pilot files the program itself wrote (OwnSaves), beside
// the backups: $XDG_DATA_HOME/vantrel/own-saves.txt (same fallbacks); on
// Windows %LOCALAPPDATA%\Vantrel\own-saves.txt.
std::string ownSavesJournal();

// The places above as the help text names them, in the system's own
// notation (environment variables, not their values).
struct PlaceNames {
    std::string settingsFile;
    std::string mainLog;  // the default main log
    std::string backups;
};
PlaceNames placeNames();

}  // namespace vantrel::paths
