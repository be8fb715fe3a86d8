// The matcher that looks hardest: longest matches from anywhere in the
// original, then the cheapest way of writing the modified file with them.
// It writes records of the same form as the standard matcher, but not the
// same records, so a difference file built with it differs from one built
// without.
#pragma once

#include <cstdint>

#include "Matcher.h"

namespace tarvo {

// Returns false when the sink cancelled at a checkpoint.
bool RunThoroughMatcher(const uint8_t* original, uint32_t originalSize, const uint8_t* modified,
                        uint32_t modifiedSize, MatcherSink& sink);

}  // namespace tarvo
