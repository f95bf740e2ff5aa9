// Where the settings file, the default log and the start directories lie.
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/platform/PlatformPaths.h"

namespace vantrel {
namespace {

// Sets or clears one environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

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

}  // namespace
}  // namespace vantrel
