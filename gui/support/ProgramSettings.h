// The one settings store of the run. The main window's creation step opens it
// over the settings file; every window then reads and writes through it, at
// the moment a step needs a value.
#pragma once

#include "core/settings/SettingsStore.h"

namespace vantrel {

// Binds the program's store to the settings file (paths::settingsFile()),
// replacing any store opened before, and returns it.
SettingsStore& openProgramSettings();

// The store opened last; opens it first when nothing has yet.
SettingsStore& programSettings();

// Brings the store up to date with the settings file on disk: the first step
// of each action, so that what it and the windows it opens read is what the
// file holds now.
void rereadProgramSettings();

// The store after rereadProgramSettings(): what a step reads a setting from.
SettingsStore& currentProgramSettings();

}  // namespace vantrel
