// Every key the settings dialog edits, with its default, in the order the
// dialog reads and writes them. The dialog's initial state, its activation
// and its "Default" button all go by this one table.
#pragma once

#include <string>
#include <string_view>

#include "core/platform/PlatformPaths.h"
#include "core/settings/SettingsKeys.h"

namespace vantrel {

// How a key's text is read: a path as it stands, a flag that is on only as
// "1", a choice that is the decimal index of a selected item.
enum class SettingForm { Path, Flag, Choice };

struct SettingDefault {
    std::string_view key;
    SettingForm form;
    // The default of a flag or a choice.
    std::string_view fixed;
    // The default of a path, which lies in the user's own folders.
    std::string (*inUsersFolders)() = nullptr;

    std::string value() const { return inUsersFolders ? inUsersFolders() : std::string(fixed); }
};

// The order is the order in which the keys first appear in a new settings
// file; a key added later goes at the end, so that older files keep theirs.
// `LastDir` defaults to the fallback directory here (the "Default" button);
// reading it at start-up and at the dialog's activation falls back to the
// current directory instead.
inline constexpr SettingDefault kSettingDefaults[] = {
    {keys::LastDir, SettingForm::Path, {}, &paths::fallbackDirectory},
    {keys::LogFile, SettingForm::Path, {}, &paths::defaultLogFile},
    {keys::SaveFilename, SettingForm::Flag, defaults::SaveFilename},
    {keys::ShowMissionScore, SettingForm::Flag, defaults::ShowMissionScore},
    {keys::ShowMissionBonus, SettingForm::Flag, defaults::ShowMissionBonus},
    {keys::ShowMissionTotal, SettingForm::Flag, defaults::ShowMissionTotal},
    {keys::ShowMissionTime, SettingForm::Flag, defaults::ShowMissionTime},
    {keys::CheckCheat, SettingForm::Flag, defaults::CheckCheat},
    {keys::ShowErrorDetailes, SettingForm::Flag, defaults::ShowErrorDetailes},
    {keys::ShowZeroMissions, SettingForm::Flag, defaults::ShowZeroMissions},
    {keys::IncludeDate, SettingForm::Flag, defaults::IncludeDate},
    {keys::MegaDetails, SettingForm::Flag, defaults::MegaDetails},
    {keys::NameSource, SettingForm::Choice, defaults::NameSource},
    {keys::ScoreFormat, SettingForm::Choice, defaults::ScoreFormat},
    {keys::WatchPilotFolders, SettingForm::Flag, defaults::WatchPilotFolders},
};

}  // namespace vantrel
