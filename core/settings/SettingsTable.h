// Every setting of the settings file, defined once: its key, how its text is
// read, its default, and the settings dialog's control that shows it with
// that control's place in the dialog's tab order. The key and default
// constants (SettingsKeys.h), the table below, the dialog's activation, OK,
// "Default" and its tab order all follow from this list; a new setting is one
// row here plus its control in the dialog.
#pragma once

#include <string>
#include <string_view>

#include "core/platform/PlatformPaths.h"

// The order is the order in which the keys first appear in a new settings
// file; a key added later goes at the end, so that older files keep theirs.
// PATH(key, default in the user's own folders, control, tab place)
// VALUE(key, form, default, control, tab place)
// `LastDir` defaults to the fallback directory here (the "Default" button);
// reading it at start-up and at the dialog's activation falls back to the
// current directory instead.
#define VANTREL_SETTINGS(PATH, VALUE)                                \
    PATH(LastDir, paths::fallbackDirectory, "DirEdit", 2)            \
    PATH(LogFile, paths::defaultLogFile, "LogFileEdit", 16)          \
    VALUE(SaveFilename, Flag, "1", "SaveFileNameCheckBox", 3)        \
    VALUE(ShowMissionScore, Flag, "1", "ShowScoreCheckBox", 6)       \
    VALUE(ShowMissionBonus, Flag, "1", "ShowBonusCheckBox", 8)       \
    VALUE(ShowMissionTotal, Flag, "1", "ShowTotalCheckBox", 5)       \
    VALUE(ShowMissionTime, Flag, "0", "ShowTimeCheckBox", 7)         \
    VALUE(CheckCheat, Flag, "1", "CheatCheckBox", 9)                 \
    VALUE(ShowErrorDetailes, Flag, "0", "DetaildErrorsCheckBox", 10) \
    VALUE(ShowZeroMissions, Flag, "0", "ShowZeroCheckBox", 4)        \
    VALUE(IncludeDate, Flag, "0", "IncludeDateCheckBox", 13)         \
    VALUE(MegaDetails, Flag, "0", "MegaDetailsCheckBox", 11)         \
    VALUE(NameSource, Choice, "2", "NameSourceGroup", 14)            \
    VALUE(ScoreFormat, Choice, "1", "ScoreFormatGroup", 15)          \
    VALUE(WatchPilotFolders, Flag, "0", "WatchFoldersCheckBox", 18)

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
    // The settings dialog's control (its object name) and its place in the
    // dialog's tab order among the dialog's other controls.
    std::string_view control;
    int tabPlace = 0;

    std::string value() const { return inUsersFolders ? inUsersFolders() : std::string(fixed); }
};

#define VANTREL_SETTING_PATH_ROW(key, inUsersFolders, control, tab) \
    {#key, SettingForm::Path, {}, &inUsersFolders, control, tab},
#define VANTREL_SETTING_VALUE_ROW(key, form, fixed, control, tab) \
    {#key, SettingForm::form, fixed, nullptr, control, tab},
inline constexpr SettingDefault kSettingDefaults[] = {
    VANTREL_SETTINGS(VANTREL_SETTING_PATH_ROW, VANTREL_SETTING_VALUE_ROW)};
#undef VANTREL_SETTING_PATH_ROW
#undef VANTREL_SETTING_VALUE_ROW

}  // namespace vantrel
