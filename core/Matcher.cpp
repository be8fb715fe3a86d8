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
