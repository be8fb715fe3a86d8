#include "PathSplit.h"

#include "PathLimits.h"

namespace tfl {
namespace {

std::string Bounded(std::string_view part, std::size_t bufferSize) {
  return std::string(part.substr(0, bufferSize - 1));
}

}  // namespace

PathParts SplitPath(std::string_view path, PathStyle style) {
  PathParts parts;
  if (style == PathStyle::Windows && path.size() >= 2 && path[1] == ':') {
    parts.drive = Bounded(path.substr(0, 2), kMaxDrive);
    path.remove_prefix(2);
  }

  std::size_t nameStart = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(path[i], style)) nameStart = i + 1;
  }
  parts.folder = Bounded(path.substr(0, nameStart), kMaxFolder);

  // Only a dot in the final component starts an extension.
  std::string_view last = path.substr(nameStart);
  std::size_t dot = last.rfind('.');
  if (dot == std::string_view::npos) {
    parts.name = Bounded(last, kMaxName);
  } else {
    parts.name = Bounded(last.substr(0, dot), kMaxName);
    parts.extension = Bounded(last.substr(dot), kMaxExtension);
  }
  return parts;
}

}  // namespace tfl
