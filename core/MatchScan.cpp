#include "MatchScan.h"

#include <algorithm>
#include <cstring>

#include "ScanState.h"

namespace tarvo {
namespace {

// Candidates are compared this far each way before one is chosen; only the
// chosen one is followed to its ends.
constexpr uint32_t kReach = 256;
// Bucket positions tried at one place, those nearest the current track
// first. Only strings that occur very often (runs, padding, tables) fill
// more; any of their places serves about as well as another.
constexpr uint32_t kTries = 32;
// Lookups run this many bytes behind the prefetch of their bucket's tags,
// which run as far behind the prefetch of its head.
constexpr uint32_t kAhead = 16;

// How many bytes before a and b agree, up to limit.
uint32_t Backward(const uint8_t* a, const uint8_t* b, uint32_t limit) {
  uint32_t k = 0;
  while (k + 8 <= limit) {
    uint64_t x, y;
    std::memcpy(&x, a - k - 8, 8);
    std::memcpy(&y, b - k - 8, 8);
    if (x != y) return k + static_cast<uint32_t>(__builtin_clzll(x ^ y) >> 3);
    k += 8;
  }
  while (k < limit && a[-1 - static_cast<int64_t>(k)] == b[-1 - static_cast<int64_t>(k)]) ++k;
  return k;
}

// When a scan tells the sink how far it got: about 128 times over a large
// file, and no more often than every 64 KiB over a small one.
class ScanCheckpoints {
 public:
  explicit ScanCheckpoints(uint32_t modifiedSize) : interval_(std::max<uint32_t>(modifiedSize >> 7, 65536)), next_(interval_) {}
  bool Due(uint32_t pos) {
    if (pos < next_) return false;
    next_ = (pos / interval_ + 1) * interval_;
    return true;
  }

 private:
  uint32_t interval_;
  uint32_t next_;
};

struct Choice {
  uint32_t start = 0, end = 0, at = 0;  // at: the original position aligned with the search point
  bool found = false;
};

}  // namespace

bool ScanMatches(const CandidateIndex& index, const uint8_t* original, uint32_t originalSize,
                 const uint8_t* modified, uint32_t modifiedSize, uint32_t minLength, MatcherSink& sink,
                 std::vector<MatchSpan>& spans) {
  constexpr uint32_t kGram = CandidateIndex::kGram;
  const uint32_t step = index.SampleStep();
  ScanCheckpoints checkpoints(modifiedSize);
  uint32_t pos = 0;
  // Backward extension stops at the previous span's start, so no byte is
  // walked over more than twice however repetitive the files are.
  uint32_t floor = 0;
  bool haveLast = false;
  uint32_t lastEnd = 0, lastOffsetEnd = 0;
  while (pos < modifiedSize) {
    if (checkpoints.Due(pos) && sink.Checkpoint(pos, modifiedSize)) return false;
    const uint32_t rest = modifiedSize - pos;
    // The bucket's head, then (once the head has arrived) its tags.
    if (rest >= kGram + 2 * kAhead) index.Prefetch(modified + pos + 2 * kAhead);
    if (rest >= kGram + kAhead) index.PrefetchTags(modified + pos + kAhead);
    Choice best;
    auto consider = [&](uint64_t at) {
      if (at >= originalSize) return;
      const auto a = static_cast<uint32_t>(at);
      const uint32_t fwd = CommonPrefix(original + a, modified + pos, std::min({rest, originalSize - a, kReach}));
      const uint32_t back = Backward(original + a, modified + pos, std::min({pos - floor, a, kReach}));
      // A span must reach past the search point, or the scan would stand still.
      if (fwd == 0 || fwd + back <= minLength) return;
      const uint32_t start = pos - back, end = pos + fwd;
      if (!best.found || end > best.end || (end == best.end && start < best.start)) best = {start, end, a, true};
    };
    // After a few changed bytes the old alignment often goes on.
    const uint64_t along = uint64_t{lastOffsetEnd} + (pos - lastEnd);
    if (haveLast) consider(along);
    // The bucket of the eight bytes at pos + d names places aligned with pos
    // at d before them. The first lookup finds whether pos can start a copy
    // at all; where it can, the other offsets find the longest one.
    auto lookUp = [&](uint32_t d) {
      const auto bucket = index.Bucket(modified + pos + d);
      // A position whose tag differs starts other eight bytes: reading the
      // original there would cost a cache miss to find what the tag says.
      const uint8_t tag = index.Tag(modified + pos + d);
      const uint8_t* const tags = index.Tags(bucket);
      if (bucket.size() <= kTries) {
        for (size_t i = 0; i < bucket.size(); ++i) {
          if (tags[i] == tag && bucket[i] >= d) consider(bucket[i] - d);
        }
        return;
      }
      // Outwards from where the track would be, so that ties keep the
      // offsets close together.
      const uint64_t expected = (haveLast ? along : pos) + d;
      const uint32_t* const first = bucket.data();
      const uint32_t* const last = first + bucket.size();
      const uint32_t* hi = std::lower_bound(first, last, expected, [](uint32_t v, uint64_t e) { return v < e; });
      const uint32_t* lo = hi;
      for (uint32_t tried = 0; tried < kTries && (lo != first || hi != last); ++tried) {
        const bool takeHigh = lo == first || (hi != last && *hi - expected <= expected - lo[-1]);
        const uint32_t* const at = takeHigh ? hi++ : --lo;
        if (tags[at - first] == tag && *at >= d) consider(*at - d);
      }
    };
    if (rest >= kGram) lookUp(0);
    if (best.found) {
      for (uint32_t d = 1; d < step && rest >= d + kGram; ++d) lookUp(d);
    }
    if (!best.found) {
      ++pos;
      continue;
    }
    uint32_t start = best.start, end = best.end;
    const uint32_t at = best.at;
    if (end - pos == kReach) {
      end += CommonPrefix(original + at + kReach, modified + end, std::min(modifiedSize - end, originalSize - at - kReach));
    }
    if (pos - start == kReach) {
      const uint32_t more = Backward(original + at - kReach, modified + start, std::min(start - floor, at - kReach));
      start -= more;
    }
    const uint32_t offset = at - (pos - start);
    spans.push_back({start, end, offset});
    floor = start;
    haveLast = true;
    lastEnd = end;
    lastOffsetEnd = offset + (end - start);
    pos = end;
  }
  return true;
}

}  // namespace tarvo
