// Names and defaults of the keys in the settings file, as constants, from the
// one list of settings in SettingsTable.h: keys::X is the key X, defaults::X
// the default of a flag or a choice.
#pragma once

#include <string_view>

#include "core/settings/SettingsTable.h"

namespace vantrel::keys {

#define VANTREL_SETTING_KEY_PATH(key, inUsersFolders, control, tab) inline constexpr std::string_view key = #key;
#define VANTREL_SETTING_KEY_VALUE(key, form, fixed, control, tab) inline constexpr std::string_view key = #key;
VANTREL_SETTINGS(VANTREL_SETTING_KEY_PATH, VANTREL_SETTING_KEY_VALUE)
#undef VANTREL_SETTING_KEY_PATH
#undef VANTREL_SETTING_KEY_VALUE

}  // namespace vantrel::keys

namespace vantrel::defaults {

#define VANTREL_SETTING_NO_DEFAULT(key, inUsersFolders, control, tab)
#define VANTREL_SETTING_DEFAULT(key, form, fixed, control, tab) inline constexpr std::string_view key = fixed;
VANTREL_SETTINGS(VANTREL_SETTING_NO_DEFAULT, VANTREL_SETTING_DEFAULT)
#undef VANTREL_SETTING_NO_DEFAULT
#undef VANTREL_SETTING_DEFAULT

}  // namespace vantrel::defaults
