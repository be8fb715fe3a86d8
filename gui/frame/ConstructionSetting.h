// The construction choice as Qorvex keeps it between runs: one value in the
// user's settings of the program.
#pragma once

#include "process/ConstructionChoice.h"

namespace qorvex::settings {

inline constexpr char kOrganization[] = "Mendivar";
inline constexpr char kApplication[] = "Qorvex";
// Its values: "standard", "fast" or "thorough".
inline constexpr char kConstructionKey[] = "Construction/Choice";

// Standard when nothing is stored, or something this version has no name for.
EConstructionChoice LoadConstructionChoice();
void SaveConstructionChoice(EConstructionChoice choice);

}  // namespace qorvex::settings
