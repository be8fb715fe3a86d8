// Chooses, from the spans the scan found, the records that cover the
// modified file in the fewest code-stream bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "Format.h"
#include "MatchScan.h"

namespace tarvo {

struct ParsedRecord {
  uint32_t start;   // in the modified file
  uint32_t length;
  bool copy;
  uint32_t offset;  // in the original, for a copy
};

// A copy costs WO + WL bytes and must be longer than 2 * (WO + WL) + 5; an
// insert costs WO + WI bytes plus its data and never follows another insert.
// Ties go to inserts, whose bytes the compressor can still shrink.
std::vector<ParsedRecord> CheapestParse(std::vector<MatchSpan> spans, uint32_t modifiedSize, FieldWidths widths);

}  // namespace tarvo
