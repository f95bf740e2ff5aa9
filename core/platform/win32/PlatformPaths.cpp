// The program's places on Windows. Modern Windows no longer lets a program
// write the Windows directory or the root of drive C:, so the settings live
// in %APPDATA%\Vantrel and the main log in the user's profile.
#include "core/platform/PlatformPaths.h"

#include "core/files/win32/Win32Files.h"
#include "core/text/TextRules.h"

namespace vantrel::paths {

namespace {

std::string environment(const wchar_t* name)
{
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD length = ::GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0)
            return {};
        if (length < value.size()) {
            value.resize(length);
            return win32::utf8(value);
        }
        value.resize(length);
    }
}

std::string windowsDirectory()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    return length == 0 || length > MAX_PATH ? std::string("C:\\Windows")
                                            : win32::utf8(std::wstring_view(buffer, length));
}

// %LOCALAPPDATA%, or its usual place in the profile.
std::string localAppData()
{
    std::string local = environment(L"LOCALAPPDATA");
    if (local.empty())
        local = text::joinPath(text::joinPath(homeDirectory(), "AppData"), "Local");
    return local;
}

}  // namespace

std::string homeDirectory()
{
    std::string home = environment(L"USERPROFILE");
    if (home.empty()) {
        const std::string drive = environment(L"HOMEDRIVE");
        const std::string path = environment(L"HOMEPATH");
        home = drive + path;
    }
    return home.empty() ? std::string("C:\\") : home;
}

std::string settingsFile()
{
    std::string roaming = environment(L"APPDATA");
    if (roaming.empty())
        roaming = text::joinPath(text::joinPath(homeDirectory(), "AppData"), "Roaming");
    return text::joinPath(text::joinPath(roaming, "Vantrel"), "vantrel.ini");
}

std::vector<std::string> legacySettingsFiles()
{
    return {
        text::joinPath(windowsDirectory(), "vantrel.ini"),
        text::joinPath(text::joinPath(text::joinPath(localAppData(), "VirtualStore"), "Windows"), "vantrel.ini"),
    };
}

std::string backupDirectory()
{
    return text::joinPath(text::joinPath(localAppData(), "Vantrel"), "backups");
}

std::string ownSavesJournal()
{
    return text::joinPath(text::joinPath(localAppData(), "Vantrel"), "own-saves.txt");
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
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0)
        return fallbackDirectory();
    std::wstring folder(length, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(length, folder.data());
    if (written == 0 || written >= length)
        return fallbackDirectory();
    folder.resize(written);
    return win32::utf8(folder);
}

PlaceNames placeNames()
{
    return {"%APPDATA%\\Vantrel\\vantrel.ini", "%USERPROFILE%\\VANTREL_MainLog.txt",
            "%LOCALAPPDATA%\\Vantrel\\backups"};
}

}  // namespace vantrel::paths
