#include "SuffixIndex.h"

#include <divsufsort.h>
#include <divsufsort64.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace tarvo {

SuffixIndex::SuffixIndex(const uint8_t* original, uint32_t size) : text_(original), size_(size) {
  if (size < 2) return;
  if (size < 0x80000000u) {
    narrow_.reset(new int32_t[size]);
    if (divsufsort(original, narrow_.get(), static_cast<saidx_t>(size)) != 0) throw std::bad_alloc();
  } else {
    wide_.reset(new int64_t[size]);
    if (divsufsort64(original, wide_.get(), static_cast<saidx64_t>(size)) != 0) throw std::bad_alloc();
  }
  // Suffixes are sorted, so those with a given first two bytes form one run;
  // the single one-byte suffix sorts before every two-byte run of its byte
  // and is never counted in a run.
  bucketStart_.assign(65537, 0);
  for (uint32_t i = 0; i + 1 < size; ++i) ++bucketStart_[(uint32_t{original[i]} << 8 | original[i + 1]) + 1];
  const uint32_t lone = uint32_t{original[size - 1]} << 8;  // the one-byte suffix ranks just before this run
  uint32_t rank = 0;
  for (uint32_t b = 0; b < 65536; ++b) {
    if (b == lone) ++rank;
    const uint32_t count = bucketStart_[b + 1];
    bucketStart_[b] = rank;
    rank += count;
  }
  bucketStart_[65536] = rank;
}

uint32_t SuffixIndex::CommonFrom(uint32_t offset, const uint8_t* pattern, uint32_t length, uint32_t from) const {
  const uint32_t limit = std::min<uint32_t>(length, size_ - offset);
  const uint8_t* a = text_ + offset;
  uint32_t k = from;
  while (k + 8 <= limit) {
    uint64_t x, y;
    std::memcpy(&x, a + k, 8);
    std::memcpy(&y, pattern + k, 8);
    if (x != y) return k + static_cast<uint32_t>(__builtin_ctzll(x ^ y) >> 3);
    k += 8;
  }
  while (k < limit && a[k] == pattern[k]) ++k;
  return k;
}

uint32_t SuffixIndex::Agreement(uint32_t offset, const uint8_t* pattern, uint32_t length) const {
  if (offset >= size_) return 0;
  return CommonFrom(offset, pattern, length, 0);
}

FoundMatch SuffixIndex::Longest(const uint8_t* pattern, uint32_t length) const {
  // The search compares no further than kSearchReach bytes: past that, where
  // the matches sit is settled, and the one found is extended to its end.
  FoundMatch m = Search(pattern, std::min(length, kSearchReach));
  if (m.length == kSearchReach) m.length = CommonFrom(m.offset, pattern, length, kSearchReach);
  return m;
}

FoundMatch SuffixIndex::Search(const uint8_t* pattern, uint32_t length) const {
  if (length < 2 || size_ < 2) return {0, 0};
  const uint32_t b = uint32_t{pattern[0]} << 8 | pattern[1];
  size_t l = bucketStart_[b], r = bucketStart_[b + 1];
  if (l == r) return {0, 0};
  --r;
  // Every suffix ranked between l and r shares at least min(ll, rl) bytes
  // with the pattern, so each probe compares only past that.
  uint32_t ll = CommonFrom(At(l), pattern, length, 2);
  if (ll == length) return {At(l), ll};
  uint32_t rl = l == r ? 0 : CommonFrom(At(r), pattern, length, 2);
  if (rl == length) return {At(r), rl};
  while (r - l > 1) {
    const size_t m = l + (r - l) / 2;
    const uint32_t at = At(m);
    const uint32_t c = CommonFrom(at, pattern, length, std::min(ll, rl));
    if (c == length) return {at, c};
    if (at + c == size_ || text_[at + c] < pattern[c]) {
      l = m;
      ll = c;
    } else {
      r = m;
      rl = c;
    }
  }
  return ll >= rl ? FoundMatch{At(l), ll} : FoundMatch{At(r), rl};
}

}  // namespace tarvo
