// The two operations of the core library. Both run synchronously on the
// caller's thread and return one E_TARVO_ERROR.
#pragma once

#include "TarvoTypes.h"

#ifdef __cplusplus
#define TARVOCORE_LINKAGE extern "C"
#else
#define TARVOCORE_LINKAGE extern
#endif
#if defined(TARVOCORE_BUILD)
#define TARVOCORE_API TARVOCORE_LINKAGE __attribute__((visibility("default")))
#else
#define TARVOCORE_API TARVOCORE_LINKAGE
#endif

// Builds a difference file at deltaPath from an original and a modified
// file.
//
// Threads: runs on the caller's thread and returns when the file is finished
// or the call has failed; notifications are delivered on that thread too. A
// second thread compresses the code while the matcher runs; it has ended
// before the call returns. Calls on different files may run at once.
//
// Null arguments: a null notify means no notifications (an existing
// difference file is then overwritten without asking); null options mean the
// defaults; a null path is taken as an empty one and fails like one.
//
// What is left on disk: on success, the finished difference file. When the
// host refuses to overwrite, the difference path names one of the inputs, or
// the difference file cannot be created, nothing is touched. When a stored name is empty, an input cannot be opened
// or the temporary code file cannot be created, the partly written
// difference file (placeholder header and names) stays. On cancellation, a
// write error, lack of memory or any other failure after that, the
// difference file is removed. When the finished file cannot be reopened for
// its final header, it stays with the placeholder header. The temporary code
// file never outlives the call.
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

// Runs every check ReconstructTargetFile runs, the full decode included, but
// counts and checksums the rebuilt bytes instead of writing them: nothing on
// disk is created or changed. Same codes as a reconstruction (0 when the
// difference file and the original are right); a null or empty original
// path means the recorded one. Progress reports name the difference file.
TARVOCORE_API E_TARVO_ERROR VerifyDeltaFile(const char* originalPath, const char* deltaPath,
                                            const S_TARVO_NOTIFY_INFO* notify);

// The string id of a message that says more than the code's own about the
// last ConstructDeltaFile or ReconstructTargetFile call on this thread, or 0
// when the code's own message (11000 + code) is the one. So far: 11100 with
// code 9 (11101 with code 8) when an old file written in place had been
// partly overwritten when the write failed, so that it is damaged; on every
// other failure an old file is left as it was.
TARVOCORE_API unsigned TarvoLastMessageId(void);

// Names recorded in a difference file come from whoever made it. These two
// functions are the one rule for them, used by every host, so that what a
// program shows is where the core will write or read. The recorded name is
// passed as its bytes and their count, as the header holds it: a name with
// a NUL among them is refused, never cut short.
//
// Where a recorded modified name is created: only its base name (split at
// both '/' and '\\', so names written on either system work), in the folder
// of deltaPath; a recorded folder is never entered or created. Writes the
// path with its terminating NUL to out when outSize is large enough and
// returns its length, or returns 0 when the name is refused: an empty base
// name, ".", "..", or one holding a control character or a NUL.
TARVOCORE_API size_t TarvoRecordedTargetPath(const char* deltaPath, const char* recordedName, size_t recordedLength,
                                             char* out, size_t outSize);
// Where a recorded original is looked for: at the recorded path when that
// is a name of this system and something is there, otherwise under its
// base name beside the difference file. Same result as above.
TARVOCORE_API size_t TarvoRecordedOriginalPath(const char* deltaPath, const char* recordedName, size_t recordedLength,
                                               char* out, size_t outSize);

#ifdef __cplusplus
// Name under which hosts look up the loaded core's messages (its table is
// found by symbol, so the library's file name and version do not matter).
inline constexpr char kTarvoCoreModule[] = "TarvoCore";
#endif
