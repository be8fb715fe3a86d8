#pragma once

#include <algorithm>
#include <cstring>

namespace tarvo {

// Option records start with dwSize, the bytes the caller filled: the result
// is our defaults with at most that many of the caller's bytes laid over
// them, so older callers keep the defaults they do not reach and newer ones
// are cut to what this build knows.
template <typename Record>
Record ReadSizedRecord(const Record& defaults, const Record* caller) {
  Record r = defaults;
  if (caller != nullptr) std::memcpy(&r, caller, std::min<size_t>(caller->dwSize, sizeof r));
  return r;
}

}  // namespace tarvo
