// Where in the original a probe's long matches can start.
//
// Every sampleStep-th position of the original is filed under a hash of the
// eight bytes that start there. A match of at least sampleStep + 7 bytes
// starting at j covers exactly one filed position j + d with
// 0 <= d < sampleStep, and the eight bytes there are the probe's eight bytes
// at d. So looking up the probe's eight-byte sequences at d = 0 ..
// sampleStep - 1 and subtracting d names every such j, each exactly once.
// Hash collisions and shorter matches add positions too; their bytes decide.
// An index built with tags also keeps eight more bits of each filed
// position's hash, so that a lookup can pass over most of a bucket's
// strangers without a cache miss into the original for each.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace tarvo {

class CandidateIndex {
 public:
  static constexpr uint32_t kGram = 8;

  // Null when the memory for the index cannot be had. sampleStep >= 1.
  static std::unique_ptr<CandidateIndex> Build(const uint8_t* original, uint32_t size, uint32_t sampleStep,
                                               bool tagged = false);

  uint32_t SampleStep() const { return step_; }
  // The filed positions, in increasing order, whose eight bytes hash like
  // the eight at `gram`.
  std::span<const uint32_t> Bucket(const uint8_t* gram) const {
    const uint64_t h = Hash(gram);
    return {positions_.data() + heads_[h], positions_.data() + heads_[h + 1]};
  }
  void Prefetch(const uint8_t* gram) const { __builtin_prefetch(&heads_[Hash(gram)]); }

  // Tagged indexes only: the tag of the eight bytes at `gram`, and the tags
  // of a bucket's positions, one per position. A position whose tag differs
  // from the gram's does not start those eight bytes.
  uint8_t Tag(const uint8_t* gram) const { return TagOf(Product(gram)); }
  const uint8_t* Tags(std::span<const uint32_t> bucket) const {
    return tags_.data() + (bucket.data() - positions_.data());
  }
  // Fetches the tags of the bucket of `gram` (its head should be fetched by
  // now, with Prefetch).
  void PrefetchTags(const uint8_t* gram) const { __builtin_prefetch(tags_.data() + heads_[Hash(gram)]); }
  uint64_t MemoryBytes() const { return (heads_.size() + positions_.size()) * sizeof(uint32_t) + tags_.size(); }

 private:
  CandidateIndex() = default;
  static uint64_t Product(const uint8_t* gram) {
    uint64_t x;
    std::memcpy(&x, gram, sizeof x);
    return x * 0x9E3779B97F4A7C15u;
  }
  uint64_t Hash(const uint8_t* gram) const { return Product(gram) >> (64 - bits_); }
  // The bits just below those of the bucket.
  uint8_t TagOf(uint64_t product) const { return static_cast<uint8_t>(product >> (56 - bits_)); }

  uint32_t step_ = 1;
  unsigned bits_ = 0;
  std::vector<uint32_t> heads_;      // bucket h holds positions_[heads_[h] .. heads_[h + 1])
  std::vector<uint32_t> positions_;
  std::vector<uint8_t> tags_;  // beside positions_, when tagged
};

}  // namespace tarvo
