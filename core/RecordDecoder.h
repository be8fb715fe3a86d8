// Decoding of the code stream: copy and insert records, checked one by one
// against the sizes in the header. The decoder owns no files; the caller
// supplies where records come from and where their bytes go, so the same
// loop runs on files during reconstruction and on memory in tests and fuzzing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvo {

class RecordInput {
 public:
  // Exactly n bytes of the code stream (the caller has checked they exist).
  virtual void Read(uint8_t* dest, size_t n) = 0;

 protected:
  ~RecordInput() = default;
};

class RecordOutput {
 public:
  // Append length bytes of the original from offset (offset + length fits).
  virtual void Copy(uint64_t offset, uint64_t length) = 0;
  // Append length literal bytes taken from the code stream.
  virtual void Insert(RecordInput& in, uint64_t length) = 0;
  // Progress at a checkpoint, with the bytes written so far; true stops.
  virtual bool Checkpoint(uint64_t written) = 0;

 protected:
  ~RecordOutput() = default;
};

enum class DecodeStatus {
  Ok,
  Damaged,    // a record reaches past the original, past the stream, or past the
              // modified size (checked before any of its bytes are written)
  Cancelled,  // Checkpoint asked to stop
};

struct DecodeResult {
  DecodeStatus status;
  uint64_t written;
};

// streamSize: bytes in the code stream. Checkpoints come before a record
// once the output has grown past the last mark by more than 1/32 of
// modifiedSize.
DecodeResult DecodeRecords(RecordInput& in, uint64_t streamSize, uint32_t originalSize,
                           uint32_t modifiedSize, RecordOutput& out);

}  // namespace tarvo
