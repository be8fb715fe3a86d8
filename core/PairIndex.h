// Which two-byte values occur in which stretch of the original.
//
// The matcher sometimes searches the whole original for one probe. Only
// positions whose first two bytes equal the probe's can start a match of two
// bytes or more, so stretches without that pair need no look at their bytes:
// the scan passes them with length-0 and length-1 steps, whose effect on
// where it goes on is fixed by the run of first-byte matches at the
// stretch's end. One bit per (pair value, stretch), kept under 24 MiB by
// making the stretches longer for larger originals.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo {

class PairIndex {
 public:
  // minShift: log2 of the shortest stretch (small only in tests).
  PairIndex(const uint8_t* original, uint32_t size, unsigned minShift = 16);

  unsigned StretchShift() const { return shift_; }
  uint64_t Stretches() const { return stretches_; }
  // Bit s set when some position of stretch s starts the pair (a, b).
  const uint64_t* Row(uint8_t a, uint8_t b) const { return &bits_[RowIndex(a, b) * words_]; }
  uint64_t RowWords() const { return words_; }

 private:
  static uint64_t RowIndex(uint8_t a, uint8_t b) { return (uint64_t{a} << 8) | b; }

  unsigned shift_ = 16;
  uint64_t stretches_ = 0;
  uint64_t words_ = 0;
  std::vector<uint64_t> bits_;
};

}  // namespace tarvo
