#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "CraftedDelta.h"
#include "DeltaFile.h"
#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

class Reconstruct : public ::testing::Test {
 protected:
  Sandbox box;
  std::string orig = box.Path("orig.bin"), mod = box.Path("mod.bin"), delta = box.Path("d.mvr"),
              out = box.Path("out.bin");

  E_TARVO_ERROR Rebuild(const S_TARVO_NOTIFY_INFO* n = nullptr, const S_TARVO_RECONSTRUCT_OPTIONS* o = nullptr) {
    return ReconstructTargetFile(orig.c_str(), delta.c_str(), out.c_str(), n, o);
  }
  void Construct(const Bytes& o, const Bytes& m) {
    WriteFile(orig, o);
    WriteFile(mod, m);
    ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, nullptr), TARVO_OK);
  }
  // The original o is on disk; the crafted file goes to `delta`.
  void Craft(const Bytes& o, const Crafted& c) {
    WriteFile(orig, o);
    WriteFile(delta, Build(c));
  }
  void ExpectNoTempFiles() { EXPECT_TRUE(box.TempFilesLeft().empty()); }
};

TEST_F(Reconstruct, RoundTripIsTheIdentity) {
  struct Shape {
    size_t size;
    int edits;
    int alphabet;
  };
  unsigned seed = 0;
  for (const Shape s : {Shape{1, 1, 256}, Shape{300, 3, 256}, Shape{5000, 20, 4}, Shape{70000, 50, 256},
                        Shape{400000, 300, 16}, Shape{300000, 0, 256}}) {
    for (int k = 0; k < 3; ++k) {
      std::mt19937 rng(++seed);
      const Bytes o = RandomBytes(rng, s.size, s.alphabet);
      Bytes m = Mutate(rng, o, s.edits, s.alphabet);
      if (m.empty()) m.push_back(1);
      Construct(o, m);
      ASSERT_EQ(Rebuild(), TARVO_OK) << s.size << " seed " << seed;
      ASSERT_EQ(ReadFile(out), m) << s.size << " seed " << seed;
      ExpectNoTempFiles();
    }
  }
}

TEST_F(Reconstruct, RecordedNamesAreTheDefaults) {
  std::mt19937 rng(3);
  const Bytes o = RandomBytes(rng, 3000), m = Mutate(rng, o, 5);
  Construct(o, m);
  ::unlink(mod.c_str());
  // Both names from the header: full paths as construction stored them.
  ASSERT_EQ(ReconstructTargetFile(nullptr, delta.c_str(), nullptr, nullptr, nullptr), TARVO_OK);
  EXPECT_EQ(ReadFile(mod), m);
  // Bare names resolve against the current folder.
  S_TARVO_CONSTRUCT_OPTIONS bare{20, 43, 0, 0, 1, 0, 0};
  ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, &bare), TARVO_OK);
  ::unlink(mod.c_str());
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(::chdir(box.Root().c_str()), 0);
  const E_TARVO_ERROR r = ReconstructTargetFile("", delta.c_str(), "", nullptr, nullptr);
  ASSERT_EQ(::chdir(cwd), 0);
  EXPECT_EQ(r, TARVO_OK);
  EXPECT_EQ(ReadFile(mod), m);
}

// Any damage to a difference file is caught before the output exists.
TEST_F(Reconstruct, EverySingleByteChangeIsRejected) {
  std::mt19937 rng(4);
  const Bytes o = RandomBytes(rng, 2000, 8), m = Mutate(rng, o, 10, 8);
  Construct(o, m);
  const Bytes good = ReadFile(delta);
  for (size_t i = 0; i < good.size(); ++i) {
    for (uint8_t change : {uint8_t{0x01}, uint8_t{0xFF}}) {
      Bytes bad = good;
      bad[i] ^= change;
      WriteFile(delta, bad);
      const E_TARVO_ERROR want = (i >= 16 && i < 20) ? TARVO_ERR_WRONG_ORIGINAL : TARVO_ERR_BAD_DELTA;
      ASSERT_EQ(Rebuild(), want) << "byte " << i;
      ASSERT_FALSE(Exists(out)) << "byte " << i;
    }
  }
  ExpectNoTempFiles();
}

