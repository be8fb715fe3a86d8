#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "CandidateIndex.h"
#include "IndexedSearch.h"
#include "NaiveScan.h"
#include "OriginalSearch.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Originals in which the scan's skips decide a lot: few byte values, long
// runs of one value, short periods, and blocks that occur several times
// (equal matches at several places).
Bytes Original(std::mt19937& rng, int shape, size_t size) {
  Bytes o;
  const int alphabet = 1 + static_cast<int>(rng() % 4);
  switch (shape) {
    case 0:
      while (o.size() < size) o.push_back(static_cast<uint8_t>(rng() % alphabet));
      break;
    case 1:
      while (o.size() < size) o.insert(o.end(), 1 + rng() % 200, static_cast<uint8_t>(rng() % alphabet));
      break;
    case 2: {
      Bytes period(1 + rng() % 40);
      for (auto& x : period) x = static_cast<uint8_t>(rng() % alphabet);
      while (o.size() < size) o.push_back(period[o.size() % period.size()]);
      for (int k = 0; k < 3; ++k) o[rng() % o.size()] ^= 1;
      break;
    }
    default: {
      Bytes block(30 + rng() % 100);
      for (auto& x : block) x = static_cast<uint8_t>(rng());
      while (o.size() < size) {
        if (rng() % 3 == 0) o.insert(o.end(), block.begin(), block.end());
        else o.push_back(static_cast<uint8_t>(rng()));
      }
    }
  }
  o.resize(size);
  return o;
}

// Probes from the original (long matches, some broken by one changed byte),
// made-up ones, and the last few bytes of a modified file, around the
// minimum match in length.
Bytes Probe(std::mt19937& rng, const Bytes& o, uint32_t floor) {
  Bytes probe;
  const size_t from = rng() % o.size();
  switch (rng() % 4) {
    case 0:
    case 1:
      probe.assign(o.begin() + static_cast<long>(from),
                   o.begin() + static_cast<long>(std::min(o.size(), from + 1 + rng() % 300)));
      if (rng() % 3 == 0) probe[rng() % probe.size()] ^= 1;
      break;
    case 2:
      probe.assign(o.begin() + static_cast<long>(from),
                   o.begin() + static_cast<long>(std::min(o.size(), from + floor - 2 + rng() % 6)));
      break;
    default:
      probe.resize(1 + rng() % 100);
      for (auto& x : probe) x = static_cast<uint8_t>(rng() % 3);
  }
  return probe;
}

// The walk over the index's candidates must find what the scan finds, for
// every sampling the index may use at a given minimum match.
TEST(IndexedSearch, FindsWhatTheScanFinds) {
  std::mt19937 rng(44);
  for (int round = 0; round < 20000; ++round) {
    const int shape = round % 4;
    const Bytes o = Original(rng, shape, 1 + rng() % 3000);
    const auto size = static_cast<uint32_t>(o.size());
    const uint32_t floor = 7 + static_cast<uint32_t>(rng() % 16);
    const uint32_t step = 1 + static_cast<uint32_t>(rng() % (floor + 2 - tarvo::CandidateIndex::kGram));
    const auto index = tarvo::CandidateIndex::Build(o.data(), size, step);
    ASSERT_NE(index, nullptr);
    const Bytes probe = Probe(rng, o, floor);
    // Windows anywhere, including ones at either edge of the original.
    uint64_t start = rng() % (size + 1), end = start + rng() % (size - start + 1);
    if (rng() % 4 == 0) start = 0;
    if (rng() % 4 == 0) end = size;
    const auto want = testsupport::NaiveScan(o, probe, start, end, floor);
    const tarvo::CandidateLookup lookup(*index, size, probe.data(), static_cast<uint32_t>(probe.size()), start,
                                        end, floor);
    std::vector<uint32_t> found;
    const auto got = lookup.Search(o.data(), found);
    ASSERT_EQ(got.length, want.length) << "round " << round << " shape " << shape;
    if (want.length > floor) {
      ASSERT_EQ(got.position, want.position) << "round " << round << " shape " << shape;
    }
  }
}

// A candidate deep inside a run of the probe's first byte: every position
// before it passes over the next, so no position nearby is known to be
// visited and the walk must go back to where the scan is.
TEST(IndexedSearch, CandidateAfterALongRun) {
  std::mt19937 rng(45);
  for (size_t run : {20u, 90u, 1000u, 5000u}) {
    for (uint32_t prefix = 1; prefix <= 12; ++prefix) {
      Bytes o(run, 'a');
      Bytes tail(200);
      for (auto& x : tail) x = static_cast<uint8_t>(rng());
      tail[0] = 'b';
      o.insert(o.end(), tail.begin(), tail.end());
      Bytes probe(prefix, 'a');
      probe.insert(probe.end(), tail.begin(), tail.begin() + 40);
      const uint32_t floor = 13;
      for (uint64_t start : {uint64_t{0}, uint64_t{1}, uint64_t{run / 2}}) {
        const auto want = testsupport::NaiveScan(o, probe, start, o.size(), floor);
        tarvo::OriginalSearch search(o.data(), static_cast<uint32_t>(o.size()), floor, true,
                                     tarvo::SearchMode::kIndexed);
        ASSERT_TRUE(search.Indexed());
        const auto got = search.Range(probe.data(), static_cast<uint32_t>(probe.size()), start, o.size());
        ASSERT_EQ(got.length, want.length) << run << " " << prefix << " " << start;
        ASSERT_EQ(got.position, want.position) << run << " " << prefix << " " << start;
      }
    }
  }
}

}  // namespace
