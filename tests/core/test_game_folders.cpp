// Finding the game's install folders on a fake home folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "TestSupport.h"
#include "core/platform/GameFolders.h"
#include "core/platform/LibraryFoldersVdf.h"

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

TEST(GameFolders, LibraryPathsFromBothFormsOfTheVdfFile)
{
    const std::string current = R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/pilot/.local/share/Steam"
		"label"		""
		"apps"
		{
			"228980"		"415865380"
			"361670"		"1234"
		}
	}
	// a second drive
	"1" { "PATH" "/mnt/games/Steam \"Library\"" "contentid" "77" }
	"2"
	{
		"path"		"C:\\Games\\Steam"
	}
}
)";
    EXPECT_EQ(gamefolders::libraryPathsFromVdf(current),
              (std::vector<std::string>{"/home/pilot/.local/share/Steam", "/mnt/games/Steam \"Library\"",
                                        "C:\\Games\\Steam"}));

    const std::string older = R"("LibraryFolders"
{
	"TimeNextStatsReport"		"1620000000"
	"ContentStatsID"		"-123"
	"1"		"/media/disk/SteamLibrary"
	"2"		"/srv/steam"
}
)";
    EXPECT_EQ(gamefolders::libraryPathsFromVdf(older),
              (std::vector<std::string>{"/media/disk/SteamLibrary", "/srv/steam"}));
    EXPECT_EQ(gamefolders::libraryPathsFromVdf("\"libraryfolders\" { \"0\" { \"path\""), std::vector<std::string>{});
}

// Whatever lies in the file's place (cut short, garbled, another file), the
// reader gives back what paths it can and nothing else.
TEST(GameFolders, OddLibraryListsGiveWhatPathsTheyHold)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {}},
        {"}}}}{{{", {}},
        {"\"", {}},
        // A file cut short in a path names no shorter folder.
        {"\"path\" \"/mnt/games/SteamLib", {}},
        {"\"path\" \"ends in a backslash\\", {}},
        {"\"path\"", {}},
        {"\"path\" {", {}},
        {"} \"path\" \"/after/a/stray/brace\"", {"/after/a/stray/brace"}},
        {std::string("\"path\" \"/with\0nul\"", 18), {std::string("/with\0nul", 9)}},
        {"// only a comment", {}},
        {"\"0\" { \"path\" \"/a\" } \"1\" { \"PaTh\" \"/b\" \"path\" \"/c\" }", {"/a", "/b", "/c"}},
        {std::string(100000, '{') + "\"path\" \"/deep\"" + std::string(100000, '}'), {"/deep"}},
    };
    for (const auto& [text, paths] : cases) {
        SCOPED_TRACE(text.substr(0, 60));
        EXPECT_EQ(gamefolders::libraryPathsFromVdf(text), paths);
    }
    // Every cut of a real list ends well.
    const std::string list =
        "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Program Files (x86)\\\\Steam\"\n"
        "\t\t\"apps\" { \"361670\" \"1\" }\n\t}\n}\n";
    for (std::size_t cut = 0; cut <= list.size(); ++cut)
        (void)gamefolders::libraryPathsFromVdf(std::string_view(list).substr(0, cut));
}

// A registry held in memory: (root, view, key) -> value name -> text.
class FakeRegistry final : public registry::Registry {
public:
    using Key = std::tuple<registry::Root, registry::View, std::string>;
    void set(registry::Root root, registry::View view, const std::string& key, const std::string& name,
             const std::string& value)
    {
        keys_[{root, view, key}][name] = value;
    }
    std::optional<std::string> text(registry::Root root, std::string_view key, std::string_view name,
                                    registry::View view) const override
    {
        const auto found = keys_.find({root, view, std::string(key)});
        if (found == keys_.end())
            return std::nullopt;
        const auto value = found->second.find(std::string(name));
        return value == found->second.end() ? std::nullopt : std::optional<std::string>(value->second);
    }
    std::vector<std::string> subkeys(registry::Root root, std::string_view key, registry::View view) const override
    {
        std::vector<std::string> names;
        const std::string prefix = std::string(key) + "\\";
        for (const auto& [where, values] : keys_) {
            const auto& [r, v, name] = where;
            if (r == root && v == view && name.starts_with(prefix) &&
                name.find('\\', prefix.size()) == std::string::npos)
                names.push_back(name.substr(prefix.size()));
        }
        return names;
    }

private:
    std::map<Key, std::map<std::string, std::string>> keys_;
};

