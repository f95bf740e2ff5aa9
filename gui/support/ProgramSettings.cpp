#include "gui/support/ProgramSettings.h"

#include <memory>

#include "core/platform/PlatformPaths.h"

namespace vantrel {

namespace {
std::unique_ptr<SettingsStore>& storeSlot()
{
    static std::unique_ptr<SettingsStore> store;
    return store;
}
}  // namespace

SettingsStore& openProgramSettings()
{
    storeSlot() = std::make_unique<SettingsStore>(paths::settingsFile(), paths::legacySettingsFiles());
    return *storeSlot();
}

SettingsStore& programSettings()
{
    if (!storeSlot())
        return openProgramSettings();
    return *storeSlot();
}

void rereadProgramSettings()
{
    programSettings().revalidate();
}

SettingsStore& currentProgramSettings()
{
    rereadProgramSettings();
    return programSettings();
}

}  // namespace vantrel
