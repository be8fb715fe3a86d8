// The exported path functions: native style, and no exception ever leaves the
// library, so a failed allocation becomes the function's ordinary failure value.
#include "TarvoFileLib.h"

#include <climits>
#include <new>
#include <string_view>

#include "ExecDirCache.h"
#include "FileSize.h"
#include "FullPath.h"
#include "NameMatch.h"
#include "PathCompose.h"
#include "PathLimits.h"
#include "SystemPaths.h"

namespace {

// Callers pass C strings that may be null; treat those as empty paths.
std::string_view View(const char* text) {
  return text == nullptr ? std::string_view() : std::string_view(text);
}

tfl::ExecDirCache& ProgramFolderCache() {
  static tfl::ExecDirCache cache(tfl::ReadProgramPath, tfl::kNativeStyle);
  return cache;
}

}  // namespace

std::string TFLGetFileDir(const char* path) {
  try {
    return tfl::GetFileDir(View(path), tfl::kNativeStyle);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string TFLGetFileName(const char* path) {
  try {
    return tfl::GetFileName(View(path), tfl::kNativeStyle);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string TFLGetFileExtension(const char* path) {
  try {
    return tfl::GetFileExtension(View(path), tfl::kNativeStyle);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string TFLGetFullFileName(const char* path) {
  try {
    std::string_view text = View(path);
    std::string current;
    if ((text.empty() || text.front() != '/') && !tfl::ReadCurrentFolder(&current, PATH_MAX)) {
      return {};
    }
    return tfl::FoldFullPath(text, current);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string TFLGetNewPath(const char* path, const char* dir) {
  try {
    std::string current;
    if (dir == nullptr) {
      if (!tfl::ReadCurrentFolder(&current, tfl::kMaxPath)) return {};
      dir = current.c_str();
    }
    return tfl::GetNewPath(View(path), dir, tfl::kNativeStyle);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

uint32_t TFLGetFileSize(const char* path) {
  return tfl::GetFileSize(path);
}

int TFLCheckFileStdExtension(const char* path, const char* const* extensions) {
  try {
    return tfl::CheckFileStdExtension(View(path), extensions, tfl::kNativeStyle);
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

int TFLFindNameInArray(const std::vector<std::string>& names, const char* name) {
  return tfl::FindNameInArray(names, View(name));
}

std::string TFLGetExecDir() {
  try {
    return ProgramFolderCache().Get();
  } catch (const std::bad_alloc&) {
    return {};
  }
}

std::string TFLExecDirFile(const char* path) {
  try {
    std::string folder = TFLGetExecDir();
    return TFLGetNewPath(path, folder.c_str());
  } catch (const std::bad_alloc&) {
    return {};
  }
}
