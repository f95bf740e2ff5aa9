// Two folders of pilot files, before and after a battle, paired by name.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

struct PilotPairs {
    struct Pair {
        std::string name;  // the path inside both folders ("Red_07.plt", "b-wing/Gold_2.plt")
        std::string older, newer;
    };
    std::vector<Pair> both;                         // in name order
    std::vector<std::string> onlyOlder, onlyNewer;  // the full paths, in name order
};

// The path of `file` inside `folder`, with '/' between folders ("b-wing/Gold_2.plt").
// Both are UTF-8 text; the path is too, on Windows as well.
std::string pathInside(const std::string& folder, const std::string& file);

// Pairs the files found under each folder (findPilotFiles) by their path
// inside it, compared byte for byte.
PilotPairs pairPilotFiles(const std::string& olderFolder, const std::vector<std::string>& olderFiles,
                          const std::string& newerFolder, const std::vector<std::string>& newerFiles);

}  // namespace vantrel
