// Record decoder on untrusted code streams, with memory standing in for the
// files. The output side checks every promise the decoder makes to its
// RecordOutput, because reconstruction relies on them instead of checking
// again: copies stay inside the original, inserts never reach past the
// stream, output stops one record after the modified size, and a
// cancellation is honoured at once.
//
// Input layout: original size (LE32), modified size (LE32), a cancel byte
// (k > 0 stops at the k-th checkpoint), then the code stream. Both sizes are
// taken whole so every field width from 0 to 4 comes up; the original is a
// short buffer repeated, so a 4 GiB original costs no memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "RecordDecoder.h"

namespace {

constexpr size_t kPrefix = 9;
constexpr size_t kOriginalBuffer = 4096;
// Above any stream run.sh lets libFuzzer build (4 KiB), so every inserted
// byte is kept; low enough that filling it on most runs, as huge copies do,
// leaves the fuzzer fast.
constexpr size_t kOutputCap = size_t{64} << 10;

// Built once: filling it on every run would cost more than the decoding.
const std::vector<uint8_t>& OriginalPattern() {
  static const std::vector<uint8_t> pattern = [] {
    std::vector<uint8_t> p(kOriginalBuffer);
    for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>((i * 0x9E3779B1u) >> 13);
    return p;
  }();
  return pattern;
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

class MemoryInput final : public tarvo::RecordInput {
 public:
  MemoryInput(const uint8_t* data, size_t size) : data_(data), left_(size) {}

  void Read(uint8_t* dest, size_t n) override {
    // The decoder promises to ask only for bytes it has counted as present.
    FUZZ_REQUIRE(n <= left_);
    // Outside an insert the decoder reads only fields, none wider than 4.
    FUZZ_REQUIRE(inInsert_ || n <= 4);
    if (n != 0) std::memcpy(dest, data_, n);
    data_ += n;
    left_ -= n;
  }

  size_t Left() const { return left_; }
  void SetInInsert(bool on) { inInsert_ = on; }

 private:
  const uint8_t* data_;
  size_t left_;
  bool inInsert_ = false;
};

class MemoryOutput final : public tarvo::RecordOutput {
 public:
  MemoryOutput(MemoryInput& input, uint32_t originalSize, uint32_t modifiedSize, unsigned cancelAt)
      : input_(input),
        original_(OriginalPattern().begin(),
                  OriginalPattern().begin() +
                      static_cast<ptrdiff_t>(std::min<size_t>(originalSize, kOriginalBuffer))),
        originalSize_(originalSize),
        modifiedSize_(modifiedSize),
        cancelAt_(cancelAt) {}

  void Copy(uint64_t offset, uint64_t length) override {
    BeforeRecord(length);
    // Offsets from the original size up mark inserts, so a copy starts
    // inside the original and must end inside it too.
    FUZZ_REQUIRE(offset < originalSize_);
    FUZZ_REQUIRE(length <= originalSize_ - offset);
    uint64_t at = offset, left = Room(length);
    while (left != 0) {
      const size_t from = static_cast<size_t>(at % original_.size());
      const size_t k = static_cast<size_t>(std::min<uint64_t>(left, original_.size() - from));
      out_.insert(out_.end(), original_.begin() + static_cast<ptrdiff_t>(from),
                  original_.begin() + static_cast<ptrdiff_t>(from + k));
      at += k;
      left -= k;
    }
    counted_ += length;
  }

  void Insert(tarvo::RecordInput& in, uint64_t length) override {
    BeforeRecord(length);
    FUZZ_REQUIRE(&in == &input_);
    FUZZ_REQUIRE(length <= input_.Left());
    input_.SetInInsert(true);
    // Every byte is read so the stream position stays right; only the part
    // under the cap is kept.
    uint8_t chunk[4096];
    uint64_t left = length, keep = Room(length);
    while (left != 0) {
      const size_t k = static_cast<size_t>(std::min<uint64_t>(left, sizeof chunk));
      in.Read(chunk, k);
      const size_t kept = static_cast<size_t>(std::min<uint64_t>(keep, k));
      out_.insert(out_.end(), chunk, chunk + kept);
      keep -= kept;
      left -= k;
    }
    input_.SetInInsert(false);
    counted_ += length;
  }

  bool Checkpoint(uint64_t written) override {
    FUZZ_REQUIRE(!cancelled_);
    FUZZ_REQUIRE(written == counted_);
    // A checkpoint reports progress; two with nothing written between are noise.
    FUZZ_REQUIRE(checkpoints_ == 0 || written > lastCheckpoint_);
    lastCheckpoint_ = written;
    ++checkpoints_;
    cancelled_ = cancelAt_ != 0 && checkpoints_ == cancelAt_;
    return cancelled_;
  }

  uint64_t Counted() const { return counted_; }
  bool Cancelled() const { return cancelled_; }
  size_t Kept() const { return out_.size(); }

 private:
  // No record may take the output past the modified size: its length is
  // checked before any of its bytes are handed out.
  void BeforeRecord(uint64_t length) {
    FUZZ_REQUIRE(!cancelled_);
    FUZZ_REQUIRE(counted_ <= modifiedSize_);
    FUZZ_REQUIRE(length <= modifiedSize_ - counted_);
  }

  uint64_t Room(uint64_t wanted) const {
    return std::min<uint64_t>(wanted, kOutputCap - out_.size());
  }

  MemoryInput& input_;
  std::vector<uint8_t> original_;
  uint32_t originalSize_, modifiedSize_;
  unsigned cancelAt_;
  std::vector<uint8_t> out_;
  uint64_t counted_ = 0, lastCheckpoint_ = 0;
  unsigned checkpoints_ = 0;
  bool cancelled_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kPrefix) return 0;
  const uint32_t originalSize = Le32(data);
  const uint32_t modifiedSize = Le32(data + 4);
  const unsigned cancelAt = data[8];
  const size_t streamSize = size - kPrefix;

  MemoryInput in(data + kPrefix, streamSize);
  MemoryOutput out(in, originalSize, modifiedSize, cancelAt);
  const tarvo::DecodeResult r = tarvo::DecodeRecords(in, streamSize, originalSize, modifiedSize, out);

  FUZZ_REQUIRE(r.written == out.Counted());
  FUZZ_REQUIRE(out.Kept() == std::min<uint64_t>(out.Counted(), kOutputCap));
  FUZZ_REQUIRE((r.status == tarvo::DecodeStatus::Cancelled) == out.Cancelled());
  // A clean finish means the whole stream was records, nothing left over.
  if (r.status == tarvo::DecodeStatus::Ok) FUZZ_REQUIRE(in.Left() == 0);
  return 0;
}
