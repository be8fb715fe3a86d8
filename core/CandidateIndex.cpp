#include "CandidateIndex.h"

#include <cstring>
#include <new>

namespace tarvo {
namespace {

// Buckets hold two to four positions on average: few enough that a lookup
// seldom checks a stranger's bytes, and the table stays below three bytes
// per filed position.
constexpr uint64_t kPositionsPerBucket = 2;
constexpr unsigned kMinBucketBits = 10;

}  // namespace

std::unique_ptr<CandidateIndex> CandidateIndex::Build(const uint8_t* original, uint32_t size,
                                                      uint32_t sampleStep, bool tagged) {
  std::unique_ptr<CandidateIndex> index(new (std::nothrow) CandidateIndex);
  if (!index) return nullptr;
  index->step_ = sampleStep;
  const uint64_t filed = size < kGram ? 0 : (uint64_t{size} - kGram) / sampleStep + 1;
  unsigned bits = kMinBucketBits;
  while ((uint64_t{2} << bits) * kPositionsPerBucket <= filed) ++bits;
  index->bits_ = bits;
  try {
    index->heads_.assign((uint64_t{1} << bits) + 1, 0);
    index->positions_.resize(filed);
    if (tagged) index->tags_.resize(filed);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }

  // Counting sort by hash. Filling each bucket from its end while walking
  // the original backwards leaves every bucket in increasing order.
  auto& heads = index->heads_;
  for (uint64_t k = 0; k < filed; ++k) ++heads[index->Hash(original + k * sampleStep)];
  uint32_t sum = 0;
  for (auto& h : heads) {
    sum += h;
    h = sum;
  }
  for (uint64_t k = filed; k-- > 0;) {
    const uint64_t p = k * sampleStep;
    const uint64_t product = Product(original + p);
    const uint32_t at = --heads[product >> (64 - bits)];
    index->positions_[at] = static_cast<uint32_t>(p);
    if (tagged) index->tags_[at] = index->TagOf(product);
  }
  return index;
}

}  // namespace tarvo
