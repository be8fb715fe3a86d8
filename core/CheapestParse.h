// Chooses, from the spans the scan found, the records that cover the
// modified file at the least cost, each record part priced as told.
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

// What each part of a record is taken to cost, in any one unit.
struct RecordCosts {
  int64_t copy;        // a copy record
  int64_t insertHead;  // an insert's marker and length
  int64_t insertByte;  // each byte of its data
};

// The same once deflated, in quarter bytes, as measured on real pairs: a
// copy's offset looks random and keeps all its bytes and more, while the
// constant marker and small lengths of an insert's head shrink to half and
// its data to about three quarters.
RecordCosts DeflatedCosts(FieldWidths widths);

// Copies must be longer than 2 * (WO + WL) + 5; an insert never follows
// another insert. Ties go to inserts, whose bytes the compressor can still
// shrink.
std::vector<ParsedRecord> CheapestParse(std::vector<MatchSpan> spans, uint32_t modifiedSize, FieldWidths widths,
                                        RecordCosts costs);

}  // namespace tarvo
