// The greedy forward matcher that turns two mapped files into the code stream.
// Its records and their order are the format: every difference file built
// anywhere from the same pair is byte-identical, so the scan below is exact,
// not heuristic, down to which start positions it visits.
#pragma once

#include <cstdint>

#include "Format.h"

namespace tarvo {

struct MatcherParams {
  uint32_t minMatch;      // T: a match must be longer than this
  uint32_t step;          // STEP: probe spacing inside a literal run
  uint32_t interval;      // B: progress interval, also the far acceleration
  uint32_t lookBack;      // H: half-width of the search window
  uint32_t firstCheckpoint;  // P
  uint32_t fullScanAfter;    // L: literal length after which the whole original is tried
  uint32_t accelerateAfter;  // A
  bool windowed;
  uint32_t initialEnd;    // E: the search range is [0, E) until the window moves
};

MatcherParams ComputeMatcherParams(uint32_t originalSize, uint32_t modifiedSize,
                                   uint32_t granularity, FieldWidths widths);

// What the matcher produces, in modified-file order.
class MatcherSink {
 public:
  virtual void Insert(const uint8_t* data, uint32_t length) = 0;
  virtual void Copy(uint32_t offset, uint32_t length) = 0;
  // Progress at a checkpoint; true cancels the scan.
  virtual bool Checkpoint(uint32_t done, uint32_t total) = 0;

 protected:
  ~MatcherSink() = default;
};

// Returns false when the sink cancelled at a checkpoint.
bool RunMatcher(const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                uint32_t modifiedSize, uint32_t granularity, MatcherSink& sink);

}  // namespace tarvo
