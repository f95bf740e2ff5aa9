#include "cli/Suggestion.h"

#include <algorithm>

namespace vantrel::cli {

namespace {

// Edits between the two words: insertions, deletions, replacements and
// swaps of neighbouring letters.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t replace = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

}  // namespace

std::string nearestName(std::string_view given, const std::vector<std::string_view>& known)
{
    std::string_view best;
    std::size_t bestDistance = 0;
    for (std::string_view name : known) {
        const std::size_t distance = editDistance(given, name);
        if (3 * distance > std::max(given.size(), name.size()))
            continue;
        if (best.empty() || distance < bestDistance) {
            best = name;
            bestDistance = distance;
        }
    }
    return std::string(best);
}

std::string didYouMean(std::string_view given, const std::vector<std::string_view>& known)
{
    const std::string nearest = nearestName(given, known);
    return nearest.empty() ? std::string() : "; did you mean " + nearest + "?";
}

}  // namespace vantrel::cli
