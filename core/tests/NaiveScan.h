// The search as written: every position the scan visits, one byte at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "SearchScan.h"

namespace testsupport {

inline tarvo::Best NaiveScan(const std::vector<uint8_t>& o, const std::vector<uint8_t>& probe, uint64_t start,
                             uint64_t end, uint32_t floor) {
  tarvo::Best best{floor, 0};
  for (uint64_t j = start; j < end;) {
    uint32_t len = 0;
    while (len < probe.size() && j + len < o.size() && o[j + len] == probe[len]) ++len;
    if (len > best.length) best = {len, static_cast<uint32_t>(j)};
    j += len + 1;
  }
  return best;
}

}  // namespace testsupport
