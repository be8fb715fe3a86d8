// The greedy forward matcher.
//
// Worst-case cost. The records are the format, so the loop below makes the
// same decisions on every input and its cost is bounded only where those
// decisions allow it:
// - Each probe makes one search. A search over a range costs time linear in
//   the range's length on any bytes (the cost note of BlockWalk.h; the
//   indexed search is taken only where its estimated cost is below the
//   direct scan's, OriginalSearch.cpp).
// - A windowed search covers at most 2 * lookBack + interval bytes (40 KiB
//   with the 64 KiB granularity), so probes that search their window cost a
//   constant each, and there are at most one per probeStep bytes of the
//   modified file: linear in all.
// - A whole-original search costs time linear in the original. One is made
//   on every other probe while `pending` exceeds wholeSearchAfter, and
//   `pending` keeps its value after a literal run ends, until the next one
//   starts. Within a literal run the probes spread out (one per interval
//   bytes once pending exceeds it), so long literals make about one whole
//   search per 16 KiB; but a long literal followed by copies found at every
//   probe makes one on every other probe. Either way the number of whole
//   searches grows with the modified file and their total with the product
//   of the sizes. Where the candidate index names few positions the search
//   is far below that; where the original's eight-byte strings are all
//   common (long runs of one byte value between single other bytes) it is
//   not, and bench/README.md ("Construction cost") measures that case.
// A bound for those inputs needs a whole-original search that does not walk
// the original, which the visiting rule (j, then j + len + 1) makes
// probe-specific; this is not solved here.
#include "Matcher.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tarvo {
namespace {

constexpr uint32_t kProbeStepPerMinMatch = 4;
// Checkpoints fall every 1/128 of the modified file; the window reaches back
// 1/32 of it.
constexpr unsigned kCheckpointShift = 7;
constexpr unsigned kLookBackShift = 5;
// For large files both are capped, and the first checkpoint comes at 1/512.
constexpr uint32_t kLargeFileCap = 65536;
constexpr unsigned kLargeFirstCheckpointShift = 9;
// Thresholds on the literal length, in minimum matches.
constexpr uint32_t kWholeSearchMinMatches = 32;
constexpr uint32_t kWholeSearchMinMatchesCapped = 64;
constexpr uint32_t kAccelerateMinMatches = 32;
// The window and the checkpoint interval are tied to the granularity.
constexpr uint32_t kLookBackGranularityDivisor = 4;
constexpr uint32_t kCheckpointGranularityDivisor = 8;
// Windowed search when the sizes differ by at most 1/4 of the original.
constexpr unsigned kWindowedSizeShift = 2;

SearchMode ModeFromEnvironment(SearchMode mode) {
  if (mode != SearchMode::kByCost) return mode;
  const char* direct = std::getenv("MVR_DIRECT_SCAN");
  return direct != nullptr && std::strcmp(direct, "1") == 0 ? SearchMode::kDirect : mode;
}

}  // namespace

MatcherParams ComputeMatcherParams(uint32_t sOrig, uint32_t sMod, uint32_t g, FieldWidths w) {
  MatcherParams p{};
  p.minMatch = LongestUncopyable(w);
  p.probeStep = kProbeStepPerMinMatch * p.minMatch;
  p.checkpointInterval = sMod >> kCheckpointShift;
  p.lookBack = sMod >> kLookBackShift;
  p.firstCheckpoint = p.checkpointInterval;
  if (p.checkpointInterval > kLargeFileCap) {
    p.lookBack = kLargeFileCap;
    p.checkpointInterval = kLargeFileCap;
    p.firstCheckpoint = sMod >> kLargeFirstCheckpointShift;
  }
  p.wholeSearchAfter = kWholeSearchMinMatches * p.minMatch;
  p.accelerateAfter = kAccelerateMinMatches * p.minMatch;
  if (g / kLookBackGranularityDivisor < p.lookBack) p.lookBack = g / kLookBackGranularityDivisor;
  if (g / kCheckpointGranularityDivisor < p.checkpointInterval) {
    p.checkpointInterval = g / kCheckpointGranularityDivisor;
    p.firstCheckpoint = g / kCheckpointGranularityDivisor;
    p.wholeSearchAfter = kWholeSearchMinMatchesCapped * p.minMatch;
  }
  const auto diff = static_cast<int32_t>(sOrig - sMod);
  const uint32_t absDiff = diff < 0 ? 0u - static_cast<uint32_t>(diff) : static_cast<uint32_t>(diff);
  p.windowed = sOrig > g && absDiff <= (sOrig >> kWindowedSizeShift);
  p.initialEnd = g > sOrig ? sOrig : p.lookBack;
  return p;
}

