// Built with -mavx2; called only where the processor has it.
#include <immintrin.h>

#include "BlockWalk.h"

namespace tarvo {
namespace {

struct Avx2Masks {
  __m256i c[kDeep];
  static __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  uint64_t Half(const uint8_t* p) const {
    __m256i m = _mm256_cmpeq_epi8(Load(p), c[0]);
    for (unsigned i = 1; i < kDeep; ++i) m = _mm256_and_si256(m, _mm256_cmpeq_epi8(Load(p + i), c[i]));
    return static_cast<uint32_t>(_mm256_movemask_epi8(m));
  }
  uint64_t Deep(const uint8_t* p) const { return Half(p) | (Half(p + 32) << 32); }
};

}  // namespace

uint64_t WalkBlocksAvx2(ScanState& s, uint64_t start, uint64_t end) {
  Avx2Masks masks;
  for (unsigned i = 0; i < kDeep; ++i) masks.c[i] = _mm256_set1_epi8(static_cast<char>(s.probe[i]));
  return WalkBlocks(s, start, end, masks);
}

}  // namespace tarvo
