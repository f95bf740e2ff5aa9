// Compares the file's redundant score copies.
#pragma once

#include <cstdint>

#include "core/pilot/PilotRecord.h"
#include "core/reports/TextSink.h"
#include "core/settings/Settings.h"

namespace vantrel {

// What the comparison finds, before anything is written.
struct IntegrityFindings {
    // The copies that differ from the one they are checked against.
    bool todScoreB = false;  // TODScoreA <> TODScoreB
    bool todScoreC = false;  // TODScoreA <> TODScoreC
    bool todScoreD = false;  // TODScoreA <> TODScoreD
    bool azzScore2 = false;  // AzzScoreB <> AzzScoreD
    // Neither Azzameen copy makes the stored scores add up to the missions' sum.
    bool totalWarning = false;
    // TODScoreA + TODBonus + AzzScoreB + AzzBonus, wrapping.
    std::int32_t sumWithB = 0;

    // The number of differing copies (0..4).
    std::uint16_t errors() const { return static_cast<std::uint16_t>(todScoreB + todScoreC + todScoreD + azzScore2); }
};

IntegrityFindings CheckIntegrity(const PilotRecord& record);

// Appends the check's lines; returns what the check found.
IntegrityFindings RunIntegrityCheck(TextSink& sink, Settings& settings, const PilotRecord& record);

}  // namespace vantrel
