// The absolute form of a POSIX path, worked out on the text alone.
#pragma once

#include <string>
#include <string_view>

namespace tfl {

// Resolves a relative `path` against `currentFolder` and folds "." and ".."
// components and repeated slashes. Symbolic links are deliberately left alone:
// the result names the path the user gave, not where it happens to point.
// ".." at the root stays at the root. A trailing slash is kept. Empty when the
// result would not fit kMaxPath bytes with its terminator.
std::string FoldFullPath(std::string_view path, std::string_view currentFolder);

}  // namespace tfl
