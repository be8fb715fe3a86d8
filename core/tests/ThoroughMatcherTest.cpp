#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Format.h"
#include "Matcher.h"
#include "TestSupport.h"
#include "ThoroughMatcher.h"

using testsupport::Bytes;

namespace {

struct Record {
  bool copy;
  uint32_t offset;  // copies only
  uint32_t length;
  Bytes data;  // inserts only
  bool operator==(const Record&) const = default;
};

// Keeps the records as calls and as the encoded stream.
class RecordingSink final : public tarvo::MatcherSink {
 public:
  RecordingSink(uint32_t sOrig, uint32_t sMod) : w_(tarvo::WidthsFor(sOrig, sMod)), marker_(sOrig) {}
  void Insert(const uint8_t* data, uint32_t length) override {
    records.push_back({false, 0, length, Bytes(data, data + length)});
    Put(marker_, w_.offset);
    Put(length, w_.insertLength);
    code.insert(code.end(), data, data + length);
  }
  void Copy(uint32_t offset, uint32_t length) override {
    records.push_back({true, offset, length, {}});
    Put(offset, w_.offset);
    Put(length, w_.copyLength);
  }
  bool Checkpoint(uint32_t done, uint32_t total) override {
    checkpoints.push_back({done, total});
    return cancelAt != 0 && checkpoints.size() >= cancelAt;
  }
  std::vector<Record> records;
  Bytes code;
  std::vector<std::pair<uint32_t, uint32_t>> checkpoints;
  size_t cancelAt = 0;

