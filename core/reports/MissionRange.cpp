#include "core/reports/MissionRange.h"

#include "core/text/WholeNumber.h"

namespace vantrel {

std::int32_t RangeField::value() const
{
    return parseWholeNumber(text).value_or(0);
}

void RangeField::set(std::int32_t v)
{
    text = std::to_string(v);
}

void normaliseRange(MissionRange& range, std::int32_t missionCount)
{
    std::int32_t from = range.from.value();
    std::int32_t to = range.to.value();
    bool fromChanged = false;
    bool toChanged = false;
    for (;;) {
        if (to < 0) {
            to = 0;
            toChanged = true;
        }
        if (from > to) {
            from = to - 1;  // leaves the last two missions, To - 1 and To
            fromChanged = true;
            continue;
        }
        if (from < 0) {
            from = 0;
            fromChanged = true;
            continue;
        }
        if (to > missionCount) {
            to = missionCount;
            toChanged = true;
            continue;
        }
        break;
    }
    if (fromChanged)
        range.from.set(from);
    if (toChanged)
        range.to.set(to);
}

}  // namespace vantrel
