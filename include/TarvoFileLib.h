// Splitting, joining and measuring paths, the same way in every part of the
// system. Failures come back as empty strings, 0xFFFFFFFF or -1, never as
// exceptions. The exported functions use the platform's native path style.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#if defined(TARVOFILELIB_BUILD)
#define TARVOFILELIB_API __attribute__((visibility("default")))
#else
#define TARVOFILELIB_API
#endif

inline constexpr uint32_t kTflUnknownSize = 0xFFFFFFFFu;

TARVOFILELIB_API std::string TFLGetFileDir(const char* path);
TARVOFILELIB_API std::string TFLGetFileName(const char* path);
TARVOFILELIB_API std::string TFLGetFileExtension(const char* path);
TARVOFILELIB_API std::string TFLGetFullFileName(const char* path);
TARVOFILELIB_API std::string TFLGetNewPath(const char* path, const char* dir);
TARVOFILELIB_API uint32_t TFLGetFileSize(const char* path);
TARVOFILELIB_API int TFLCheckFileStdExtension(const char* path, const char* const* extensions);
TARVOFILELIB_API int TFLFindNameInArray(const std::vector<std::string>& names, const char* name);
TARVOFILELIB_API std::string TFLGetExecDir();
TARVOFILELIB_API std::string TFLExecDirFile(const char* path);
