#pragma once

#include <cstdint>

namespace tfl {

inline constexpr uint32_t kUnknownSize = 0xFFFFFFFFu;

// Low 32 bits of the size of the file at `path`; kUnknownSize when it cannot
// be opened for reading or is a folder. A file of exactly 4294967295 bytes is
// indistinguishable from failure, and callers accept that.
uint32_t GetFileSize(const char* path);

}  // namespace tfl
