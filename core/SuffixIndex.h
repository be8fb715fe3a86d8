// The original's suffix array, for finding the longest match of any string
// anywhere in the original. A table over the first two bytes narrows every
// search to the suffixes that can share more than one byte with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarvo {

struct FoundMatch {
  uint32_t offset;
  uint32_t length;
};

class SuffixIndex {
 public:
  SuffixIndex(const uint8_t* original, uint32_t size);

  // The longest prefix of pattern[0, length) found in the original, and where.
  // Matches shorter than two bytes are not looked for: they come back as length 0.
  FoundMatch Longest(const uint8_t* pattern, uint32_t length) const;

  // How far pattern and the original from offset agree, up to length bytes.
  uint32_t Agreement(uint32_t offset, const uint8_t* pattern, uint32_t length) const;

  const uint8_t* Text() const { return text_; }

 private:
  uint32_t At(size_t rank) const {
    return narrow_ ? static_cast<uint32_t>(narrow_[rank]) : static_cast<uint32_t>(wide_[rank]);
  }
  static constexpr uint32_t kSearchReach = 256;
  FoundMatch Search(const uint8_t* pattern, uint32_t length) const;
  // Common prefix length of pattern and the suffix at offset, known to agree for `from` bytes.
  uint32_t CommonFrom(uint32_t offset, const uint8_t* pattern, uint32_t length, uint32_t from) const;

  const uint8_t* text_;
  uint32_t size_;
  // Originals below 2 GiB sort into 32-bit ranks, larger ones need 64.
  // Left uninitialised: the sort writes every entry.
  std::unique_ptr<int32_t[]> narrow_;
  std::unique_ptr<int64_t[]> wide_;
  std::vector<uint32_t> bucketStart_;  // 65537 entries: ranks of each two-byte prefix
};

}  // namespace tarvo
