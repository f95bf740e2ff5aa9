#include "core/platform/GameFolders.h"

#include "core/files/FileIO.h"
#include "core/text/TextRules.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>

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

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
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

// One token of a VDF text: a string (quoted or bare) or a brace.
struct Token {
    enum Kind { String, Open, Close, End } kind = End;
    std::string text;
};

class VdfTokens {
public:
    explicit VdfTokens(std::string_view text) : text_(text) {}

    Token next()
    {
        skipSpaceAndComments();
        if (pos_ >= text_.size())
            return {};
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            return {c == '{' ? Token::Open : Token::Close, {}};
        }
        if (c == '"')
            return {Token::String, quoted()};
        std::string bare;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
               text_[pos_] != '{' && text_[pos_] != '}' && text_[pos_] != '"')
            bare += text_[pos_++];
        return {Token::String, bare};
    }

private:
    void skipSpaceAndComments()
    {
        for (;;) {
            while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            if (text_.substr(pos_, 2) != "//")
                return;
            while (pos_ < text_.size() && text_[pos_] != '\n')
                ++pos_;
        }
    }

    std::string quoted()
    {
        std::string value;
        ++pos_;  // opening quote
        while (pos_ < text_.size() && text_[pos_] != '"') {
            char c = text_[pos_++];
            if (c == '\\' && pos_ < text_.size()) {
                const char escaped = text_[pos_++];
                switch (escaped) {
                case 'n': c = '\n'; break;
                case 't': c = '\t'; break;
                case '\\': c = '\\'; break;
                case '"': c = '"'; break;
                default: value += '\\'; c = escaped; break;
                }
            }
            value += c;
        }
        ++pos_;  // closing quote
        return value;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void addWindowsInstalls(std::vector<std::string>& out, const std::string& driveC)
{
    for (std::string_view programs : kProgramFolders)
        for (std::string_view install : kWindowsInstallFolders)
            out.push_back(text::joinPath(text::joinPath(driveC, programs), install));
    for (std::string_view install : kDriveRootInstallFolders)
        out.push_back(text::joinPath(driveC, install));
}

}  // namespace

std::vector<std::string> libraryPathsFromVdf(std::string_view vdfText)
{
    std::vector<std::string> paths;
    VdfTokens tokens(vdfText);
    int depth = 0;
    for (Token token = tokens.next(); token.kind != Token::End; token = tokens.next()) {
        if (token.kind == Token::Open) {
            ++depth;
            continue;
        }
        if (token.kind == Token::Close) {
            depth = std::max(0, depth - 1);
            continue;
        }
        // A string is a key: a brace after it opens its block, a string is its value.
        const std::string key = token.text;
        const Token value = tokens.next();
        if (value.kind == Token::Open)
            ++depth;
        else if (value.kind == Token::Close)
            depth = std::max(0, depth - 1);
        else if (value.kind == Token::String && (text::equalsIgnoringCase(key, "path") || (depth == 1 && text::allDigits(key))))
            paths.push_back(value.text);
        else if (value.kind == Token::End)
            break;
    }
    return paths;
}

std::vector<std::string> steamLibraries(const std::string& home)
{
    std::vector<std::string> libraries;
    const auto add = [&](std::string path) {
        path = withoutTrailingSlash(std::move(path));
        if (std::find(libraries.begin(), libraries.end(), path) == libraries.end())
            libraries.push_back(std::move(path));
    };
    std::vector<std::string> roots;
    for (std::string_view root : kSteamRoots)
        roots.push_back(text::joinPath(home, root));
    for (const std::string& root : roots)
        add(root);
    for (const std::string& root : roots) {
        for (std::string_view list : kLibraryLists) {
            const auto text = readText(text::joinPath(root, list));
            if (!text)
                continue;
            for (std::string& path : libraryPathsFromVdf(*text))
                if (path.starts_with('/'))  // a Windows path belongs to a Steam client under Wine
                    add(std::move(path));
        }
    }
    return libraries;
}

std::vector<std::string> candidateGameFolders(const std::string& home)
{
    std::vector<std::string> candidates;
    for (const std::string& library : steamLibraries(home)) {
        candidates.push_back(text::joinPath(text::joinPath(library, "steamapps/common"), kSteamInstallFolder));
        addWindowsInstalls(candidates,
                           text::joinPath(text::joinPath(text::joinPath(library, "steamapps/compatdata"), kSteamAppId), "pfx/drive_c"));
    }
    addWindowsInstalls(candidates, text::joinPath(home, ".wine/drive_c"));
    return candidates;
}

std::vector<std::string> existingGameFolders(const std::string& home)
{
    std::vector<std::string> found;
    std::set<std::string> seen;
    for (const std::string& candidate : candidateGameFolders(home)) {
        const auto folder = findFolder(fileio::toPath(candidate));
        if (!folder)
            continue;
        std::error_code error;
        const fs::path canonical = fs::canonical(*folder, error);
        if (error)
            continue;
        if (seen.insert(fileio::toUtf8(canonical)).second)
            found.push_back(fileio::toUtf8(canonical));
    }
    return found;
}

std::vector<std::string> watchedPilotFolders(const std::string& home, const std::string& lastDir)
{
    std::vector<std::string> folders = existingGameFolders(home);
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
