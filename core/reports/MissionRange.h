// The From and To fields of the mission listing: text fields that read as
// whole numbers (anything else reads as 0) and show what is set into them.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

struct RangeField {
    std::string text = "0";
    std::int32_t value() const;
    void set(std::int32_t v);
};

struct MissionRange {
    RangeField from;
    RangeField to;
};

// Brings From and To into 0..missionCount with From <= To, writing changed
// values back into the fields.
void normaliseRange(MissionRange& range, std::int32_t missionCount);

}  // namespace vantrel
