#include "core/reports/CopyComparison.h"

#include "core/pilot/Vocabulary.h"
#include "core/text/WholeNumber.h"

namespace vantrel {

namespace {

void compareLists(std::vector<std::string>& found, const char* label, const CraftTable& a, const CraftTable& b)
{
    for (std::size_t craft = 0; craft < a.size(); ++craft) {
        if (a[craft] != b[craft])
            found.push_back(std::string(label) + ", " + vocabulary::craftTypeName(craft) + ": list A " +
                            std::to_string(a[craft]) + ", list B " + std::to_string(b[craft]));
    }
}

void compareTotal(std::vector<std::string>& found, const char* label, std::int32_t stored, const char* list,
                  const CraftTable& counts)
{
    const std::int32_t sum = wrappingSum(counts);
    if (stored != sum)
        found.push_back(std::string(label) + ": stored " + std::to_string(stored) + ", " + list + " adds up to " +
                        std::to_string(sum));
}

void compareCopy(std::vector<std::string>& found, const char* label, std::int32_t a, char copy, std::int32_t other)
{
    if (a != other)
        found.push_back(std::string(label) + ": copy A " + std::to_string(a) + ", copy " + copy + " " +
                        std::to_string(other));
}

}  // namespace

std::vector<std::string> CompareOtherCopies(const PilotRecord& r)
{
    std::vector<std::string> found;
    compareLists(found, "TOD kills", r.TODKillsA, r.TODKillsB);
    compareLists(found, "Simulator kills", r.SimKillsA, r.SimKillsB);
    compareLists(found, "TOD assists", r.TODAssistsA, r.TODAssistsB);
    compareLists(found, "Azzameen assists", r.AzzAssistsA, r.AzzAssistsB);
    compareTotal(found, "TOD total kills", r.TODTotalKills, "list A", r.TODKillsA);
    compareTotal(found, "Azzameen total kills", r.AzzTotalKills, "the list", r.AzzKills);
    compareCopy(found, "Simulator score", r.SimScoreA, 'B', r.SimScoreB);
    compareCopy(found, "Simulator score", r.SimScoreA, 'C', r.SimScoreC);
    compareCopy(found, "Simulator score", r.SimScoreA, 'D', r.SimScoreD);
    return found;
}

}  // namespace vantrel
