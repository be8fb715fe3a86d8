#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "NaiveScan.h"
#include "SearchScan.h"
#include "TestSupport.h"

namespace {

using testsupport::NaiveScan;

// Runs of equal bytes, long matches and block edges decide which positions
// the fast scan visits; small alphabets make all of them common.
TEST(SearchScan, VisitsWhatAByteByByteScanVisits) {
  std::mt19937 rng(42);
  for (int round = 0; round < 20000; ++round) {
    const int alphabet = 1 + static_cast<int>(rng() % 4);
    const size_t size = 1 + rng() % 1500;
    std::vector<uint8_t> o(size);
    for (auto& x : o) x = static_cast<uint8_t>(rng() % alphabet);
    // Probes taken from the original give long matches; others short ones.
    std::vector<uint8_t> probe;
    const size_t probeLen = 1 + rng() % 200;
    if (rng() % 2) {
      const size_t from = rng() % size;
      probe.assign(o.begin() + static_cast<long>(from), o.begin() + static_cast<long>(std::min(size, from + probeLen)));
    } else {
      probe.resize(probeLen);
      for (auto& x : probe) x = static_cast<uint8_t>(rng() % alphabet);
    }
    const uint64_t start = rng() % (size + 1);
    const uint64_t end = start + rng() % (size - start + 1);
    const uint32_t floor = 3 + static_cast<uint32_t>(rng() % 12);
    const auto want = NaiveScan(o, probe, start, end, floor);
    const auto got = tarvo::SearchRange(o.data(), static_cast<uint32_t>(size), probe.data(),
                                        static_cast<uint32_t>(probe.size()), start, end, floor);
    ASSERT_EQ(got.length, want.length) << "round " << round;
    if (want.length > floor) {
      ASSERT_EQ(got.position, want.position) << "round " << round;
    }
  }
}

}  // namespace

namespace {

// Each round builds a pair index whose rows span 65536 pair values, which an
// unoptimised sanitizer build fills a hundred times slower: there a tenth of
// the rounds (the same seed, so the first of them) looks for bad reads and
// writes, while the optimised build checks every round's result.
constexpr int kWholeSearchRounds = testsupport::kSanitizedBuild ? 2000 : 20000;

// Skipping stretches without the probe's first pair must leave the scan
// exactly where walking them would: stretches of 4 to 64 bytes put runs,
// matches and block edges across every kind of boundary.
TEST(SearchScan, WholeOriginalSearchSkipsOnlyWhatCannotMatter) {
  std::mt19937 rng(43);
  for (int round = 0; round < kWholeSearchRounds; ++round) {
    const int alphabet = 1 + static_cast<int>(rng() % 5);
    const size_t size = 2 + rng() % 3000;
    std::vector<uint8_t> o(size);
    for (auto& x : o) x = static_cast<uint8_t>(rng() % alphabet);
    std::vector<uint8_t> probe;
    const size_t from = rng() % size;
    probe.assign(o.begin() + static_cast<long>(from),
                 o.begin() + static_cast<long>(std::min(size, from + 1 + rng() % 300)));
    if (rng() % 3 == 0) probe[rng() % probe.size()] ^= 1;
    const uint32_t floor = 3 + static_cast<uint32_t>(rng() % 12);
    const tarvo::PairIndex index(o.data(), static_cast<uint32_t>(size), 2 + static_cast<unsigned>(rng() % 5));
    const auto want = NaiveScan(o, probe, 0, size, floor);
    const auto got = tarvo::SearchWhole(o.data(), static_cast<uint32_t>(size), probe.data(),
                                        static_cast<uint32_t>(probe.size()), floor, index);
    ASSERT_EQ(got.length, want.length) << "round " << round;
    if (want.length > floor) {
      ASSERT_EQ(got.position, want.position) << "round " << round;
    }
  }
}

}  // namespace
