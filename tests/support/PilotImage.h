// A pilot file's bytes in memory, written field by field through the layout
// table. Used to make the sample pilot and the pilots that tests build.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/pilot/PilotLayout.h"
#include "core/reports/PilotTable.h"

namespace vantrel {

class PilotImage {
public:
    PilotImage() : bytes_(static_cast<std::size_t>(layout::kPilotFileSize), '\0') {}

    // Text copied as bytes, cut to the field's width, zero-filled after it.
    void setText(const layout::Field& field, std::string_view bytes);
    void setInt(const layout::Field& field, std::int32_t value, std::uint32_t index = 0);
    void setIntAt(std::uint32_t offset, std::int32_t value);
    std::int32_t intAt(std::uint32_t offset) const;

    struct Mission {
        std::int32_t leadValue = 0;
        std::int32_t status = 1;
        std::int32_t score = 0;
        std::int32_t time = 0;
        std::int32_t storedBonus = 0;  // ten times the points
    };
    void setMission(const layout::Field& list, std::uint32_t index, const Mission& mission);

    std::string& bytes() { return bytes_; }
    const std::string& bytes() const { return bytes_; }

    // Writes the image to a file; false on failure.
    bool save(const std::string& path) const;

private:
    std::string bytes_;
};

// A pilot of random bytes, the same ones every time, named Kestrel at rank 2:
// its first `completedMissions` campaign missions have status 2, the others
// status 0. Every byte a save must keep then differs from what it writes.
PilotImage scrambledPilot(int completedMissions);

// A squadron member for tables and charts: named `name`, with `tod` in every
// TOD score copy and one campaign mission scoring `missionScore` (by default
// `tod`, so the check passes; another value leaves the total warning alone).
// With `copiesAgree` false the fourth copy is one more, so the check fails.
PilotImage squadronPilot(const std::string& name, std::int32_t tod, bool copiesAgree, std::int32_t missionScore = -1);

// The squadron the chart tests draw, saved in `folder` and read as the table
// reads it, in this order: a.plt "Wedge & Co" (TOD 500); a file named with
// bytes that are not UTF-8, without a name (-200); c.plt "<Biggs>" (2000,
// its copies disagree); with `withTotalWarning`, e.plt "Wes" (300, one
// mission of 250); short.plt, which is no pilot; d.plt "\xC5sa" (0).
std::vector<PilotTableEntry> chartSquadron(const std::string& folder, bool withTotalWarning);

}  // namespace vantrel
