// How Qorvex has the core build difference files: the user's one choice,
// and what it means for a job (matcher and compressor of its entry).
#pragma once

class CTarvoTaskEntry;

enum class EConstructionChoice {
  standard,  // the standard matcher and compressor
  fast,      // a faster compressor; files no larger
  thorough,  // the thorough matcher and the strongest compressor
};

// Gives a construction entry the matcher and compressor of the choice.
void ApplyConstructionChoice(CTarvoTaskEntry& entry, EConstructionChoice choice);
// The choice an entry was given. An entry put together some other way counts
// as thorough once it goes beyond the fast choice.
EConstructionChoice ConstructionChoiceOf(const CTarvoTaskEntry& entry);
