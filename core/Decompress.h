#pragma once

#include "PosixFile.h"

namespace tarvo {

// Outcome of unpacking a difference file's body into the code file.
enum class BodyResult {
  Ok,
  Damaged,     // the body cannot be unpacked, or reading it failed
  WriteFailed, // the code file could not take the bytes (a full disk, a size limit)
  SeekFailed   // the difference file could not be positioned at the body
};

// Which inflater unpacks version '2' bodies. The fast one answers only for
// streams it finishes cleanly; anything else (an error, a stream cut short,
// a body over the limit, a failed read or write, a header other than the
// plain 32 KiB one) is unpacked again from the start by zlib, whose answer
// stands. So both give the same bytes and the same result on every body but
// one kind that no writer makes: a block whose Huffman codes leave codes
// unused and that never meets one, which the fast inflater unpacks and zlib
// refuses.
enum class Inflater {
  Zlib,
  Fast  // ISA-L where the build has it, else zlib
};

// True where Inflater::Fast is not zlib itself.
bool FastInflaterBuilt();
// The inflater every later UnpackBody of this process uses (Fast by
// default); the tests run the same files through each.
void ChooseInflater(Inflater inflater);
Inflater ChosenInflater();

// Unpacks everything from `codeOffset` to the end of the difference file into
// `codeFile`. Version '2' bodies are zlib streams: an error inside the stream
// ends the unpacking without failing it (the short code stream is caught by
// the checks that follow), and bytes after the stream's end are ignored.
// Version '1' bodies are exploded. A body that unpacks to more than `limit`
// bytes is damaged: no construction writes that much for the sizes the
// header records, and the excess would only fill the disk.
BodyResult UnpackBody(char version, PosixFile& deltaFile, uint64_t codeOffset, PosixFile& codeFile,
                      uint64_t limit);
BodyResult UnpackBody(char version, PosixFile& deltaFile, uint64_t codeOffset, PosixFile& codeFile,
                      uint64_t limit, Inflater inflater);

// The longest code stream a construction can write for these sizes: every
// record rebuilds at least one byte and takes at most 1 + WO + max(WI, WL)
// bytes of stream per byte it rebuilds (an insert of one byte), plus a few
// bytes of slack.
uint64_t CodeStreamLimit(uint32_t originalSize, uint32_t modifiedSize);

}  // namespace tarvo
