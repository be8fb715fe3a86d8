#include "MatchScan.h"

#include <algorithm>

namespace tarvo {

namespace {

// Hosts hear of progress about 128 times over a large file, and no more
// often than every 64 KiB over a small one.
uint32_t CheckpointInterval(uint32_t modifiedSize) { return std::max<uint32_t>(modifiedSize >> 7, 65536); }

}  // namespace

bool ScanMatches(const SuffixIndex& index, const GramFilter& filter, const uint8_t* modified, uint32_t modifiedSize,
                 uint32_t minLength, MatcherSink& sink, std::vector<MatchSpan>& spans) {
  const uint32_t interval = CheckpointInterval(modifiedSize);
  uint32_t nextCheckpoint = interval;
  uint32_t pos = 0;
  // Backward extension stops at the previous span's start, so no byte is
  // walked over more than twice however repetitive the files are.
  uint32_t floor = 0;
  bool haveLast = false;
  uint32_t lastEnd = 0, lastOffsetEnd = 0;
  while (pos < modifiedSize) {
    if (pos >= nextCheckpoint) {
      if (sink.Checkpoint(pos, modifiedSize)) return false;
      nextCheckpoint = (pos / interval + 1) * interval;
    }
    const uint32_t rest = modifiedSize - pos;
    // No copy can start where the next minLength + 1 bytes occur nowhere in the original.
    FoundMatch m{0, 0};
    if (rest > minLength && filter.MayOccur(modified + pos)) m = index.Longest(modified + pos, rest);
    // After a few changed bytes the old alignment often goes on; an equally
    // long match there keeps the copies on one track.
    if (haveLast && m.length > minLength) {
      const uint64_t along = uint64_t{lastOffsetEnd} + (pos - lastEnd);
      if (along < 0xFFFFFFFFu && static_cast<uint32_t>(along) != m.offset) {
        const uint32_t agree = index.Agreement(static_cast<uint32_t>(along), modified + pos, m.length);
        if (agree >= m.length) m.offset = static_cast<uint32_t>(along);
      }
    }
    if (m.length <= minLength) {
      ++pos;
      continue;
    }
    uint32_t start = pos, offset = m.offset;
    while (start > floor && offset > 0 && modified[start - 1] == index.Text()[offset - 1]) {
      --start;
      --offset;
    }
    const uint32_t end = pos + m.length;
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
