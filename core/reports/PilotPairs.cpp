#include "core/reports/PilotPairs.h"

#include <algorithm>
#include <filesystem>
#include <utility>

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
        named.push_back({std::filesystem::path(file).lexically_relative(folder).generic_string(), file});
    std::sort(named.begin(), named.end(), [](const Named& a, const Named& b) { return a.name < b.name; });
    return named;
}

}  // namespace

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
