// How a compression of the code ended, and the result code each ending gives
// the construction: running out of memory is not a write failure, so the
// host can tell the user to free memory rather than disk space.
#pragma once

#include "TarvoTypes.h"

namespace tarvo {

enum class CompressOutcome {
  kDone,
  kNoMemory,     // a buffer, the compressor's state or the view of the code
  kReadFailed,   // the temporary code file could not be read back
  kWriteFailed,  // the difference file could not be written
  kAborted,      // the matcher gave up; its own result is reported
};

constexpr E_TARVO_ERROR ErrorFor(CompressOutcome outcome) {
  switch (outcome) {
    case CompressOutcome::kDone:
      return TARVO_OK;
    case CompressOutcome::kNoMemory:
      return TARVO_ERR_NO_MEMORY;
    case CompressOutcome::kAborted:
      return TARVO_ERR_CANCELLED;
    case CompressOutcome::kReadFailed:  // the temporary file is part of writing the difference file
    case CompressOutcome::kWriteFailed:
      break;
  }
  return TARVO_ERR_WRITE_DELTA;
}

}  // namespace tarvo