 private:
  void Put(uint32_t v, unsigned w) {
    for (unsigned i = 0; i < w; ++i) code.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  tarvo::FieldWidths w_;
  uint32_t marker_;
};

RecordingSink Thorough(const Bytes& o, const Bytes& m) {
  RecordingSink sink(static_cast<uint32_t>(o.size()), static_cast<uint32_t>(m.size()));
  EXPECT_TRUE(tarvo::RunThoroughMatcher(o.data(), static_cast<uint32_t>(o.size()), m.data(),
                                        static_cast<uint32_t>(m.size()), sink));
  return sink;
}

// What every reader may rely on, checked record by record; an empty string when all hold.
std::string Violation(const std::vector<Record>& records, uint32_t sOrig, uint32_t sMod) {
  const auto w = tarvo::WidthsFor(sOrig, sMod);
  const uint32_t t = 2 * (w.offset + w.copyLength) + 5;
  uint64_t covered = 0;
  bool lastInsert = false;
  for (size_t i = 0; i < records.size(); ++i) {
    const Record& r = records[i];
    const std::string at = " at record " + std::to_string(i);
    if (r.copy) {
      if (uint64_t{r.offset} + r.length > sOrig) return "copy past the original" + at;
      if (r.length <= t) return "copy not longer than " + std::to_string(t) + at;
      lastInsert = false;
    } else {
      if (r.length == 0) return "empty insert" + at;
      if (lastInsert) return "two inserts in a row" + at;
      lastInsert = true;
    }
    covered += r.length;
  }
  if (covered != sMod) return "records cover " + std::to_string(covered) + " bytes of " + std::to_string(sMod);
  return {};
}

size_t Copies(const RecordingSink& s) {
  return static_cast<size_t>(std::count_if(s.records.begin(), s.records.end(), [](const Record& r) { return r.copy; }));
}

// Checks one pair every way: the guarantees, the round trip through a plain
// decoder, the same records on a second run.
void CheckPair(const Bytes& o, const Bytes& m, const std::string& name) {
  SCOPED_TRACE(name);
  const RecordingSink s = Thorough(o, m);
  const uint32_t so = static_cast<uint32_t>(o.size()), sm = static_cast<uint32_t>(m.size());
  ASSERT_EQ(Violation(s.records, so, sm), "");
  ASSERT_EQ(testsupport::Decode(o, m.size(), s.code), m);
  EXPECT_EQ(Thorough(o, m).records, s.records);
}

Bytes Slice(const Bytes& b, size_t from, size_t to) { return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(to)); }
Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct PairCase {
  const char* name;
  Bytes (*original)(std::mt19937&);
  Bytes (*modified)(std::mt19937&, const Bytes& original);
};

const PairCase kPairs[] = {
    {"bothEmpty", [](std::mt19937&) { return Bytes{}; }, [](std::mt19937&, const Bytes&) { return Bytes{}; }},
    {"emptyModified", [](std::mt19937& r) { return testsupport::RandomBytes(r, 5000); },
     [](std::mt19937&, const Bytes&) { return Bytes{}; }},
    {"emptyOriginal", [](std::mt19937&) { return Bytes{}; },
     [](std::mt19937& r, const Bytes&) { return testsupport::RandomBytes(r, 700); }},
    {"oneByteEach", [](std::mt19937&) { return Bytes{7}; }, [](std::mt19937&, const Bytes&) { return Bytes{7}; }},
    {"tinyIdentical", [](std::mt19937& r) { return testsupport::RandomBytes(r, 12); },
     [](std::mt19937&, const Bytes& o) { return o; }},
    {"identical", [](std::mt19937& r) { return testsupport::RandomBytes(r, 20000); },
     [](std::mt19937&, const Bytes& o) { return o; }},
    {"edited", [](std::mt19937& r) { return testsupport::RandomBytes(r, 60000); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 80); }},
    {"editedLowEntropy", [](std::mt19937& r) { return testsupport::RandomBytes(r, 40000, 3); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 60, 3); }},
    {"unrelated", [](std::mt19937& r) { return testsupport::RandomBytes(r, 30000); },
     [](std::mt19937& r, const Bytes&) { return testsupport::RandomBytes(r, 30000); }},
    {"runsOfOneByte",
     [](std::mt19937& r) {
       Bytes o;
       while (o.size() < 50000) o.insert(o.end(), 1 + r() % 3000, static_cast<uint8_t>(r() % 3));
       return o;
     },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 40, 3); }},
    {"allOneByte", [](std::mt19937&) { return Bytes(30000, 0); },
     [](std::mt19937&, const Bytes&) { return Bytes(100000, 0); }},
    {"periodic",
     [](std::mt19937& r) {
       const Bytes period = testsupport::RandomBytes(r, 1 + r() % 40);
       Bytes o(40000);
       for (size_t i = 0; i < o.size(); ++i) o[i] = period[i % period.size()];
       return o;
     },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 30); }},
    {"movedBlocks", [](std::mt19937& r) { return testsupport::RandomBytes(r, 50000); },
     [](std::mt19937& r, const Bytes& o) {
       Bytes m;
       for (int k = 0; k < 40; ++k) {
         const size_t from = r() % (o.size() - 2000);
         m.insert(m.end(), o.begin() + static_cast<long>(from), o.begin() + static_cast<long>(from + 30 + r() % 1900));
       }
       return m;
     }},
    {"tiesEverywhere",
     [](std::mt19937& r) {
       const Bytes block = testsupport::RandomBytes(r, 400);
       Bytes o;
       for (int k = 0; k < 30; ++k) o = Join({o, testsupport::RandomBytes(r, r() % 200), block});
       return o;
     },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 20); }},
    {"matchTouchesTheOriginalsEnd", [](std::mt19937& r) { return testsupport::RandomBytes(r, 3000); },
     [](std::mt19937& r, const Bytes& o) { return Join({testsupport::RandomBytes(r, 40), Slice(o, 2000, 3000)}); }},
    {"modifiedEndsInAShortTail", [](std::mt19937& r) { return testsupport::RandomBytes(r, 3000); },
     [](std::mt19937& r, const Bytes& o) { return Join({Slice(o, 0, 1000), testsupport::RandomBytes(r, 3)}); }},
    {"original255", [](std::mt19937& r) { return testsupport::RandomBytes(r, 255); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 3); }},
    {"original256", [](std::mt19937& r) { return testsupport::RandomBytes(r, 256); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 3); }},
    {"modified255From256", [](std::mt19937& r) { return testsupport::RandomBytes(r, 256); },
     [](std::mt19937&, const Bytes& o) { return Slice(o, 1, 256); }},
    {"original65535", [](std::mt19937& r) { return testsupport::RandomBytes(r, 65535); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 30); }},
    {"original65536", [](std::mt19937& r) { return testsupport::RandomBytes(r, 65536); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 30); }},
    {"originalOverAMebibyte", [](std::mt19937& r) { return testsupport::RandomBytes(r, 1200000, 16); },
     [](std::mt19937& r, const Bytes& o) { return testsupport::Mutate(r, o, 100, 16); }},
    {"modified65536From65535", [](std::mt19937& r) { return testsupport::RandomBytes(r, 65535); },
     [](std::mt19937&, const Bytes& o) { return Join({o, Bytes{1}}); }},
};

TEST(ThoroughMatcher, PairsOfEveryShapeRoundTripWithinTheGuarantees) {
  for (const PairCase& c : kPairs) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      std::mt19937 rng(seed);
      const Bytes o = c.original(rng);
      const Bytes m = c.modified(rng, o);
      CheckPair(o, m, std::string(c.name) + " seed " + std::to_string(seed));
    }
  }
}

TEST(ThoroughMatcher, NeverWritesMoreThanTheStandardMatcher) {
  for (const PairCase& c : kPairs) {
    std::mt19937 rng(9);
    const Bytes o = c.original(rng);
    const Bytes m = c.modified(rng, o);
    if (m.empty()) continue;
    RecordingSink standard(static_cast<uint32_t>(o.size()), static_cast<uint32_t>(m.size()));
    ASSERT_TRUE(tarvo::RunMatcher(o.data(), static_cast<uint32_t>(o.size()), m.data(), static_cast<uint32_t>(m.size()),
                                  65536, standard));
    EXPECT_LE(Thorough(o, m).code.size(), standard.code.size()) << c.name;
  }
}

