#include "GramFilter.h"

namespace tarvo {

GramFilter::GramFilter(const uint8_t* original, uint32_t size, uint32_t gramLength)
    : middle_((gramLength - 8) / 2), last_(gramLength - 8) {
  // Four bits a string: about one yes in ten for a string the
  // original does not hold.
  words_ = (4 * uint64_t{size}) / 64 + 1;
  bits_.assign(words_, 0);
  if (size < gramLength) return;
  // The bits land all over the table: each word is fetched a while before
  // it is set, so that the fetches overlap.
  const uint32_t count = size - gramLength + 1;
  constexpr uint32_t kAhead = 16;
  uint64_t pending[kAhead];
  for (uint32_t i = 0; i < count + kAhead; ++i) {
    if (i >= kAhead) {
      const uint64_t h = pending[i % kAhead];
      bits_[Word(h)] |= Mask(h);
    }
    if (i < count) {
      const uint64_t h = Hash(original + i);
      __builtin_prefetch(&bits_[Word(h)], 1);
      pending[i % kAhead] = h;
    }
  }
}

}  // namespace tarvo
