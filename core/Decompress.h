#pragma once

#include "PosixFile.h"

namespace tarvo {

// Outcome of unpacking a difference file's body into the code file.
enum class BodyResult {
  Ok,
  Damaged,    // the body cannot be unpacked, or a read or write inside failed
  SeekFailed  // the difference file could not be positioned at the body
};

// Unpacks everything from `codeOffset` to the end of the difference file into
// `codeFile`. Version '2' bodies are zlib streams: an error inside the stream
// ends the unpacking without failing it (the short code stream is caught by
// the checks that follow), and bytes after the stream's end are ignored.
// Version '1' bodies are exploded.
BodyResult UnpackBody(char version, PosixFile& deltaFile, uint64_t codeOffset, PosixFile& codeFile);

}  // namespace tarvo