TEST(ThoroughMatcher, CopiesOnlyMatchesLongerThanTheThreshold) {
  // 3000-byte original, 1100-byte modified: WO = WL = 2, so T = 13. A copy
  // between two inserts pays from T + 1 bytes on. The original is indexed
  // every seventh byte, so the shortest copy is looked for at each place in
  // that period, and at both ends of the original.
  std::mt19937 rng(21);
  const Bytes o = testsupport::RandomBytes(rng, 3000);
  for (uint32_t len : {13u, 14u}) {
    for (uint32_t at : {1000u, 1001u, 1002u, 1003u, 1004u, 1005u, 1006u, 1007u, 0u, 3000u - len}) {
      Bytes m = Join({testsupport::RandomBytes(rng, 500), Slice(o, at, at + len),
                      testsupport::RandomBytes(rng, 1100 - 500 - len)});
      // The neighbours must not lengthen the match by chance.
      if (at > 0 && m[499] == o[at - 1]) m[499] ^= 1;
      if (at + len < o.size() && m[500 + len] == o[at + len]) m[500 + len] ^= 1;
      const RecordingSink s = Thorough(o, m);
      ASSERT_EQ(Violation(s.records, 3000, 1100), "");
      ASSERT_EQ(Copies(s), len > 13 ? 1u : 0u) << len << " bytes from " << at;
      if (len > 13) {
        EXPECT_EQ(s.records[1], (Record{true, at, len, {}})) << at;
      }
    }
  }
}

TEST(ThoroughMatcher, FindsMatchesAnywhereInTheOriginal) {
  // Blocks of the original's far end, in reverse order: each is one copy.
  std::mt19937 rng(22);
  const Bytes o = testsupport::RandomBytes(rng, 100000);
  const Bytes m = Join({Slice(o, 99000, 100000), Slice(o, 50000, 51000), Slice(o, 0, 1000)});
  const RecordingSink s = Thorough(o, m);
  const std::vector<Record> want{{true, 99000, 1000, {}}, {true, 50000, 1000, {}}, {true, 0, 1000, {}}};
  EXPECT_EQ(s.records, want);
}

TEST(ThoroughMatcher, ChangedBytesKeepTheCopiesOnTheirTrack) {
  // The original holds a block twice; the modified file is the second one
  // with its surroundings, one byte changed inside the block and one after
  // it. The rest of the block ties between both places: the copy goes on
  // from where the changed byte's original was.
  std::mt19937 rng(23);
  const Bytes block = testsupport::RandomBytes(rng, 300);
  const Bytes o = Join({block, testsupport::RandomBytes(rng, 1000), block, testsupport::RandomBytes(rng, 1000)});
  Bytes m = Slice(o, 1200, 2100);
  m[200] ^= 0xFF;
  m[400] ^= 0xFF;
  const RecordingSink s = Thorough(o, m);
  const std::vector<Record> want{{true, 1200, 200, {}},
                                 {false, 0, 1, {m[200]}},
                                 {true, 1401, 199, {}},
                                 {false, 0, 1, {m[400]}},
                                 {true, 1601, 499, {}}};
  EXPECT_EQ(s.records, want);
}

TEST(ThoroughMatcher, ReportsProgressAndStopsWhenCancelled) {
  std::mt19937 rng(24);
  const Bytes o = testsupport::RandomBytes(rng, 300000);
  const Bytes m = testsupport::Mutate(rng, o, 200);
  const uint32_t sm = static_cast<uint32_t>(m.size());
  const RecordingSink whole = Thorough(o, m);
  // One report once the original is indexed, then one in each 64 KiB after
  // the first over a file this small.
  ASSERT_EQ(whole.checkpoints.size(), 1 + (sm - 1) / 65536);
  EXPECT_EQ(whole.checkpoints.front().first, 0u);
  uint32_t last = 0;
  for (size_t i = 0; i < whole.checkpoints.size(); ++i) {
    const auto [done, total] = whole.checkpoints[i];
    EXPECT_EQ(total, sm);
    EXPECT_LT(done, total);
    if (i > 0) {
      EXPECT_GT(done / 65536, last / 65536);
    }
    last = done;
  }
  for (size_t cancelAt : {size_t{1}, size_t{3}}) {
    RecordingSink cancelled(static_cast<uint32_t>(o.size()), sm);
    cancelled.cancelAt = cancelAt;
    EXPECT_FALSE(tarvo::RunThoroughMatcher(o.data(), static_cast<uint32_t>(o.size()), m.data(), sm, cancelled));
    EXPECT_EQ(cancelled.checkpoints.size(), cancelAt);
    EXPECT_TRUE(cancelled.records.empty());
  }
}

}  // namespace