TEST_F(Reconstruct, WrongOriginalIsRejectedBeforeWriting) {
  std::mt19937 rng(5);
  const Bytes o = RandomBytes(rng, 4000), m = Mutate(rng, o, 10);
  Construct(o, m);
  Bytes other = o;
  other[1234] ^= 1;
  for (const Bytes& wrong : {other, Bytes(o.begin(), o.end() - 1)}) {
    WriteFile(orig, wrong);
    EXPECT_EQ(Rebuild(), TARVO_ERR_WRONG_ORIGINAL);
    EXPECT_FALSE(Exists(out));
  }
}

TEST_F(Reconstruct, OpenFailuresAndShortFiles) {
  std::mt19937 rng(6);
  const Bytes o = RandomBytes(rng, 1000), m = Mutate(rng, o, 3);
  Construct(o, m);
  EXPECT_EQ(ReconstructTargetFile(orig.c_str(), box.Path("none.mvr").c_str(), out.c_str(), nullptr, nullptr),
            TARVO_ERR_OPEN_DELTA);
  EXPECT_EQ(ReconstructTargetFile(box.Path("none").c_str(), delta.c_str(), out.c_str(), nullptr, nullptr),
            TARVO_ERR_OPEN_ORIGINAL);
  const Bytes full = ReadFile(delta);
  for (size_t n : {size_t{0}, size_t{56}, size_t{57}}) {
    WriteFile(delta, Bytes(full.begin(), full.begin() + static_cast<long>(n)));
    EXPECT_EQ(Rebuild(), TARVO_ERR_BAD_DELTA) << n;
  }
  EXPECT_EQ(ReconstructTargetFile(orig.c_str(), box.Path("").c_str(), out.c_str(), nullptr, nullptr),
            TARVO_ERR_OPEN_DELTA);  // a folder is no file to read
  EXPECT_FALSE(Exists(out));
}

TEST_F(Reconstruct, OutputThatIsAnInputIsRefused) {
  std::mt19937 rng(7);
  const Bytes o = RandomBytes(rng, 1000), m = Mutate(rng, o, 3);
  Construct(o, m);
  const Bytes d = ReadFile(delta);
  for (const std::string& target : {orig, delta}) {
    EXPECT_EQ(ReconstructTargetFile(orig.c_str(), delta.c_str(), target.c_str(), nullptr, nullptr),
              TARVO_ERR_CREATE_OUTPUT);
  }
  EXPECT_EQ(ReadFile(orig), o);
  EXPECT_EQ(ReadFile(delta), d);
}

TEST_F(Reconstruct, MissingTempFolderLeavesNoOutput) {
  std::mt19937 rng(8);
  const Bytes o = RandomBytes(rng, 1000), m = Mutate(rng, o, 3);
  Construct(o, m);
  ::setenv("TMPDIR", box.Path("gone").c_str(), 1);
  EXPECT_EQ(Rebuild(), TARVO_ERR_BAD_DELTA);
  // An empty file under the name would make a rerun with the recorded name refuse it.
  EXPECT_FALSE(Exists(out));
}

