// What a difference file's header records about the two files it was built
// from, read straight from its first bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace mvrview {

struct RecordedFiles {
  uint32_t originalSize = 0;
  uint32_t modifiedSize = 0;
  std::string originalName;
  std::string modifiedName;
};

// The viewer reads this much: the header and two names of the longest
// length a header may record.
inline constexpr std::size_t kViewerReadSize = 576;

// False, leaving *files alone, unless the block starts with a difference
// file header whose two names lie within the block. The header reader
// library accepts exactly the same blocks; the viewer keeps its own copy of
// these few rules so that it runs without any of the system's libraries.
bool ParseRecordedFiles(const unsigned char* data, std::size_t size, RecordedFiles* files);

}  // namespace mvrview
