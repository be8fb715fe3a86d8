// Which strings of a fixed length the original may hold, as one bit per hash.
// A string it says no to occurs nowhere in the original; a yes is only
// likely. Telling new bytes from old this way costs one memory access, where
// a suffix-array search costs a dozen.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace tarvo {

class GramFilter {
 public:
  // gramLength is between 8 and 24.
  GramFilter(const uint8_t* original, uint32_t size, uint32_t gramLength);

  // Whether original may hold gram[0, gramLength).
  bool MayOccur(const uint8_t* gram) const {
    const uint64_t h = Hash(gram);
    const uint64_t mask = Mask(h);
    return (bits_[Word(h)] & mask) == mask;
  }

 private:
  uint64_t Hash(const uint8_t* p) const {
    uint64_t a, b, c;
    std::memcpy(&a, p, 8);
    std::memcpy(&b, p + middle_, 8);
    std::memcpy(&c, p + last_, 8);
    const uint64_t x = a * 0x9E3779B97F4A7C15ull ^ ((b * 0xC2B2AE3D27D4EB4Full) >> 29 | (b * 0xC2B2AE3D27D4EB4Full) << 35) ^
                       c * 0x165667B19E3779F9ull;
    return x * 0xD6E8FEB86659FD93ull;
  }
  // The top half of the hash picks a word, two bits of the bottom half set
  // two bits in it: one memory access, and far fewer false yeses than one bit.
  size_t Word(uint64_t h) const { return static_cast<size_t>(((h >> 32) * words_) >> 32); }
  static uint64_t Mask(uint64_t h) { return uint64_t{1} << ((h >> 20) & 63) | uint64_t{1} << ((h >> 26) & 63); }

  uint32_t middle_, last_;
  uint64_t words_;
  std::vector<uint64_t> bits_;
};

}  // namespace tarvo