// Streams that construction never writes but the format allows.
TEST_F(Reconstruct, AcceptsWhatTheFormatAllows) {
  const Bytes o{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};  // WO = 1, marker 8
  const Bytes m{'X', 'Y', 'c', 'd', 'e', 'Z', 'a', 'b'};
  struct Case {
    const char* name;
    Bytes original;
    Bytes modified;
    Bytes code;
    int level;
    Bytes trailing;
  };
  const Case cases[] = {
      {"adjacent inserts and a marker above the size", o, m,
       {8, 1, 'X', 200, 1, 'Y', 2, 3, 8, 1, 'Z', 0, 2}, 9, {}},
      {"zero-length records", o, m, {8, 0, 8, 2, 'X', 'Y', 5, 0, 2, 3, 8, 1, 'Z', 0, 2, 8, 0}, 9, {}},
      {"another compression level and trailing bytes", o, m, {8, 2, 'X', 'Y', 2, 3, 8, 1, 'Z', 0, 2}, 1,
       {1, 2, 3}},
      {"copy ending at the original's end", o, Bytes{'f', 'g', 'h'}, {5, 3}, 9, {}},
      {"empty original: every record an insert without marker", {}, m, {8, 'X', 'Y', 'c', 'd', 'e', 'Z', 'a', 'b'}, 9, {}},
      {"empty modified file", o, {}, {}, 9, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Crafted k = For(c.original, c.modified, c.code);
    k.level = c.level;
    k.trailing = c.trailing;
    Craft(c.original, k);
    ASSERT_EQ(Rebuild(), TARVO_OK);
    EXPECT_EQ(ReadFile(out), c.modified);
    ::unlink(out.c_str());
  }
  ExpectNoTempFiles();
}

// Damage that only decoding can see: checksums are all valid.
TEST_F(Reconstruct, DecodeTimeDamage) {
  const Bytes o{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  const Bytes m{'a', 'b', 'c', 'd'};
  enum class Left { Nothing, Partial, Whole };
  struct Case {
    const char* name;
    Bytes code;
    uint32_t modifiedSize;
    uint32_t modifiedCrc;  // 0: that of m
    E_TARVO_ERROR result;
    Left left;
    size_t leftSize;
  };
  const uint32_t wrongCrc = 0x12345678;
  const Case cases[] = {
      {"copy past the original's end", {0, 2, 7, 2}, 4, 0, TARVO_ERR_BAD_DELTA, Left::Partial, 0},
      {"stream ends inside a record", {0, 2, 8, 3, 'c'}, 4, 0, TARVO_ERR_BAD_DELTA, Left::Partial, 0},
      {"stream ends inside a field", {0, 4, 8}, 4, 0, TARVO_ERR_BAD_DELTA, Left::Partial, 0},
      {"output past the recorded size", {0, 4, 0, 1, 0, 1}, 4, 0, TARVO_ERR_BAD_DELTA, Left::Partial, 0},
      {"rebuilt checksum wrong", {0, 4}, 4, wrongCrc, TARVO_ERR_BAD_RESULT, Left::Whole, 4},
      {"size differs, checksum matches", {0, 4}, 5, 0, TARVO_ERR_SIZE_MISMATCH, Left::Nothing, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Crafted k = For(o, m, c.code);
    k.modifiedSize = c.modifiedSize;
    if (c.modifiedCrc != 0) k.modifiedCrc = c.modifiedCrc;
    Craft(o, k);
    EXPECT_EQ(Rebuild(), c.result);
    switch (c.left) {
      case Left::Nothing: EXPECT_FALSE(Exists(out)); break;
      case Left::Partial: EXPECT_TRUE(Exists(out)); break;
      case Left::Whole: EXPECT_EQ(ReadFile(out), m); break;
    }
    ::unlink(out.c_str());
  }
  ExpectNoTempFiles();
}

TEST_F(Reconstruct, RecordsThatConsumeNothingEndTheCall) {
  // Both sizes 0: no field has any width, so a non-empty stream could only
  // repeat empty inserts for ever.
  Crafted k = For({}, {}, {1, 2, 3});
  Craft({}, k);
  EXPECT_EQ(Rebuild(), TARVO_ERR_BAD_DELTA);
}

TEST_F(Reconstruct, VersionOneBodies) {
  std::mt19937 rng(9);
  const Bytes o = RandomBytes(rng, 20000, 8);
  const Bytes m = Mutate(rng, o, 30, 8);
  // The stream the matcher would write, packed the version-1 way.
  Construct(o, m);
  const Bytes code = Parse(ReadFile(delta)).code;
  Craft(o, For(o, m, code, '1'));
  ASSERT_EQ(Rebuild(), TARVO_OK);
  EXPECT_EQ(ReadFile(out), m);
  // Damage inside the imploded body, with the file checksum made to fit.
  Bytes bad = ReadFile(delta);
  for (size_t i = 56 + 2 + 10; i < bad.size(); i += 7) bad[i] ^= 0x5A;
  Seal(bad);
  WriteFile(delta, bad);
  ::unlink(out.c_str());
  const E_TARVO_ERROR r = Rebuild();
  EXPECT_TRUE(r == TARVO_ERR_BAD_DELTA || r == TARVO_ERR_BAD_RESULT) << r;
  ExpectNoTempFiles();
}

struct Host {
  std::vector<SeenEvent> events;
  int32_t answerExists = 0;
  size_t stopOnlyAt = 0;  // stop at this report only (1-based)
  static int32_t Fn(TypeNotifyEvent* e, uintptr_t self) {
    auto* h = reinterpret_cast<Host*>(self);
    h->events.emplace_back(*e);
    if (e->nKind == TARVO_EVENT_FILE_EXISTS) return h->answerExists;
    return h->events.size() == h->stopOnlyAt;
  }
  S_TARVO_NOTIFY_INFO Target() {
    S_TARVO_NOTIFY_INFO n{};
    n.dwMethod = TARVO_NOTIFY_FUNCTION;
    n.pfnNotify = Fn;
    n.nMessage = reinterpret_cast<uintptr_t>(this);
    return n;
  }
};

TEST_F(Reconstruct, ProgressAndCancel) {
  std::mt19937 rng(10);
  const Bytes o = RandomBytes(rng, 200000), m = Mutate(rng, o, 400);
  Construct(o, m);
  Host h;
  const auto n = h.Target();
  ASSERT_EQ(Rebuild(&n), TARVO_OK);
  ASSERT_GE(h.events.size(), 3u);
  EXPECT_EQ(h.events.front().done, 0u);
  EXPECT_EQ(h.events.back().done, m.size());
  for (size_t i = 0; i < h.events.size(); ++i) {
    EXPECT_EQ(h.events[i].name, out);
    EXPECT_EQ(h.events[i].total, m.size());
    // Checkpoints come at least 1/32 of the file apart.
    if (i > 1 && i + 1 < h.events.size()) {
      EXPECT_GT(h.events[i].done - h.events[i - 1].done, m.size() / 32);
    }
  }
  // Stops asked at the first or the last report are not heard; at a checkpoint they are.
  for (size_t k : {size_t{1}, h.events.size()}) {
    ::unlink(out.c_str());  // no overwrite question in the count
    Host once;
    once.stopOnlyAt = k;
    const auto on = once.Target();
    EXPECT_EQ(Rebuild(&on), TARVO_OK) << k;
  }
  ::unlink(out.c_str());
  Host c;
  c.stopOnlyAt = 2;
  const auto cn = c.Target();
  EXPECT_EQ(Rebuild(&cn), TARVO_ERR_CANCELLED);
  EXPECT_FALSE(Exists(out));
  ExpectNoTempFiles();
}

TEST_F(Reconstruct, OverwriteQuestion) {
  std::mt19937 rng(11);
  const Bytes o = RandomBytes(rng, 3000), m = Mutate(rng, o, 5);
  Construct(o, m);
  const Bytes old{'o', 'l', 'd'};
  WriteFile(out, old);
  Host refuse;
  refuse.answerExists = 1;
  const auto rn = refuse.Target();
  EXPECT_EQ(Rebuild(&rn), TARVO_ERR_OVERWRITE_REFUSED);
  EXPECT_EQ(ReadFile(out), old);
  ASSERT_EQ(refuse.events.size(), 1u);
  EXPECT_EQ(refuse.events[0].name, out);
  // Off (also through a short record that reaches only this field), or no host: overwritten.
  S_TARVO_RECONSTRUCT_OPTIONS off{8, 0, 0, 0, nullptr};
  EXPECT_EQ(Rebuild(&rn, &off), TARVO_OK);
  EXPECT_EQ(ReadFile(out), m);
  WriteFile(out, old);
  S_TARVO_RECONSTRUCT_OPTIONS shortRecord{4, 0, 0, 0, nullptr};
  EXPECT_EQ(Rebuild(&rn, &shortRecord), TARVO_ERR_OVERWRITE_REFUSED);
  EXPECT_EQ(Rebuild(nullptr, nullptr), TARVO_OK);
  EXPECT_EQ(ReadFile(out), m);
}

}  // namespace