bool RunMatcher(const uint8_t* original, uint32_t sOrig, const uint8_t* modified, uint32_t sMod,
                uint32_t g, MatcherSink& sink, SearchMode mode) {
  const MatcherParams p = ComputeMatcherParams(sOrig, sMod, g, WidthsFor(sOrig, sMod));
  const uint64_t minMatch = p.minMatch, probeStep = p.probeStep;
  const uint64_t interval = p.checkpointInterval, lookBack = p.lookBack;

  // Scan state is 64-bit so that nothing wraps near the 4 GiB end of the range;
  // below it every value equals its 32-bit counterpart.
  uint64_t pos = 0, checkpoint = p.firstCheckpoint;
  uint64_t winStart = 0, winEnd = p.initialEnd;
  uint64_t litStart = 0, pending = 0;  // pending keeps its value once a literal ends
  bool literal = false, toggle = false;
  // Without a window every search covers only the first lookBack bytes (at
  // most a quarter of the granularity) or an original smaller than the
  // granularity; such constructions take hundredths of a second in the
  // benchmarks, and indexing the whole original would cost more than that.
  OriginalSearch search(original, sOrig, p.minMatch, p.windowed, ModeFromEnvironment(mode));

  while (pos < sMod) {
    if (pos > checkpoint) {
      if (p.windowed) {
        winStart = pos < lookBack ? 0 : pos - lookBack;
        winEnd = std::min<uint64_t>(pos + lookBack + interval, sOrig);
      }
      checkpoint += interval;
      if (sink.Checkpoint(static_cast<uint32_t>(pos), sMod)) return false;
    }

    const uint8_t* probe = modified + pos;
    const auto probeLeft = static_cast<uint32_t>(sMod - pos);
    const Best best = p.windowed && pending > p.wholeSearchAfter && toggle
                          ? search.Whole(probe, probeLeft)
                          : search.Range(probe, probeLeft, winStart, winEnd);
    if (best.length > minMatch) {
      uint32_t copyAt = best.position, copyLen = best.length;
      uint64_t q = pos;
      if (literal) {
        // Grow the match backwards into the literal run: probes are a probe
        // step apart, so the true start usually lies before the probe.
        while (copyAt > 0 && pending > 0 && original[copyAt - 1] == modified[q - 1]) {
          --copyAt;
          --q;
          --pending;
          ++copyLen;
        }
        if (pending > 0) sink.Insert(modified + litStart, static_cast<uint32_t>(pending));
        literal = false;
      }
      sink.Copy(copyAt, copyLen);
      pos = pos + best.length - probeStep;  // the step below lands just past the match
    } else if (!literal) {
      literal = true;
      litStart = pos;
      pending = probeStep;
    } else {
      pending += probeStep;
      if (pending > p.accelerateAfter) {
        pos += probeStep;
        pending += probeStep;
      }
      if (pending > interval) {
        pos += interval;
        pending += interval;
      }
    }
    toggle = !toggle;
    pos += probeStep;
  }

  if (literal) sink.Insert(modified + litStart, static_cast<uint32_t>(sMod - litStart));
  return true;
}

}  // namespace tarvo
