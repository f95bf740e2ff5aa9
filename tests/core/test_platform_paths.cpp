// Where the settings file, the default log and the start directories lie.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <climits>
#include <cstdlib>
#include <optional>
#include <string>

#include "TestSupport.h"
#include "core/platform/PlatformPaths.h"

namespace vantrel {
namespace {

using testing::ScopedEnv;

#ifndef _WIN32

TEST(PlatformPaths, SettingsFileFollowsXdgConfigHome)
{
    ScopedEnv home("HOME", "/home/pilot");
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg/dir");
        EXPECT_EQ(paths::settingsFile(), "/cfg/dir/vantrel.ini");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", "");
        EXPECT_EQ(paths::settingsFile(), "/home/pilot/.config/vantrel.ini");
    }
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(paths::settingsFile(), "/home/pilot/.config/vantrel.ini");
}

TEST(PlatformPaths, HomeBasedPlaces)
{
    {
        ScopedEnv home("HOME", "/home/pilot");
        EXPECT_EQ(paths::homeDirectory(), "/home/pilot");
        EXPECT_EQ(paths::defaultLogFile(), "/home/pilot/VANTREL_MainLog.txt");
        EXPECT_EQ(paths::fallbackDirectory(), "/home/pilot/");
    }
    {
        ScopedEnv home("HOME", "/home/pilot/");
        EXPECT_EQ(paths::defaultLogFile(), "/home/pilot/VANTREL_MainLog.txt");
        EXPECT_EQ(paths::fallbackDirectory(), "/home/pilot/");
    }
    const passwd* entry = ::getpwuid(::getuid());
    const std::string expected = entry != nullptr && entry->pw_dir != nullptr && *entry->pw_dir ? entry->pw_dir : "/";
    for (const char* unset : {static_cast<const char*>(nullptr), ""}) {
        ScopedEnv home("HOME", unset);
        EXPECT_EQ(paths::homeDirectory(), expected);
    }
}

TEST(PlatformPaths, CurrentDirectory)
{
    char pattern[] = "/tmp/vantrel-cwd-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    char resolved[PATH_MAX];
    ASSERT_NE(::realpath(pattern, resolved), nullptr);
    const std::string previous = paths::currentDirectory();
    ASSERT_EQ(::chdir(pattern), 0);
    EXPECT_EQ(paths::currentDirectory(), resolved);
    ASSERT_EQ(::chdir(previous.c_str()), 0);
    ::rmdir(pattern);
}

#else
// Modern Windows lets no program write the Windows directory or C:\, so the
// places are in the user's profile.
TEST(PlatformPaths, WindowsPlacesFollowTheProfileFolders)
{
    const ScopedEnv profile("USERPROFILE", "C:\\Users\\J\xc3\xa4ger");
    const ScopedEnv roaming("APPDATA", "C:\\Users\\J\xc3\xa4ger\\AppData\\Roaming");
    const ScopedEnv local("LOCALAPPDATA", "D:\\Local");
    EXPECT_EQ(paths::homeDirectory(), "C:\\Users\\J\xc3\xa4ger");
    EXPECT_EQ(paths::settingsFile(), "C:\\Users\\J\xc3\xa4ger\\AppData\\Roaming\\Vantrel\\vantrel.ini");
    EXPECT_EQ(paths::defaultLogFile(), "C:\\Users\\J\xc3\xa4ger\\VANTREL_MainLog.txt");
    EXPECT_EQ(paths::fallbackDirectory(), "C:\\Users\\J\xc3\xa4ger\\");
    EXPECT_EQ(paths::backupDirectory(), "D:\\Local\\Vantrel\\backups");
    const std::vector<std::string> legacy = paths::legacySettingsFiles();
    ASSERT_EQ(legacy.size(), 2u);
    EXPECT_TRUE(text::equalsIgnoringCase(legacy[0], "C:\\windows\\vantrel.ini")) << legacy[0];
    EXPECT_EQ(legacy[1], "D:\\Local\\VirtualStore\\Windows\\vantrel.ini");
}

TEST(PlatformPaths, CurrentDirectoryWithANonAsciiName)
{
    const testing::TempDir dir;
    const std::string folder = dir.file("J\xc3\xa4ger");
    std::filesystem::create_directory(fileio::toPath(folder));
    const std::string previous = paths::currentDirectory();
    std::filesystem::current_path(fileio::toPath(folder));
    const std::string now = paths::currentDirectory();
    std::filesystem::current_path(fileio::toPath(previous));
    EXPECT_EQ(std::filesystem::canonical(fileio::toPath(now)), std::filesystem::canonical(fileio::toPath(folder)));
    EXPECT_TRUE(now.ends_with("J\xc3\xa4ger")) << now;
}
#endif

// What the window tests rely on to keep the user's own places untouched:
// the test support's home and data folders hold every place the program
// uses, on either system (Windows reads no HOME nor XDG_*).
TEST(PlatformPaths, TheTestSupportsHomeFolderHoldsEveryPlace)
{
    ScopedEnv home(testing::kHomeVariable, nullptr);
    ScopedEnv config(testing::kConfigHomeVariable, nullptr);
    ScopedEnv data(testing::kDataHomeVariable, nullptr);
    const testing::TempDir dir;
    const std::string root = fileio::toUtf8(dir.path());
    testing::useHomeFolder(root);
    testing::setEnvironment(testing::kDataHomeVariable, text::joinPath(root, "data"));
    const auto inside = [](const std::string& place, const std::string& folder) {
        return place.size() > folder.size() && place.compare(0, folder.size(), folder) == 0 &&
               (place[folder.size()] == '/' || place[folder.size()] == '\\');
    };
    for (const std::string& place : {paths::defaultLogFile(), paths::fallbackDirectory(), paths::ownSavesJournal()})
        EXPECT_TRUE(inside(place, root)) << place << " lies outside " << root;
    EXPECT_EQ(paths::homeDirectory(), root);
    EXPECT_TRUE(inside(paths::settingsFile(), text::joinPath(root, ".config"))) << paths::settingsFile();
    EXPECT_TRUE(inside(paths::backupDirectory(), text::joinPath(root, "data"))) << paths::backupDirectory();
}

}  // namespace

}  // namespace vantrel
