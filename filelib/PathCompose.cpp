#include "PathCompose.h"

#include "PathSplit.h"

namespace tfl {

std::string GetFileDir(std::string_view path, PathStyle style) {
  PathParts parts = SplitPath(path, style);
  std::string dir = parts.drive + parts.folder;
  if (dir.size() < 2 || !IsSeparator(dir.back(), style)) return dir;

  // A separator right after a drive or another separator belongs to a root
  // (C:\, \\server) and must stay, or the result would name another folder.
  char before = dir[dir.size() - 2];
  bool atRoot = IsSeparator(before, style) || (style == PathStyle::Windows && before == ':');
  if (!atRoot) dir.pop_back();
  return dir;
}

std::string GetFileName(std::string_view path, PathStyle style) {
  PathParts parts = SplitPath(path, style);
  return parts.name + parts.extension;
}

std::string GetFileExtension(std::string_view path, PathStyle style) {
  return SplitPath(path, style).extension;
}

std::string GetNewPath(std::string_view path, std::string_view folder, PathStyle style) {
  std::string name = GetFileName(path, style);
  std::string result(folder);
  // Callers rely on a folder-only path (C:\a\) still producing "folder\".
  bool needsSeparator = !folder.empty() && !IsSeparator(folder.back(), style) &&
                        (name.empty() || !IsSeparator(name.front(), style));
  if (needsSeparator) result += InsertedSeparator(style);
  result += name;
  return result;
}

}  // namespace tfl