// A path as a quoted string of a .vdf file writes it.
std::string vdfString(const std::string& path)
{
    std::string quoted = "\"";
    for (const char c : path) {
        if (c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string canonical(const std::string& path)
{
    return fileio::toUtf8(fs::canonical(fileio::toPath(path)));
}

// What Steam, GOG and the CD's installer leave on Windows, with every store's
// folders in a temporary tree: the side bar lists each install of the game
// that is there, once, and none that is not.
TEST(GameFolders, TheRegistryNamesSteamLibrariesGogAndCdInstalls)
{
    using registry::Root;
    using registry::View;
    TempDir tree;
    const std::string steam = tree.file("Steam");
    const std::string library = tree.file("Library2");
    const std::string gog = tree.file("GOG Games/Star Wars - X-Wing Alliance");
    const std::string cd = tree.file("LucasArts/XWing Alliance");
    const std::string inSteam = steam + "/steamapps/common/Star Wars X-Wing Alliance";
    const std::string inLibrary = library + "/steamapps/common/Star Wars X-Wing Alliance";
    for (const std::string& folder :
         {inSteam, inLibrary, gog, cd, tree.file("Other Game"), tree.file("Gone/steamapps")})
        fs::create_directories(fileio::toPath(folder));
    // A library whose disk is away (no game folder in it), and the Steam
    // folder listed again as the first library, as Steam writes it.
    writeFile(steam + "/steamapps/libraryfolders.vdf", "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t" +
                                                           vdfString(steam) + "\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t" +
                                                           vdfString(library) + "\n\t}\n\t\"2\" { \"path\" " +
                                                           vdfString(tree.file("Gone")) + " }\n}\n");

    FakeRegistry registry;
    // The same Steam folder, spelt otherwise, for the user and the machine.
    registry.set(Root::CurrentUser, View::Native, "Software\\Valve\\Steam", "SteamPath", steam + "/.");
    registry.set(Root::LocalMachine, View::Programs32, "SOFTWARE\\Valve\\Steam", "InstallPath", steam);
    const std::string games = "SOFTWARE\\GOG.com\\Games\\";
    registry.set(Root::LocalMachine, View::Programs32, games + "1111111111", "gameName", "Other Game");
    registry.set(Root::LocalMachine, View::Programs32, games + "1111111111", "path", tree.file("Other Game"));
    registry.set(Root::LocalMachine, View::Programs32, games + "2222222222", "gameName",
                 "STAR WARS\u2122: X-Wing Alliance\u2122");
    registry.set(Root::LocalMachine, View::Programs32, games + "2222222222", "path", gog);
    // An uninstalled copy whose key stayed behind, and one in the CD's folder.
    registry.set(Root::LocalMachine, View::Programs32, games + "3333333333", "gameName", "Star Wars: X-Wing Alliance");
    registry.set(Root::LocalMachine, View::Programs32, games + "3333333333", "path", tree.file("Removed"));
    registry.set(Root::LocalMachine, View::Programs32, games + "4444444444", "gameName", "X-Wing Alliance");
    registry.set(Root::LocalMachine, View::Programs32, games + "4444444444", "path", cd);
    registry.set(Root::LocalMachine, View::Programs32,
                 "SOFTWARE\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0", "Install Path", cd);

    TempDir home;  // no Linux store below it
    EXPECT_EQ(gamefolders::existingGameFolders(fileio::toUtf8(home.path()), registry),
              (std::vector<std::string>{canonical(inSteam), canonical(inLibrary), canonical(gog), canonical(cd)}));

    // Keys in the other registry view, or values empty, name nothing.
    FakeRegistry elsewhere;
    elsewhere.set(Root::LocalMachine, View::Native, "SOFTWARE\\Valve\\Steam", "InstallPath", steam);
    elsewhere.set(Root::LocalMachine, View::Native,
                  "SOFTWARE\\LucasArts Entertainment Company LLC\\X-Wing Alliance\\v1.0", "Install Path", cd);
    elsewhere.set(Root::CurrentUser, View::Native, "Software\\Valve\\Steam", "SteamPath", "");
    EXPECT_EQ(gamefolders::registryGameFolders(elsewhere), std::vector<std::string>{});
    EXPECT_EQ(gamefolders::existingGameFolders(fileio::toUtf8(home.path()), elsewhere), std::vector<std::string>{});
}

}  // namespace

// The Linux layouts of Steam, Proton and Wine.
#ifndef _WIN32
namespace {

TEST(GameFolders, CandidatesCoverSteamProtonAndWine)
{
    TempDir home;
    const std::string h = home.path().string();
    const std::string extra = home.file("disk/SteamLibrary");
    fs::create_directories(home.path() / ".local/share/Steam/steamapps");
    writeFile(h + "/.local/share/Steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\" { \"0\" { \"path\" \"" + h + "/.local/share/Steam/\" } \"1\" { \"path\" \"" + extra +
                  "\" } \"2\" { \"path\" \"D:\\\\Steam\" } }");

    EXPECT_EQ(gamefolders::steamLibraries(h),
              (std::vector<std::string>{h + "/.steam/steam", h + "/.local/share/Steam",
                                        h + "/.var/app/com.valvesoftware.Steam/.local/share/Steam", extra}));

    const auto candidates = gamefolders::candidateGameFolders(h);
    const auto has = [&](const std::string& path) {
        return std::find(candidates.begin(), candidates.end(), path) != candidates.end();
    };
    EXPECT_TRUE(has(extra + "/steamapps/common/Star Wars X-Wing Alliance"));
    EXPECT_TRUE(has(h + "/.local/share/Steam/steamapps/compatdata/361670/pfx/drive_c/Program Files (x86)/GOG Galaxy/"
                        "Games/Star Wars - X-Wing Alliance"));
    EXPECT_TRUE(has(h + "/.wine/drive_c/Program Files/LucasArts/XWing Alliance"));
    EXPECT_TRUE(has(h + "/.wine/drive_c/GOG Games/Star Wars - X-Wing Alliance"));
    EXPECT_EQ(candidates.front(), h + "/.steam/steam/steamapps/common/Star Wars X-Wing Alliance");
    EXPECT_EQ(candidates.back(), h + "/.wine/drive_c/GOG Games/Star Wars - X-Wing Alliance");
}

TEST(GameFolders, ExistingFoldersOnceEachInListOrder)
{
    TempDir home;
    const std::string h = fs::canonical(home.path()).string();
    const std::string steam = h + "/.local/share/Steam";
    const std::string library = h + "/disk/SteamLibrary";
    fs::create_directories(steam + "/steamapps/common/Star Wars X-Wing Alliance");
    fs::create_directories(steam +
                           "/steamapps/compatdata/361670/pfx/drive_c/Program Files (x86)/LucasArts/XWing Alliance");
    fs::create_directories(library + "/steamapps/common/STAR WARS X-Wing Alliance");  // letter case differs
    fs::create_directories(h + "/.wine/drive_c/Program Files/GOG Galaxy/Games/Star Wars - X-Wing Alliance");
    fs::create_directories(h + "/.wine/drive_c/Program Files/LucasArts");
    writeFile(h + "/.wine/drive_c/Program Files/LucasArts/XWing Alliance", "a file, not a folder");
    fs::create_directories(h + "/.steam");
    fs::create_directory_symlink(steam, h + "/.steam/steam");  // the same library twice
    writeFile(steam + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\" { \"0\" { \"path\" \"" + steam + "\" } \"1\" { \"path\" \"" + library + "\" } }");

    EXPECT_EQ(gamefolders::existingGameFolders(h),
              (std::vector<std::string>{
                  steam + "/steamapps/common/Star Wars X-Wing Alliance",
                  steam + "/steamapps/compatdata/361670/pfx/drive_c/Program Files (x86)/LucasArts/XWing Alliance",
                  library + "/steamapps/common/STAR WARS X-Wing Alliance",
                  h + "/.wine/drive_c/Program Files/GOG Galaxy/Games/Star Wars - X-Wing Alliance",
              }));

    TempDir empty;
    EXPECT_EQ(gamefolders::existingGameFolders(empty.path().string()), std::vector<std::string>{});
}

}  // namespace

namespace {

// The open dialog looks these files up each time it opens: a FIFO in the
// place of Steam's library list must not freeze it.
TEST(GameFolders, AFifoInPlaceOfTheLibraryListIsNotWaitedOn)
{
    TempDir home;
    fs::create_directories(home.path() / ".steam/steam/steamapps");
    ASSERT_EQ(::mkfifo((home.path() / ".steam/steam/steamapps/libraryfolders.vdf").c_str(), 0600), 0);
    const auto found =
        resultWithin(10, [&] { return std::to_string(gamefolders::steamLibraries(home.path().string()).size()); });
    ASSERT_TRUE(found.has_value()) << "the search blocked on the FIFO";
    EXPECT_EQ(*found, "3");  // the three Steam roots themselves, nothing read from the FIFO
}

}  // namespace

#else

namespace {

// The registry of Windows itself, through the same seam: a key of the
// 32-bit programs' view is read there and not in the program's own, an
// expandable value comes expanded, subkeys are listed.
TEST(GameFolders, TheWindowsRegistryIsReadInTheViewAsked)
{
    const std::wstring base = L"SOFTWARE\\Vantrel test " + std::to_wstring(::GetCurrentProcessId());
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (base + L"\\Game").c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "this user may not write HKEY_LOCAL_MACHINE";
    const std::wstring path = L"C:\\J\u00e4ger\\X-Wing Alliance";
    ::RegSetValueExW(key, L"Install Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    const std::wstring expandable = L"%SystemRoot%\\x";
    ::RegSetValueExW(key, L"expandable", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expandable.c_str()),
                     static_cast<DWORD>((expandable.size() + 1) * sizeof(wchar_t)));
    const DWORD number = 7;
    ::RegSetValueExW(key, L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    ::RegCloseKey(key);

    const std::string name = fileio::toUtf8(fs::path(base));
    const auto& system = registry::systemRegistry();
    using registry::Root;
    using registry::View;
    EXPECT_EQ(system.text(Root::LocalMachine, name + "\\Game", "Install Path", View::Programs32),
              std::optional<std::string>("C:\\J\xC3\xA4ger\\X-Wing Alliance"));
    EXPECT_EQ(system.text(Root::LocalMachine, name + "\\Game", "Install Path", View::Native), std::nullopt);
    const auto expanded = system.text(Root::LocalMachine, name + "\\Game", "expandable", View::Programs32);
    ASSERT_TRUE(expanded.has_value());
    EXPECT_EQ(expanded->find('%'), std::string::npos) << *expanded;
    EXPECT_TRUE(expanded->ends_with("\\x")) << *expanded;
    EXPECT_EQ(system.text(Root::LocalMachine, name + "\\Game", "number", View::Programs32), std::nullopt);
    EXPECT_EQ(system.text(Root::LocalMachine, name + "\\Game", "missing", View::Programs32), std::nullopt);
    EXPECT_EQ(system.subkeys(Root::LocalMachine, name, View::Programs32), std::vector<std::string>{"Game"});
    EXPECT_EQ(system.subkeys(Root::LocalMachine, name + "\\none", View::Programs32), std::vector<std::string>{});

    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (base + L"\\Game").c_str(), KEY_WOW64_32KEY, 0);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, base.c_str(), KEY_WOW64_32KEY, 0);
}

}  // namespace

#endif
