#include "core/platform/PilotFileSearch.h"

#include <algorithm>
#include <filesystem>

#include "core/files/FileIO.h"
#include "core/pilot/PilotLayout.h"
#include "core/text/TextRules.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

bool hasPltExtension(const fs::path& path)
{
    return text::equalsIgnoringCase(fileio::toUtf8(path.extension()), layout::kPilotFileExtension);
}

}  // namespace

bool isPilotFileName(const std::string& name)
{
    return hasPltExtension(fs::path(name));
}

PilotFileSearch findPilotFiles(const std::string& path)
{
    PilotFileSearch search;
    std::error_code ec;
    if (!fs::is_directory(fileio::toPath(path), ec)) {
        search.files.push_back(path);
        return search;
    }

    // Folder by folder, so that one that cannot be entered is told and the
    // others are still searched. Only real folders are entered: a link to a
    // folder could lead back up.
    std::vector<fs::path> folders{fileio::toPath(path)};
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        fs::directory_iterator it(folder, ec);
        for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
            std::error_code ignored;
            const bool isFolder = it->is_directory(ignored);  // links followed
            if (isFolder && !it->is_symlink(ignored))
                folders.push_back(it->path());
            else if (!isFolder && hasPltExtension(it->path()))
                search.files.push_back(fileio::toUtf8(it->path()));
        }
        if (ec)
            search.failures.push_back(
                FileResult::refused("Cannot search " + fileio::toUtf8(folder) + ": " + ec.message(), ec.message()));
    }
    std::sort(search.files.begin(), search.files.end());
    std::sort(search.failures.begin(), search.failures.end(),
              [](const FileResult& a, const FileResult& b) { return a.message() < b.message(); });
    return search;
}

}  // namespace vantrel
