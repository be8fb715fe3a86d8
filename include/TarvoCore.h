// The two operations of the core library. Both run synchronously on the
// caller's thread and return one E_TARVO_ERROR.
#pragma once

#include "TarvoTypes.h"

#if defined(TARVOCORE_BUILD)
#define TARVOCORE_API extern "C" __attribute__((visibility("default")))
#else
#define TARVOCORE_API extern "C"
#endif

TARVOCORE_API E_TARVO_ERROR ConstructDeltaFile(const char* originalPath, const char* modifiedPath,
                                               const char* deltaPath,
                                               const S_TARVO_NOTIFY_INFO* notify,
                                               const S_TARVO_CONSTRUCT_OPTIONS* options);

// Rebuilds the modified file from an original and a difference file. A null
// or empty original or modified path means the name recorded in the file.
TARVOCORE_API E_TARVO_ERROR ReconstructTargetFile(const char* originalPath, const char* deltaPath,
                                                  const char* modifiedPath,
                                                  const S_TARVO_NOTIFY_INFO* notify,
                                                  const S_TARVO_RECONSTRUCT_OPTIONS* options);

// Name of the loaded core library as hosts look it up for its messages.
inline constexpr char kTarvoCoreModule[] = "TarvoCore";
