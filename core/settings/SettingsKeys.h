// Names and defaults of the keys in the settings file.
#pragma once

#include <string_view>

namespace vantrel::keys {

inline constexpr std::string_view LastDir = "LastDir";
inline constexpr std::string_view LogFile = "LogFile";
inline constexpr std::string_view SaveFilename = "SaveFilename";
inline constexpr std::string_view ShowMissionScore = "ShowMissionScore";
inline constexpr std::string_view ShowMissionBonus = "ShowMissionBonus";
inline constexpr std::string_view ShowMissionTotal = "ShowMissionTotal";
inline constexpr std::string_view ShowMissionTime = "ShowMissionTime";
inline constexpr std::string_view CheckCheat = "CheckCheat";
inline constexpr std::string_view ShowErrorDetailes = "ShowErrorDetailes";
inline constexpr std::string_view ShowZeroMissions = "ShowZeroMissions";
inline constexpr std::string_view IncludeDate = "IncludeDate";
inline constexpr std::string_view MegaDetails = "MegaDetails";
inline constexpr std::string_view NameSource = "NameSource";
inline constexpr std::string_view ScoreFormat = "ScoreFormat";
inline constexpr std::string_view WatchPilotFolders = "WatchPilotFolders";

}  // namespace vantrel::keys

namespace vantrel::defaults {

inline constexpr std::string_view SaveFilename = "1";
inline constexpr std::string_view ShowMissionScore = "1";
inline constexpr std::string_view ShowMissionBonus = "1";
inline constexpr std::string_view ShowMissionTotal = "1";
inline constexpr std::string_view ShowMissionTime = "0";
inline constexpr std::string_view CheckCheat = "1";
inline constexpr std::string_view ShowErrorDetailes = "0";
inline constexpr std::string_view ShowZeroMissions = "0";
inline constexpr std::string_view IncludeDate = "0";
inline constexpr std::string_view MegaDetails = "0";
inline constexpr std::string_view NameSource = "2";
inline constexpr std::string_view ScoreFormat = "1";
inline constexpr std::string_view WatchPilotFolders = "0";

}  // namespace vantrel::defaults
