#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "DclAdapter.h"
#include "MvrCodec.h"

namespace {

TEST(Checksum, VersionsAgreeOnThePolynomialAndDifferInTheInversions) {
  const std::string data = "123456789";
  EXPECT_EQ(MvrChecksum('2', 0, data.data(), data.size()), 0xCBF43926u);
  // Version 1 is the same register without the two inversions.
  EXPECT_EQ(MvrChecksum('1', 0xFFFFFFFFu, data.data(), data.size()) ^ 0xFFFFFFFFu, 0xCBF43926u);
  const std::vector<uint8_t> zeros(1000, 0);
  EXPECT_EQ(MvrChecksum('1', 0, zeros.data(), zeros.size()), 0u);
  // Pieces fold like the whole.
  EXPECT_EQ(MvrChecksum('1', MvrChecksum('1', 0, data.data(), 4), data.data() + 4, 5),
            MvrChecksum('1', 0, data.data(), data.size()));
  EXPECT_EQ(MvrChecksum('3', 77, data.data(), data.size()), 77u);
  EXPECT_TRUE(MvrKnownVersion('1'));
  EXPECT_TRUE(MvrKnownVersion('2'));
  EXPECT_FALSE(MvrKnownVersion('3'));
}

// The faster CRC-32 gives zlib's values wherever a piece starts and ends,
// and continues a running value (the checksum of a file read in blocks).
TEST(Checksum, FastCrcEqualsZlibsOnEveryStartAndLength) {
  std::mt19937 rng(11);
  std::vector<uint8_t> data(4096 + 64);
  for (auto& b : data) b = static_cast<uint8_t>(rng());
  const size_t lengths[] = {0, 1, 2, 3, 7, 8, 15, 16, 17, 31, 32, 33, 63, 64, 65, 127, 128, 129, 255, 256, 257,
                            511, 512, 1023, 1024, 1025, 4095, 4096};
  const uint32_t starts[] = {0, 1, 0xFFFFFFFFu, 0xCBF43926u, 0x80000000u};
  for (size_t offset = 0; offset < 17; ++offset) {
    for (const size_t n : lengths) {
      for (const uint32_t from : starts) {
        SCOPED_TRACE(::testing::Message() << "offset " << offset << " length " << n << " from " << from);
        ASSERT_EQ(MvrCrc32(from, data.data() + offset, n), MvrCrc32Zlib(from, data.data() + offset, n));
      }
    }
  }
  const std::vector<uint8_t> zeros(100000, 0);
  EXPECT_EQ(MvrCrc32(0, zeros.data(), zeros.size()), MvrCrc32Zlib(0, zeros.data(), zeros.size()));
  EXPECT_EQ(MvrCrc32(MvrCrc32(0, data.data(), 1000), data.data() + 1000, 3000), MvrCrc32Zlib(0, data.data(), 4000));
  EXPECT_EQ(MvrChecksum('2', 0, data.data(), 4000), MvrCrc32Zlib(0, data.data(), 4000));
}

struct Stream {
  const std::vector<uint8_t>* in;
  size_t at = 0;
  std::vector<uint8_t> out;
};

unsigned int ReadFn(char* buf, unsigned int* size, void* param) {
  auto* s = static_cast<Stream*>(param);
  const size_t n = std::min<size_t>(*size, s->in->size() - s->at);
  std::memcpy(buf, s->in->data() + s->at, n);
  s->at += n;
  return static_cast<unsigned int>(n);
}

void WriteFn(char* buf, unsigned int* size, void* param) {
  auto* s = static_cast<Stream*>(param);
  s->out.insert(s->out.end(), buf, buf + *size);
}

// The work areas are sized for this build: under AddressSanitizer a short
// one shows up here.
TEST(Dcl, ImplodedDataExplodesBack) {
  std::mt19937 rng(5);
  for (unsigned dict : {1024u, 2048u, 4096u}) {
    std::vector<uint8_t> data(50000);
    for (auto& b : data) b = static_cast<uint8_t>(rng() % 7);
    Stream a{&data, 0, {}};
    std::vector<char> work(mvrcodec::kImplodeWorkArea);
    unsigned type = mvrcodec::kDclBinary, d = dict;
    ASSERT_EQ(implode(ReadFn, WriteFn, work.data(), &a, &type, &d), 0u);
    Stream b{&a.out, 0, {}};
    std::vector<char> work2(mvrcodec::kExplodeWorkArea);
    ASSERT_EQ(explode(ReadFn, WriteFn, work2.data(), &b), 0u);
    EXPECT_EQ(b.out, data);
  }
}

}  // namespace
