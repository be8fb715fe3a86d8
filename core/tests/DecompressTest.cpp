// The fast inflater against zlib on whole, cut, damaged and hand-made
// bodies: the same code file and the same answer, and the answer the reader
// expects.
#include <fcntl.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "CraftedDelta.h"
#include "Decompress.h"
#include "PosixFile.h"
#include "TestSupport.h"

using namespace testsupport;
using tarvo::BodyResult;
using tarvo::Inflater;

namespace {

constexpr uint64_t kNoLimit = UINT64_MAX;

// Sets the check bits of a zlib header after its first byte or flags change.
Bytes WithHeader(Bytes body, uint8_t cmf, uint8_t flags) {
  body[0] = cmf;
  body[1] = static_cast<uint8_t>(flags & 0xE0);
  body[1] = static_cast<uint8_t>(body[1] + (31 - (cmf * 256u + body[1]) % 31) % 31);
  return body;
}

Bytes Cut(const Bytes& b, size_t drop) { return Bytes(b.begin(), b.end() - static_cast<std::ptrdiff_t>(drop)); }

Bytes Flipped(Bytes b, size_t at) {
  b[at] ^= 0x10;
  return b;
}

Bytes Joined(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Unpacked {
  BodyResult result;
  Bytes code;
};

// The body sits behind a few bytes of header, as in a difference file.
Unpacked Unpack(Sandbox& box, const Bytes& body, uint64_t limit, Inflater inflater) {
  constexpr size_t kAt = 37;
  Bytes file(kAt, 'h');
  file.insert(file.end(), body.begin(), body.end());
  WriteFile(box.Path("delta"), file);
  tarvo::PosixFile delta, code;
  EXPECT_TRUE(delta.OpenRegular(box.Path("delta").c_str()));
  EXPECT_TRUE(code.Open(box.Path("code").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600));
  const BodyResult r = tarvo::UnpackBody('2', delta, kAt, code, limit, inflater);
  code.Close();
  return {r, ReadFile(box.Path("code"))};
}

const char* Name(BodyResult r) {
  switch (r) {
    case BodyResult::Ok: return "Ok";
    case BodyResult::Damaged: return "Damaged";
    case BodyResult::WriteFailed: return "WriteFailed";
    case BodyResult::SeekFailed: return "SeekFailed";
  }
  return "?";
}

TEST(Inflaters, SameCodeStreamAndAnswerOnEveryBody) {
  std::mt19937 rng(19);
  // Several input and output buffers long, with long and short matches.
  const Bytes data = Mutate(rng, [&] {
    Bytes d = RandomBytes(rng, 400000, 6);
    const Bytes again(d.begin(), d.begin() + 200000);
    return Joined(Joined(d, again), RandomBytes(rng, 300000));
  }(), 3000);
  const Bytes whole = Deflate(data, 9);
  const Bytes stored = Deflate(Bytes(100000, 'q'), 0);
  const Bytes small = Deflate(Bytes{'a', 'b', 'c', 'a', 'b', 'c', 'a', 'b', 'c'}, 9);
  const size_t deflateEnd = whole.size() - 4;  // where the trailer starts

  struct Case {
    const char* name;
    Bytes body;
    uint64_t limit;
    BodyResult expected;
    size_t expectedSize;  // of the code file
  };
  std::vector<Case> cases = {
      {"whole stream", whole, kNoLimit, BodyResult::Ok, data.size()},
      {"bytes after the stream end", Joined(whole, Bytes(100, 'j')), kNoLimit, BodyResult::Ok, data.size()},
      {"another stream after the end", Joined(small, whole), kNoLimit, BodyResult::Ok, 9},
      {"bad trailer", Flipped(whole, whole.size() - 1), kNoLimit, BodyResult::Ok, data.size()},
      {"no trailer", Cut(whole, 4), kNoLimit, BodyResult::Ok, data.size()},
      {"half a trailer", Cut(whole, 2), kNoLimit, BodyResult::Ok, data.size()},
      {"stored blocks", stored, kNoLimit, BodyResult::Ok, 100000},
      {"cut one byte into the trailer", Cut(whole, 5), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"cut in the middle", Bytes(whole.begin(), whole.begin() + 100001), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"cut at a buffer's end", Bytes(whole.begin(), whole.begin() + 65536), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"cut in a stored block", Cut(stored, 50000), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"header only", Bytes(whole.begin(), whole.begin() + 2), kNoLimit, BodyResult::Ok, 0},
      {"one byte", Bytes(whole.begin(), whole.begin() + 1), kNoLimit, BodyResult::Ok, 0},
      {"empty body", Bytes{}, kNoLimit, BodyResult::Ok, 0},
      {"damage near the start", Flipped(whole, 40), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"damage in the middle", Flipped(whole, whole.size() / 2), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"damage in the last block", Flipped(whole, deflateEnd - 3), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"exactly the limit", whole, data.size(), BodyResult::Ok, data.size()},
      {"one byte over the limit", whole, data.size() - 1, BodyResult::Damaged, SIZE_MAX},
      {"far over the limit", whole, 1000, BodyResult::Damaged, 0},
      {"damaged after the limit", Flipped(whole, deflateEnd - 3), 300000, BodyResult::Damaged, SIZE_MAX},
      // Headers: a smaller window, which zlib holds copies to, and headers
      // zlib refuses.
      {"window of 256 bytes", WithHeader(whole, 0x08, 0xC0), kNoLimit, BodyResult::Ok, SIZE_MAX},
      {"window of 256 bytes, short copies", WithHeader(small, 0x08, 0xC0), kNoLimit, BodyResult::Ok, 9},
      {"window too large", WithHeader(whole, 0x88, 0xC0), kNoLimit, BodyResult::Ok, 0},
      {"preset dictionary", WithHeader(whole, 0x78, 0xE0), kNoLimit, BodyResult::Ok, 0},
      {"not deflate", WithHeader(whole, 0x77, 0xC0), kNoLimit, BodyResult::Ok, 0},
      {"bad header check", Flipped(whole, 1), kNoLimit, BodyResult::Ok, 0},
      // Hand-made blocks: each breaks one rule of the format.
      {"block type 3", {0x78, 0x01, 0x07, 0, 0, 0, 0, 0, 0, 0, 0}, kNoLimit, BodyResult::Ok, 0},
      {"stored lengths disagree", {0x78, 0x01, 0x01, 0x05, 0, 0, 0, 'h', 'e', 'l', 'l', 'o'}, kNoLimit,
       BodyResult::Ok, 0},
      {"stored lengths agree", {0x78, 0x01, 0x01, 0x05, 0, 0xFA, 0xFF, 'h', 'e', 'l', 'l', 'o'}, kNoLimit,
       BodyResult::Ok, 5},
      {"distance code 30", {0x78, 0x01, 0x4B, 0x04, 0x3E, 0x00}, kNoLimit, BodyResult::Ok, 1},
      {"length code 286", {0x78, 0x01, 0x4B, 0x1C, 0x03, 0x00}, kNoLimit, BodyResult::Ok, 1},
      {"distance before the start", {0x78, 0x01, 0x4B, 0x04, 0x12, 0x00}, kNoLimit, BodyResult::Ok, 1},
      {"287 length codes",
       {0x78, 0x01, 0xF5, 0xE0, 0x01, 0x04, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0, 0, 0, 0x02, 0x10},
       kNoLimit, BodyResult::Ok, 0},
      {"32 distance codes",
       {0x78, 0x01, 0x05, 0xFE, 0x01, 0x04, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C, 0, 0, 0, 0, 0x10},
       kNoLimit, BodyResult::Ok, 0},
      {"no end-of-block code",
       {0x78, 0x01, 0x05, 0xE0, 0x01, 0x04, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x18, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0},
       kNoLimit, BodyResult::Ok, 0},
      {"oversubscribed code lengths",
       {0x78, 0x01, 0x05, 0xE0, 0x93, 0x24, 0x49, 0x92, 0x24, 0x49, 0x92, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0},
       kNoLimit, BodyResult::Ok, 0},
      {"repeat with nothing before",
       {0x78, 0x01, 0x05, 0xE0, 0x03, 0x04, 0, 0, 0, 0, 0, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       kNoLimit, BodyResult::Ok, 0},
      {"two literal codes, no distance code",
       {0x78, 0x01, 0x05, 0xE0, 0x01, 0x04, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x04, 0x40},
       kNoLimit, BodyResult::Ok, 10},
  };
  // Cuts at every byte of a stretch, where a symbol or a block header is
  // left half there.
  for (size_t at = 1000; at < 1040; ++at) {
    cases.push_back({"cut in a run of cuts", Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(at)),
                     kNoLimit, BodyResult::Ok, SIZE_MAX});
  }

  Sandbox box;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.name << ", " << c.body.size() << " bytes");
    const Unpacked slow = Unpack(box, c.body, c.limit, Inflater::Zlib);
    const Unpacked fast = Unpack(box, c.body, c.limit, Inflater::Fast);
    EXPECT_EQ(Name(slow.result), Name(c.expected));
    if (c.expectedSize != SIZE_MAX) {
      EXPECT_EQ(slow.code.size(), c.expectedSize);
    }
    if (slow.result == BodyResult::Ok && c.expectedSize == data.size()) {
      EXPECT_TRUE(slow.code == data);
    }
    EXPECT_EQ(Name(fast.result), Name(slow.result));
    EXPECT_EQ(fast.code.size(), slow.code.size());
    EXPECT_TRUE(fast.code == slow.code);
  }
}

// A code file that takes nothing, as on a full disk: both give up the same way.
TEST(Inflaters, FullDiskFailsTheWrite) {
  std::mt19937 rng(7);
  const Bytes body = Deflate(RandomBytes(rng, 300000, 4), 9);
  Sandbox box;
  Bytes file(10, 'h');
  file.insert(file.end(), body.begin(), body.end());
  WriteFile(box.Path("delta"), file);
  for (const Inflater inflater : {Inflater::Zlib, Inflater::Fast}) {
    SCOPED_TRACE(inflater == Inflater::Zlib ? "zlib" : "fast");
    tarvo::PosixFile delta, code;
    ASSERT_TRUE(delta.OpenRegular(box.Path("delta").c_str()));
    if (!code.Open("/dev/full", O_WRONLY)) GTEST_SKIP() << "no /dev/full here";
    EXPECT_EQ(Name(tarvo::UnpackBody('2', delta, 10, code, kNoLimit, inflater)), Name(BodyResult::WriteFailed));
  }
}

}  // namespace
