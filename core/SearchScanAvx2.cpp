// Built with -mavx2; called only where the processor has it.
#include <immintrin.h>

#include "BlockWalk.h"

namespace tarvo {
namespace {

struct Avx2Masks {
  __m256i a, b;
  static uint64_t Bits(__m256i m) { return static_cast<uint32_t>(_mm256_movemask_epi8(m)); }
  static __m256i Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  uint64_t Half(const uint8_t* p) const {
    return Bits(_mm256_and_si256(_mm256_cmpeq_epi8(Load(p), a), _mm256_cmpeq_epi8(Load(p + 1), b)));
  }
  uint64_t Deep(const uint8_t* p) const { return Half(p) | (Half(p + 32) << 32); }
  uint64_t First(const uint8_t* p) const {
    return Bits(_mm256_cmpeq_epi8(Load(p), a)) | (Bits(_mm256_cmpeq_epi8(Load(p + 32), a)) << 32);
  }
};

}  // namespace

uint64_t WalkBlocksAvx2(ScanState& s, uint64_t start, uint64_t end) {
  const Avx2Masks masks{_mm256_set1_epi8(static_cast<char>(s.probe[0])),
                        _mm256_set1_epi8(static_cast<char>(s.probe[1]))};
  return WalkBlocks(s, start, end, masks);
}

}  // namespace tarvo
