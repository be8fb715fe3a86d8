// The parts of a path callers ask for, and a file name moved into a folder.
#pragma once

#include <string>
#include <string_view>

#include "PathStyle.h"

namespace tfl {

// Drive and folder without the trailing separator, except at a root (C:\, \, /).
std::string GetFileDir(std::string_view path, PathStyle style);

// Name and extension, without drive and folder.
std::string GetFileName(std::string_view path, PathStyle style);

// Extension with its dot, or empty.
std::string GetFileExtension(std::string_view path, PathStyle style);

// The file name of `path` placed in `folder`; an empty folder leaves the bare name.
std::string GetNewPath(std::string_view path, std::string_view folder, PathStyle style);

}  // namespace tfl
