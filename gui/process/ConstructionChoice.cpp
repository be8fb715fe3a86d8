#include "process/ConstructionChoice.h"

#include "TarvoTaskEntry.h"
#include "TarvoTypes.h"

void ApplyConstructionChoice(CTarvoTaskEntry& entry, EConstructionChoice choice) {
  switch (choice) {
    case EConstructionChoice::standard:
      entry.SetMatcher(TARVO_MATCHER_STANDARD);
      entry.SetCompressor(TARVO_COMPRESSOR_STANDARD);
      break;
    case EConstructionChoice::fast:
      entry.SetMatcher(TARVO_MATCHER_STANDARD);
      entry.SetCompressor(TARVO_COMPRESSOR_FAST);
      break;
    case EConstructionChoice::thorough:
      entry.SetMatcher(TARVO_MATCHER_THOROUGH);
      entry.SetCompressor(TARVO_COMPRESSOR_STRONGEST);
      break;
  }
}

EConstructionChoice ConstructionChoiceOf(const CTarvoTaskEntry& entry) {
  if (entry.HasStandardConstruction()) return EConstructionChoice::standard;
  if (entry.GetMatcher() == TARVO_MATCHER_STANDARD && entry.GetCompressor() == TARVO_COMPRESSOR_FAST) {
    return EConstructionChoice::fast;
  }
  return EConstructionChoice::thorough;
}
