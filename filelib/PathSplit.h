// Taking a path apart into drive, folder, name and extension. Every other
// path function is built on this one rule.
#pragma once

#include <string>
#include <string_view>

#include "PathStyle.h"

namespace tfl {

struct PathParts {
  std::string drive;      // "C:" or empty
  std::string folder;     // up to and including the last separator
  std::string name;       // up to the last dot of the final component
  std::string extension;  // from that dot, dot included
};

// Components longer than their buffer (PathLimits.h) are cut to what fits.
PathParts SplitPath(std::string_view path, PathStyle style);

}  // namespace tfl
