// The inner search of the matcher: every start position the scan visits in
// [start, end), the longest match among them and its lowest position.
#pragma once

#include <cstdint>

namespace tarvo {

struct Best {
  uint32_t length;
  uint32_t position;
};

// `probe` holds the modified bytes from the probe position on (probeLeft of
// them). Only matches longer than `floor` count.
Best SearchRange(const uint8_t* original, uint32_t originalSize, const uint8_t* probe,
                 uint32_t probeLeft, uint64_t start, uint64_t end, uint32_t floor);

}  // namespace tarvo
