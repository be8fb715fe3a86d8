// The inner search of the matcher: every start position the scan visits in
// [start, end), the longest match among them and its lowest position.
#pragma once

#include <cstdint>

#include "PairIndex.h"

namespace tarvo {

struct Best {
  uint32_t length;
  uint32_t position;
};

// `probe` holds the modified bytes from the probe position on (probeLeft of
// them). Only matches longer than `floor` (at least 3: the matcher's minimum is far longer) count.
Best SearchRange(const uint8_t* original, uint32_t originalSize, const uint8_t* probe,
                 uint32_t probeLeft, uint64_t start, uint64_t end, uint32_t floor);

// The same over the whole original, [0, originalSize), looking only at the
// stretches where the index says the probe's first two bytes occur.
Best SearchWhole(const uint8_t* original, uint32_t originalSize, const uint8_t* probe,
                 uint32_t probeLeft, uint32_t floor, const PairIndex& index);

}  // namespace tarvo
