// Reads of the original for copy records. Most copies are short and land
// near one of the last few, so a handful of small windows saves most of the
// reads (one system call each) for a few hundred KiB: mapping the original
// instead would make it resident, and it may be far larger than the memory
// a reconstruction may take.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "PosixFile.h"

namespace tarvo {

class WindowCache {
 public:
  static constexpr size_t kWindow = 16 << 10, kWindows = 16;

  explicit WindowCache(const PosixFile& file) : file_(file), data_(kWindow * kWindows) {}

  // Exactly n bytes from offset; throws when the file cannot give them.
  void Read(uint8_t* dest, size_t n, uint64_t offset) {
    for (size_t i = 0; i < used_; ++i) {
      Window& w = windows_[i];
      if (offset >= w.start && offset - w.start <= w.size && n <= w.size - (offset - w.start)) {
        std::memcpy(dest, data_.data() + w.slot * kWindow + (offset - w.start), n);
        std::rotate(windows_, windows_ + i, windows_ + i + 1);  // most recent first
        return;
      }
    }
    if (n > kWindow) {  // a long copy goes straight to its place
      if (file_.ReadAt(dest, n, offset) != n) throw CFileException{0};
      return;
    }
    // Take the free or the least recent slot.
    if (used_ < kWindows) {
      windows_[used_] = {0, 0, used_};
      ++used_;
    }
    std::rotate(windows_, windows_ + used_ - 1, windows_ + used_);
    Window& w = windows_[0];
    w.start = offset;
    w.size = 0;  // not valid until the read succeeds
    const size_t got = file_.ReadAt(data_.data() + w.slot * kWindow, kWindow, offset);
    if (got < n) throw CFileException{0};
    w.size = got;
    std::memcpy(dest, data_.data() + w.slot * kWindow, n);
  }

 private:
  struct Window {
    uint64_t start;
    size_t size;
    size_t slot;
  };
  const PosixFile& file_;
  std::vector<uint8_t> data_;
  Window windows_[kWindows] = {};
  size_t used_ = 0;
};

}  // namespace tarvo
