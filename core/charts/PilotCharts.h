// Charts of one pilot, from the pilot record the reports read.
#pragma once

#include <cstddef>
#include <string>

#include "core/charts/BarChart.h"
#include "core/pilot/PilotRecord.h"

namespace vantrel::charts {

// Whether campaign mission `index` (0 for mission 1) is one the pilot flies
// for the Azzameen family rather than for the TOD: the seven errands the
// campaign opens with and the rescue of Aeron, mission 32; their scores go
// to the Azzameen account.
bool isAzzameenMission(std::size_t index);

// The pilot's name, or the file's name when the name field is empty.
std::string pilotLabel(const PilotRecord& record);

// Score and bonus of each completed campaign mission as stacked bars, one row
// per mission in campaign order, labelled with its number and title.
BarChart missionsChart(const PilotRecord& record);

// Kills and assists by craft type, in one panel each for TOD, Azzameen and
// the combat simulator: each craft with a kill or an assist (lists A),
// largest first.
BarChart killsChart(const PilotRecord& record);

}  // namespace vantrel::charts
