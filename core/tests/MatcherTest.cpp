#include <gtest/gtest.h>

#include "Format.h"
#include "Matcher.h"
#include "ReferenceMatcher.h"
#include "TestSupport.h"

using testsupport::Bytes;

namespace {

// Encodes records the way the code file holds them, and records checkpoints.
class VectorSink final : public tarvo::MatcherSink {
 public:
  VectorSink(uint32_t sOrig, uint32_t sMod) : w_(tarvo::WidthsFor(sOrig, sMod)), marker_(sOrig) {}
  void Insert(const uint8_t* data, uint32_t length) override {
    Put(marker_, w_.offset);
    Put(length, w_.insertLength);
    code.insert(code.end(), data, data + length);
    ++inserts;
  }
  void Copy(uint32_t offset, uint32_t length) override {
    Put(offset, w_.offset);
    Put(length, w_.copyLength);
    ++copies;
  }
  bool Checkpoint(uint32_t done, uint32_t total) override {
    checkpoints.push_back(done);
    EXPECT_LT(done, total);
    return cancelAt != 0 && checkpoints.size() >= cancelAt;
  }
  Bytes code;
  std::vector<uint32_t> checkpoints;
  size_t cancelAt = 0;
  int inserts = 0, copies = 0;

 private:
  void Put(uint32_t v, unsigned w) {
    for (unsigned i = 0; i < w; ++i) code.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  tarvo::FieldWidths w_;
  uint32_t marker_;
};

VectorSink Match(const Bytes& o, const Bytes& m, uint32_t granularity = 65536,
                 tarvo::SearchMode mode = tarvo::SearchMode::kByCost) {
  VectorSink sink(static_cast<uint32_t>(o.size()), static_cast<uint32_t>(m.size()));
  EXPECT_TRUE(tarvo::RunMatcher(o.data(), static_cast<uint32_t>(o.size()), m.data(),
                                static_cast<uint32_t>(m.size()), granularity, sink, mode));
  return sink;
}

TEST(FieldWidth, BoundariesTakeTheNextWidth) {
  const std::pair<uint32_t, unsigned> cases[] = {
      {0, 0}, {1, 1}, {255, 1}, {256, 2}, {65535, 2}, {65536, 3}, {16777215, 3}, {16777216, 4}, {0xFFFFFFFF, 4}};
  for (auto [n, w] : cases) EXPECT_EQ(tarvo::Width(n), w) << n;
  // The copy length is bounded by the smaller file.
  EXPECT_EQ(tarvo::WidthsFor(1000, 200).copyLength, 1u);
  EXPECT_EQ(tarvo::WidthsFor(200, 1000).copyLength, 1u);
  EXPECT_EQ(tarvo::WidthsFor(200, 1000).insertLength, 2u);
}

TEST(MatcherParams, WorkedValuesForAMegabytePair) {
  const auto p = tarvo::ComputeMatcherParams(1000000, 1000000, 65536, tarvo::WidthsFor(1000000, 1000000));
  EXPECT_EQ(p.minMatch, 17u);
  EXPECT_EQ(p.probeStep, 68u);
  EXPECT_EQ(p.checkpointInterval, 7812u);
  EXPECT_EQ(p.lookBack, 16384u);
  EXPECT_EQ(p.wholeSearchAfter, 544u);
  EXPECT_TRUE(p.windowed);
  EXPECT_EQ(p.initialEnd, 16384u);
}

TEST(MatcherParams, LargeAndSmallFiles) {
  // Above 8 MiB the interval is capped twice over and the full-scan threshold doubles.
  auto big = tarvo::ComputeMatcherParams(20000000, 20000000, 65536, tarvo::WidthsFor(20000000, 20000000));
  EXPECT_EQ(big.checkpointInterval, 8192u);
  EXPECT_EQ(big.firstCheckpoint, 8192u);
  EXPECT_EQ(big.lookBack, 16384u);
  EXPECT_EQ(big.wholeSearchAfter, 64u * big.minMatch);
  // Sizes more than a quarter apart: no window, only the first H bytes are searched.
  auto apart = tarvo::ComputeMatcherParams(400000, 200000, 65536, tarvo::WidthsFor(400000, 200000));
  EXPECT_FALSE(apart.windowed);
  EXPECT_EQ(apart.initialEnd, 200000u >> 5);
  // A small original is always searched whole.
  auto small = tarvo::ComputeMatcherParams(1000, 100, 65536, tarvo::WidthsFor(1000, 100));
  EXPECT_FALSE(small.windowed);
  EXPECT_EQ(small.initialEnd, 1000u);
  EXPECT_EQ(small.checkpointInterval, 0u);
}

TEST(Matcher, IdenticalInputsGiveOneCopy) {
  std::mt19937 rng(1);
  const Bytes data = testsupport::RandomBytes(rng, 5000);
  VectorSink s = Match(data, data);
  EXPECT_EQ(s.copies, 1);
  EXPECT_EQ(s.inserts, 0);
  // offset 0, length 5000 with WO = WL = 2
  EXPECT_EQ(s.code, (Bytes{0x00, 0x00, 0x88, 0x13}));
}

TEST(Matcher, ShortModifiedFileIsOneInsert) {
  // T = 2 * (2 + 1) + 5 = 11 for a 1000-byte original and an 11-byte modified file.
  std::mt19937 rng(2);
  const Bytes orig = testsupport::RandomBytes(rng, 1000);
  const Bytes mod(orig.begin() + 100, orig.begin() + 111);
  VectorSink s = Match(orig, mod);
  EXPECT_EQ(s.copies, 0);
  EXPECT_EQ(s.inserts, 1);
  Bytes expect{0xE8, 0x03, 11};
  expect.insert(expect.end(), mod.begin(), mod.end());
  EXPECT_EQ(s.code, expect);
}

TEST(Matcher, TiesKeepTheLowerOffset) {
  std::mt19937 rng(3);
  const Bytes block = testsupport::RandomBytes(rng, 200);
  Bytes orig = testsupport::RandomBytes(rng, 300);
  orig.insert(orig.end(), block.begin(), block.end());
  orig.insert(orig.end(), 50, 0xAA);
  orig.insert(orig.end(), block.begin(), block.end());
  VectorSink s = Match(orig, block);
  ASSERT_EQ(s.copies, 1);
  EXPECT_EQ(s.code, (Bytes{0x2C, 0x01, 200}));  // offset 300, length 200
}

TEST(Matcher, TinyModifiedFileWithLargeOriginalSearchesNothing) {
  // Under 32 bytes the look-back distance is 0: the range [0, 0) finds nothing.
  std::mt19937 rng(4);
  const Bytes orig = testsupport::RandomBytes(rng, 100000);
  const Bytes mod(orig.begin(), orig.begin() + 31);
  VectorSink s = Match(orig, mod);
  EXPECT_EQ(s.copies, 0);
  EXPECT_EQ(s.inserts, 1);
}

TEST(Matcher, BackwardExtensionRecoversTheStartOfAMatch) {
  std::mt19937 rng(5);
  const Bytes orig = testsupport::RandomBytes(rng, 4000);
  Bytes mod = testsupport::RandomBytes(rng, 30);  // new bytes, then a copy not on a probe
  mod.insert(mod.end(), orig.begin() + 1000, orig.begin() + 2000);
  VectorSink s = Match(orig, mod);
  Bytes expect{0xA0, 0x0F, 30, 0x00};  // insert marker 4000, length 30 (WI = 2)
  expect.insert(expect.end(), mod.begin(), mod.begin() + 30);
  for (uint8_t b : Bytes{0xE8, 0x03, 0xE8, 0x03}) expect.push_back(b);  // copy 1000 @1000
  EXPECT_EQ(s.code, expect);
}

TEST(Matcher, SmallFilesCheckpointEveryIteration) {
  std::mt19937 rng(6);
  const Bytes orig = testsupport::RandomBytes(rng, 100);
  const Bytes mod = testsupport::RandomBytes(rng, 127);
  VectorSink s = Match(orig, mod);
  // B = 0: every probe after the first (pos > 0) reports.
  ASSERT_FALSE(s.checkpoints.empty());
  EXPECT_GT(s.checkpoints.front(), 0u);
}

TEST(Matcher, CancelAtACheckpointStopsAtOnce) {
  std::mt19937 rng(7);
  const Bytes orig = testsupport::RandomBytes(rng, 200000);
  const Bytes mod = testsupport::RandomBytes(rng, 200000);
  VectorSink s(200000, 200000);
  s.cancelAt = 3;
  EXPECT_FALSE(tarvo::RunMatcher(orig.data(), 200000, mod.data(), 200000, 65536, s));
  EXPECT_EQ(s.checkpoints.size(), 3u);
}

// Generated pairs of many shapes: the matcher must write exactly the
// reference stream whichever way it searches, and the stream must rebuild
// the modified file. A small granularity puts small pairs under the
// windowed search with its index and its whole-original searches.
enum class Kind {
  kRandom,     // the original's bytes at random, the modified file edited from it
  kUnrelated,  // nothing in common: long literal runs, whole-original searches
  kRuns,       // long runs of one byte value
  kPeriodic,   // a short pattern over and over, a few bytes changed
  kTies,       // blocks that occur at several places: equal matches
  kEdges,      // the modified file starts and ends with the original's edges
  kBlocks,     // `alphabet` zeros and a random byte, over and over; the
               // modified file has every random byte XOR 0x55, so probes
               // match a byte short of a copy everywhere
};

struct Shape {
  const char* name;
  Kind kind;
  size_t size;
  int edits;
  int alphabet;
  uint32_t granularity;
};

void PrintTo(const Shape& shape, std::ostream* os) { *os << shape.name; }

Bytes MakeOriginal(std::mt19937& rng, const Shape& shape) {
  Bytes o;
  switch (shape.kind) {
    case Kind::kRuns:
      while (o.size() < shape.size) o.insert(o.end(), 1 + rng() % 2000, static_cast<uint8_t>(rng() % shape.alphabet));
      break;
    case Kind::kPeriodic: {
      const Bytes period = testsupport::RandomBytes(rng, 1 + rng() % 60, shape.alphabet);
      while (o.size() < shape.size) o.push_back(period[o.size() % period.size()]);
      for (int k = 0; k < 20; ++k) o[rng() % o.size()] ^= 1;
      break;
    }
    case Kind::kTies: {
      const Bytes block = testsupport::RandomBytes(rng, 500, shape.alphabet);
      while (o.size() < shape.size) {
        const Bytes gap = testsupport::RandomBytes(rng, rng() % 3000, shape.alphabet);
        o.insert(o.end(), gap.begin(), gap.end());
        o.insert(o.end(), block.begin(), block.end());
      }
      break;
    }
    case Kind::kBlocks:
      o.assign(shape.size, 0);
      for (size_t i = static_cast<size_t>(shape.alphabet); i < o.size(); i += static_cast<size_t>(shape.alphabet) + 1) {
        o[i] = static_cast<uint8_t>(rng());
      }
      break;
    default:
      o = testsupport::RandomBytes(rng, shape.size, shape.alphabet);
  }
  o.resize(shape.size);
  return o;
}

Bytes MakeModified(std::mt19937& rng, const Shape& shape, const Bytes& o, unsigned seed) {
  switch (shape.kind) {
    case Kind::kUnrelated:
      return testsupport::RandomBytes(rng, shape.size + seed * 1000, shape.alphabet);
    case Kind::kEdges: {
      // The last probes see only a few bytes; some tails are shorter than a
      // minimum match, some just longer.
      Bytes m(o.begin(), o.begin() + 3000);
      const Bytes middle = testsupport::RandomBytes(rng, shape.size - 6000, shape.alphabet);
      m.insert(m.end(), middle.begin(), middle.end());
      const size_t tail = 3 + seed * 9 + rng() % 30;
      m.insert(m.end(), o.end() - static_cast<long>(tail), o.end());
      return m;
    }
    case Kind::kBlocks: {
      Bytes m = o;
      for (size_t i = static_cast<size_t>(shape.alphabet); i < m.size(); i += static_cast<size_t>(shape.alphabet) + 1) {
        m[i] ^= 0x55;
      }
      return m;
    }
    default:
      return testsupport::Mutate(rng, o, shape.edits, shape.alphabet);
  }
}

class MatcherAgreement : public ::testing::TestWithParam<Shape> {};

TEST_P(MatcherAgreement, SameStreamAsTheReferenceAndRoundTrips) {
  const Shape shape = GetParam();
  for (unsigned seed = 1; seed <= 4; ++seed) {
    std::mt19937 rng(seed * 7919 + static_cast<unsigned>(shape.size));
    const Bytes orig = MakeOriginal(rng, shape);
    const Bytes mod = MakeModified(rng, shape, orig, seed);
    if (mod.empty()) continue;
    const Bytes want = reference::CodeStream(orig, mod, shape.granularity);
    for (auto mode : {tarvo::SearchMode::kDirect, tarvo::SearchMode::kIndexed, tarvo::SearchMode::kByCost}) {
      VectorSink s = Match(orig, mod, shape.granularity, mode);
      ASSERT_EQ(s.code, want) << shape.name << " seed " << seed << " mode " << static_cast<int>(mode);
    }
    ASSERT_EQ(testsupport::Decode(orig, mod.size(), want), mod) << shape.name << " seed " << seed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, MatcherAgreement,
    ::testing::Values(Shape{"tiny", Kind::kRandom, 40, 3, 256, 65536},
                      Shape{"small", Kind::kRandom, 3000, 10, 256, 65536},
                      Shape{"smallLowEntropy", Kind::kRandom, 3000, 10, 3, 65536},
                      Shape{"belowGranularity", Kind::kRandom, 60000, 40, 256, 65536},
                      Shape{"windowed", Kind::kRandom, 300000, 60, 256, 65536},
                      Shape{"windowedLowEntropy", Kind::kRandom, 200000, 60, 4, 65536},
                      Shape{"windowedUnrelated", Kind::kUnrelated, 150000, 0, 256, 65536},
                      Shape{"manyEdits", Kind::kRandom, 400000, 2000, 256, 65536},
                      Shape{"smallWindows", Kind::kRandom, 60000, 40, 256, 4096},
                      Shape{"smallWindowsTwoBytes", Kind::kRandom, 40000, 40, 2, 4096},
                      Shape{"smallWindowsUnrelated", Kind::kUnrelated, 40000, 0, 4, 4096},
                      Shape{"runsOfOneByte", Kind::kRuns, 80000, 40, 3, 4096},
                      Shape{"periodic", Kind::kPeriodic, 60000, 30, 4, 4096},
                      Shape{"ties", Kind::kTies, 60000, 30, 256, 4096},
                      Shape{"edges", Kind::kEdges, 30000, 0, 256, 4096},
                      Shape{"blocksOneShort", Kind::kBlocks, 200000, 0, 20, 65536},
                      Shape{"blocksJustLongEnough", Kind::kBlocks, 200000, 0, 22, 65536},
                      Shape{"blocksSmallWindows", Kind::kBlocks, 60000, 0, 16, 4096}),
    [](const ::testing::TestParamInfo<Shape>& i) { return std::string(i.param.name); });

TEST(MatcherAgreement, SizesMoreThanAQuarterApart) {
  std::mt19937 rng(11);
  const Bytes orig = testsupport::RandomBytes(rng, 200000);
  Bytes mod(orig.begin() + 150000, orig.end());  // only far-away matches
  mod.insert(mod.end(), orig.begin(), orig.begin() + 3000);
  VectorSink s = Match(orig, mod);
  EXPECT_EQ(s.code, reference::CodeStream(orig, mod));
  EXPECT_EQ(testsupport::Decode(orig, mod.size(), s.code), mod);
}

}  // namespace
