// Numbers of Qorvex's own texts that are not command prompts.
#pragma once

namespace qorvex::ids {

inline constexpr unsigned kFrameTitle = 128;               // "Mendivar"
inline constexpr unsigned kProgramName = 57344;            // "Qorvex"
inline constexpr unsigned kReadyForHelp = 57345;           // "For Help, press F1"
inline constexpr unsigned kSelectForHelp = 57346;          // "Select an object on which to get Help"
inline constexpr unsigned kSortAscending = 61216;
inline constexpr unsigned kSortDescending = 61217;
inline constexpr unsigned kExitIdle = 61218;
inline constexpr unsigned kExitBusy = 61219;
inline constexpr unsigned kExitWhileProcessing = 61220;
inline constexpr unsigned kModeConstructing = 61221;
inline constexpr unsigned kModeReconstructing = 61222;
inline constexpr unsigned kLoading = 61223;
inline constexpr unsigned kInitializingSession = 61224;
inline constexpr unsigned kCancelSessions = 61225;
inline constexpr unsigned kExiting = 61226;
inline constexpr unsigned kInvalidDeltaHelp = 61227;       // help topic only
inline constexpr unsigned kSelectModified = 61228;
inline constexpr unsigned kSelectDifference = 61229;
inline constexpr unsigned kOverwriteOutput = 61231;        // takes the file name for %s

}  // namespace qorvex::ids
