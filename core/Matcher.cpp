#include "Matcher.h"

#include <algorithm>
#include <optional>
#include "SearchScan.h"

namespace tarvo {
namespace {

}  // namespace

MatcherParams ComputeMatcherParams(uint32_t sOrig, uint32_t sMod, uint32_t g, FieldWidths w) {
  MatcherParams p{};
  p.minMatch = 2 * (w.offset + w.copyLength) + 5;
  p.step = 4 * p.minMatch;
  p.interval = sMod >> 7;
  p.lookBack = sMod >> 5;
  p.firstCheckpoint = p.interval;
  if (p.interval > 65536) {
    p.lookBack = 65536;
    p.interval = 65536;
    p.firstCheckpoint = sMod >> 9;
  }
  p.fullScanAfter = 32 * p.minMatch;
  p.accelerateAfter = 32 * p.minMatch;
  if (g / 4 < p.lookBack) p.lookBack = g / 4;
  if (g / 8 < p.interval) {
    p.interval = g / 8;
    p.firstCheckpoint = g / 8;
    p.fullScanAfter = 64 * p.minMatch;
  }
  const auto diff = static_cast<int32_t>(sOrig - sMod);
  const uint32_t absDiff = diff < 0 ? 0u - static_cast<uint32_t>(diff) : static_cast<uint32_t>(diff);
  p.windowed = sOrig > g && absDiff <= (sOrig >> 2);
  p.initialEnd = g > sOrig ? sOrig : p.lookBack;
  return p;
}

bool RunMatcher(const uint8_t* original, uint32_t sOrig, const uint8_t* modified, uint32_t sMod,
                uint32_t g, MatcherSink& sink) {
  const MatcherParams p = ComputeMatcherParams(sOrig, sMod, g, WidthsFor(sOrig, sMod));
  const uint64_t T = p.minMatch, STEP = p.step, B = p.interval, H = p.lookBack;

  // Scan state is 64-bit so that nothing wraps near the 4 GiB end of the range;
  // below it every value equals its 32-bit counterpart.
  uint64_t pos = 0, checkpoint = p.firstCheckpoint;
  uint64_t winStart = 0, winEnd = p.initialEnd;
  uint64_t litStart = 0, pending = 0;  // pending keeps its value once a literal ends
  bool literal = false, toggle = false;
  std::optional<PairIndex> index;

  while (pos < sMod) {
    if (pos > checkpoint) {
      if (p.windowed) {
        winStart = pos < H ? 0 : pos - H;
        winEnd = std::min<uint64_t>(pos + H + B, sOrig);
      }
      checkpoint += B;
      if (sink.Checkpoint(static_cast<uint32_t>(pos), sMod)) return false;
    }

    const uint8_t* probe = modified + pos;
    const auto probeLeft = static_cast<uint32_t>(sMod - pos);
    Best best;
    if (p.windowed && pending > p.fullScanAfter && toggle) {
      // Whole-original searches repeat through long literal runs; the index
      // pays for itself from the first one on.
      if (!index) index.emplace(original, sOrig);
      best = SearchWhole(original, sOrig, probe, probeLeft, p.minMatch, *index);
    } else {
      best = SearchRange(original, sOrig, probe, probeLeft, winStart, winEnd, p.minMatch);
    }
    if (best.length > T) {
      uint32_t copyAt = best.position, copyLen = best.length;
      uint64_t q = pos;
      if (literal) {
        // Grow the match backwards into the literal run: probes are STEP
        // apart, so the true start usually lies before the probe.
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
      pos = pos + best.length - STEP;
    } else if (!literal) {
      literal = true;
      litStart = pos;
      pending = STEP;
    } else {
      pending += STEP;
      if (pending > p.accelerateAfter) {
        pos += STEP;
        pending += STEP;
      }
      if (pending > B) {
        pos += B;
        pending += B;
      }
    }
    toggle = !toggle;
    pos += STEP;
  }

  if (literal) sink.Insert(modified + litStart, static_cast<uint32_t>(sMod - litStart));
  return true;
}

}  // namespace tarvo
