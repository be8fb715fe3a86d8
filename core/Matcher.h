// The greedy forward matcher that turns two mapped files into the code stream.
// Its records and their order are the format: every difference file built
// anywhere from the same pair is byte-identical, so the scan below is exact,
// not heuristic, down to which start positions it visits.
#pragma once

#include <cstdint>

#include "Format.h"
#include "OriginalSearch.h"

namespace tarvo {

struct MatcherParams {
  uint32_t minMatch;            // a match must be longer than this to be copied
  uint32_t probeStep;           // distance between probes inside a literal run
  uint32_t checkpointInterval;  // distance between progress checkpoints; also the far acceleration
  uint32_t lookBack;            // how far the search window reaches back from the probe
  uint32_t firstCheckpoint;     // where the first checkpoint falls
  uint32_t wholeSearchAfter;    // literal length after which every other probe searches the whole original
  uint32_t accelerateAfter;     // literal length after which the probes spread out
  bool windowed;                // the search range follows the probe
  uint32_t initialEnd;          // the search range is [0, initialEnd) until the window first moves
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

// Returns false when the sink cancelled at a checkpoint. Every mode writes
// the same records; with kByCost the environment variable MVR_DIRECT_SCAN=1
// forces the direct scan, so that benchmarks can compare the two.
bool RunMatcher(const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                uint32_t modifiedSize, uint32_t granularity, MatcherSink& sink,
                SearchMode mode = SearchMode::kByCost);

}  // namespace tarvo
