// Which characters separate folders and whether a path may start with a drive.
// The split and join rules are written once and run in either style, so the
// drive-letter rules stay testable on a system that has no drives.
#pragma once

namespace tfl {

enum class PathStyle { Windows, Posix };

inline constexpr PathStyle kNativeStyle = PathStyle::Posix;

// Windows accepts both slashes on input; POSIX names may contain backslashes.
constexpr bool IsSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::Windows && c == '\\');
}

constexpr char InsertedSeparator(PathStyle style) {
  return style == PathStyle::Windows ? '\\' : '/';
}

}  // namespace tfl
