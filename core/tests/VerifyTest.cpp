// A verification gives the code a rebuild would give and leaves the disk as
// it found it.
#include <unistd.h>

#include <random>

#include <gtest/gtest.h>

#include "CraftedDelta.h"
#include "DeltaFile.h"
#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

class Verify : public ::testing::Test {
 protected:
  Sandbox box;
  std::string orig = box.Path("orig.bin"), delta = box.Path("d.mvr"), out = box.Path("out.bin");

  // The verdict of a verification, checked against a rebuild of the same
  // files; nothing may be left beside them by the verification.
  E_TARVO_ERROR Check(const char* original) {
    const auto before = ListDir(box.Root());
    const E_TARVO_ERROR verdict = VerifyDeltaFile(original, delta.c_str(), nullptr);
    EXPECT_EQ(ListDir(box.Root()), before);
    EXPECT_TRUE(box.TempFilesLeft().empty());
    EXPECT_EQ(verdict, ReconstructTargetFile(original, delta.c_str(), out.c_str(), nullptr, nullptr));
    ::unlink(out.c_str());
    return verdict;
  }
};

TEST_F(Verify, AgreesWithARebuild) {
  std::mt19937 rng(7);
  const Bytes o = RandomBytes(rng, 300000), m = Mutate(rng, o, 30);
  const std::string mod = box.Path("mod.bin");
  WriteFile(orig, o);
  WriteFile(mod, m);
  ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, nullptr), TARVO_OK);
  ::unlink(mod.c_str());
  EXPECT_EQ(Check(orig.c_str()), TARVO_OK);
  EXPECT_EQ(Check(nullptr), TARVO_OK);  // the recorded original, beside the file

  const Bytes good = ReadFile(delta);
  struct Damage {
    const char* name;
    size_t at;
    E_TARVO_ERROR result;
  };
  const Damage damages[] = {
      {"whole-file checksum", 0, TARVO_ERR_BAD_DELTA},
      {"original's size", 16, TARVO_ERR_WRONG_ORIGINAL},
      {"body", good.size() - 10, TARVO_ERR_BAD_DELTA},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    Bytes bad = good;
    bad[d.at] ^= 0x40;
    WriteFile(delta, bad);
    EXPECT_EQ(Check(orig.c_str()), d.result);
  }
  WriteFile(delta, good);
  Bytes other = o;
  other[100] ^= 1;
  WriteFile(orig, other);
  EXPECT_EQ(Check(orig.c_str()), TARVO_ERR_WRONG_ORIGINAL);
  ::unlink(orig.c_str());
  EXPECT_EQ(Check(orig.c_str()), TARVO_ERR_OPEN_ORIGINAL);
  ::unlink(delta.c_str());
  EXPECT_EQ(VerifyDeltaFile(orig.c_str(), delta.c_str(), nullptr), TARVO_ERR_OPEN_DELTA);
}

// Damage only the decode finds: the checksums of the file itself are right.
TEST_F(Verify, FindsWhatOnlyTheDecodeFinds) {
  const Bytes o{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  const Bytes m{'a', 'b', 'c', 'd'};
  struct Case {
    const char* name;
    Bytes code;
    uint32_t modifiedSize;
    uint32_t modifiedCrc;  // 0: that of m
    E_TARVO_ERROR result;
  };
  const Case cases[] = {
      {"intact", {0, 4}, 4, 0, TARVO_OK},
      {"copy past the original's end", {0, 2, 7, 2}, 4, 0, TARVO_ERR_BAD_DELTA},
      {"stream ends inside a record", {0, 2, 8, 3, 'c'}, 4, 0, TARVO_ERR_BAD_DELTA},
      {"rebuilt checksum wrong", {0, 4}, 4, 0x12345678, TARVO_ERR_BAD_RESULT},
      {"size differs, checksum matches", {0, 4}, 5, 0, TARVO_ERR_SIZE_MISMATCH},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Crafted k = For(o, m, c.code);
    k.modifiedSize = c.modifiedSize;
    if (c.modifiedCrc != 0) k.modifiedCrc = c.modifiedCrc;
    WriteFile(orig, o);
    WriteFile(delta, Build(k));
    EXPECT_EQ(Check(orig.c_str()), c.result);
  }
}

}  // namespace
