// Command numbers of Qorvex's menu, toolbar, accelerators and context menus.
// A command's prompt is the text of the same number (QorvexStrings.h), and
// the help topic of a command is 0x10000 plus its number.
#pragma once

namespace qorvex::cmd {

inline constexpr unsigned kTreeOpen = 101;
inline constexpr unsigned kProperties = 103;
inline constexpr unsigned kRefresh = 32775;
inline constexpr unsigned kSortByName = 32778;
inline constexpr unsigned kSortBySize = 32779;
inline constexpr unsigned kSortByType = 32780;
inline constexpr unsigned kSortByDate = 32781;
inline constexpr unsigned kMarkedInFront = 32782;
inline constexpr unsigned kSelect = 32783;
inline constexpr unsigned kSelectOriginal = 32784;
inline constexpr unsigned kSortOrder = 32785;
inline constexpr unsigned kClearSelection = 32787;
inline constexpr unsigned kClearOriginal = 32788;
inline constexpr unsigned kReverseSelection = 32791;
inline constexpr unsigned kStartProcessing = 32792;
inline constexpr unsigned kScreenStatus = 32793;
inline constexpr unsigned kClearAll = 32794;
inline constexpr unsigned kScreenMain = 32796;
inline constexpr unsigned kAddFiles = 32797;
inline constexpr unsigned kConstruct = 32802;
inline constexpr unsigned kReconstruct = 32803;
inline constexpr unsigned kSingleFile = 32804;
inline constexpr unsigned kMultipleFiles = 32805;
inline constexpr unsigned kCancelProcessing = 32806;
inline constexpr unsigned kReconstructNow = 32808;
inline constexpr unsigned kStandardConstruction = 32809;
inline constexpr unsigned kFastConstruction = 32810;
inline constexpr unsigned kThoroughConstruction = 32811;
inline constexpr unsigned kToggleToolbar = 59392;
inline constexpr unsigned kToggleStatusBar = 59393;
inline constexpr unsigned kAbout = 57664;
inline constexpr unsigned kExit = 57665;
inline constexpr unsigned kHelpTopics = 57666;
inline constexpr unsigned kHelpOnHelp = 57668;
inline constexpr unsigned kContextHelp = 57669;
inline constexpr unsigned kHelp = 57670;
inline constexpr unsigned kDefaultHelp = 57671;

}  // namespace qorvex::cmd
