#include "GramFilter.h"

namespace tarvo {

GramFilter::GramFilter(const uint8_t* original, uint32_t size, uint32_t gramLength)
    : middle_((gramLength - 8) / 2), last_(gramLength - 8) {
  // At least two bits a string, so that under two in five are set.
  unsigned bitsLog = 12;
  while (bitsLog < 40 && (uint64_t{1} << bitsLog) < 2 * uint64_t{size}) ++bitsLog;
  shift_ = 64 - bitsLog;
  bits_.assign(size_t{1} << (bitsLog - 6), 0);
  if (size < gramLength) return;
  for (uint32_t i = 0; i <= size - gramLength; ++i) {
    const uint64_t h = Hash(original + i);
    bits_[h >> 6] |= uint64_t{1} << (h & 63);
  }
}

}  // namespace tarvo
