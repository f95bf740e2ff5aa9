#include "core/reports/PilotPairs.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "core/files/FileIO.h"

namespace vantrel {

namespace {

struct Named {
    std::string name, path;
};

std::vector<Named> byName(const std::string& folder, const std::vector<std::string>& files)
{
    std::vector<Named> named;
    named.reserve(files.size());
    for (const std::string& file : files)
        named.push_back({pathInside(folder, file), file});
    std::sort(named.begin(), named.end(), [](const Named& a, const Named& b) { return a.name < b.name; });
    return named;
}

}  // namespace

std::string pathInside(const std::string& folder, const std::string& file)
{
    // Through the UTF-8 paths: a path made of a std::string is in the
    // system's code page on Windows, and its text converted back again.
    const std::u8string inside = fileio::toPath(file).lexically_relative(fileio::toPath(folder)).generic_u8string();
    return std::string(inside.begin(), inside.end());
}

PilotPairs pairPilotFiles(const std::string& olderFolder, const std::vector<std::string>& olderFiles,
                          const std::string& newerFolder, const std::vector<std::string>& newerFiles)
{
    const std::vector<Named> older = byName(olderFolder, olderFiles);
    const std::vector<Named> newer = byName(newerFolder, newerFiles);
    PilotPairs pairs;
    std::size_t i = 0, j = 0;
    while (i < older.size() || j < newer.size()) {
        if (j == newer.size() || (i < older.size() && older[i].name < newer[j].name)) {
            pairs.onlyOlder.push_back(older[i++].path);
        } else if (i == older.size() || newer[j].name < older[i].name) {
            pairs.onlyNewer.push_back(newer[j++].path);
        } else {
            pairs.both.push_back({older[i].name, older[i].path, newer[j].path});
            ++i;
            ++j;
        }
    }
    return pairs;
}

}  // namespace vantrel
