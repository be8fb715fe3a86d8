// Header reader on untrusted bytes. Besides surviving them, its verdict and
// getters are held against the header rules worked out here independently,
// so a reader that accepts a name running past the block, or rejects a
// header it should take, is caught as surely as one that crashes.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "MvrFileInfo.h"
#include "RecordedName.h"

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Whatever a file records, the name it may create is one new entry of the
// difference file's folder, or nothing.
void CheckTargetRule(const std::string& recorded) {
  const std::string path = tarvo::RecordedTargetPath("/d/x.mvr", recorded);
  if (path.empty()) return;
  FUZZ_REQUIRE(path.compare(0, 3, "/d/") == 0);
  const std::string base = path.substr(3);
  FUZZ_REQUIRE(!base.empty() && base != "." && base != "..");
  for (const char c : base) {
    const auto u = static_cast<unsigned char>(c);
    FUZZ_REQUIRE(c != '/' && c != '\\' && u >= 0x20 && u != 0x7f);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) return 0;
  const int n = static_cast<int>(size);

  {
    // A missing block or a negative size must be refused before any read.
    CDeltaFileInfo none;
    FUZZ_REQUIRE(none.PrepareInfo(nullptr, n) == 0);
    FUZZ_REQUIRE(none.PrepareInfo(data, -1 - n) == 0);
    FUZZ_REQUIRE(none.IsDeltaFileValid() == 0);
  }

  CDeltaFileInfo info;
  const int ok = info.PrepareInfo(data, n);

  bool expected = size >= kDeltaHeaderSize && data[4] == 'm' && data[5] == 'v' &&
                  data[6] == 'r' && data[7] == kDeltaHeaderSize;
  size_t tgtLen = 0, refLen = 0;
  if (expected) {
    tgtLen = Le16(data + 52);
    refLen = Le16(data + 54);
    expected = refLen <= kMaxStoredNameLength && tgtLen <= kMaxStoredNameLength &&
               kDeltaHeaderSize + refLen + tgtLen <= size;
  }
  FUZZ_REQUIRE(ok == (expected ? 1 : 0));
  FUZZ_REQUIRE(info.IsDeltaFileValid() == ok);

  // The header copy is taken as far as the block reaches, even when refused;
  // whatever lies beyond the block must read as zero, never as stale memory.
  uint8_t header[kDeltaHeaderSize] = {};
  if (size != 0) std::memcpy(header, data, size < kDeltaHeaderSize ? size : kDeltaHeaderSize);
  FUZZ_REQUIRE(std::memcmp(&info.GetHeader(), header, kDeltaHeaderSize) == 0);
  if (!ok) return 0;

  FUZZ_REQUIRE(info.GetTargetFileSize() == Le32(data + 12));
  FUZZ_REQUIRE(info.GetReferenceFileSize() == Le32(data + 16));
  FUZZ_REQUIRE(info.GetTargetFileCheckSum() == Le32(data + 20));
  FUZZ_REQUIRE(info.GetReferenceFileCheckSum() == Le32(data + 24));
  // The offset is where the names end, not the header's own claim.
  FUZZ_REQUIRE(info.GetCodeOffset() == kDeltaHeaderSize + refLen + tgtLen);
  const char* names = reinterpret_cast<const char*>(data) + kDeltaHeaderSize;
  FUZZ_REQUIRE(info.GetReferenceFileName() == std::string(names, refLen));
  FUZZ_REQUIRE(info.GetTargetFileName() == std::string(names + refLen, tgtLen));
  CheckTargetRule(info.GetTargetFileName());
  return 0;
}
