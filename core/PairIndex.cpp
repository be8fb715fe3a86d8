#include "PairIndex.h"

#include <algorithm>

namespace tarvo {

PairIndex::PairIndex(const uint8_t* original, uint32_t size, unsigned minShift) : shift_(minShift) {
  constexpr uint64_t kBudget = 24u << 20;
  const uint64_t pairs = size > 1 ? size - 1 : 0;
  for (;;) {
    stretches_ = (pairs + (uint64_t{1} << shift_) - 1) >> shift_;
    words_ = (stretches_ + 63) / 64;
    if (65536 * words_ * 8 <= kBudget) break;
    ++shift_;
  }
  bits_.assign(65536 * words_, 0);

  // Collect each stretch's pairs in a small local set first, so that the
  // scattered writes into the rows happen once per distinct pair.
  std::vector<uint64_t> local(65536 / 64);
  for (uint64_t s = 0; s < stretches_; ++s) {
    std::fill(local.begin(), local.end(), 0);
    const uint64_t from = s << shift_, to = std::min(pairs, (s + 1) << shift_);
    for (uint64_t i = from; i < to; ++i) {
      const unsigned v = (unsigned{original[i]} << 8) | original[i + 1];
      local[v >> 6] |= uint64_t{1} << (v & 63);
    }
    for (uint64_t w = 0; w < local.size(); ++w) {
      for (uint64_t m = local[w]; m != 0; m &= m - 1) {
        const uint64_t v = w * 64 + static_cast<unsigned>(__builtin_ctzll(m));
        bits_[v * words_ + s / 64] |= uint64_t{1} << (s % 64);
      }
    }
  }
}

}  // namespace tarvo
