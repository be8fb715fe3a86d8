// Task entries and the owning task array.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "CraftedDelta.h"
#include "TarvoCore.h"
#include "TarvoTaskArray.h"
#include "TarvoTaskEntry.h"
#include "TestSupport.h"

using testsupport::Bytes;

namespace {

constexpr uint32_t kUnknown = 0xFFFFFFFFu;

class TaskEntry : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, size_t size) {
    const std::string path = box.Path(name);
    testsupport::WriteFile(path, Bytes(size, 'x'));
    return path;
  }
  testsupport::Sandbox box;
};

TEST_F(TaskEntry, NewEntriesMeasureOnlyTheExistingFile) {
  const CTarvoTaskEntry empty;
  EXPECT_EQ(empty.GetReferenceFile(), "");
  EXPECT_EQ(empty.GetExistingFile(), "");
  EXPECT_EQ(empty.GetOutputFile(), "");
  EXPECT_EQ(empty.GetReferenceFileSize(), kUnknown);
  EXPECT_EQ(empty.GetExistingFileSize(), kUnknown);
  EXPECT_EQ(empty.GetOutputFileSize(), kUnknown);

  const std::string ref = Make("ref", 11), existing = Make("mod", 22), out = Make("out", 33);
  // Stored as given: the folder stays unresolved.
  const std::string roundabout = box.Root() + "/./x/../ref";
  const CTarvoTaskEntry full(roundabout.c_str(), existing.c_str(), out.c_str());
  EXPECT_EQ(full.GetReferenceFile(), roundabout);
  EXPECT_EQ(full.GetReferenceFileSize(), kUnknown);
  EXPECT_EQ(full.GetExistingFileSize(), 22u);
  EXPECT_EQ(full.GetOutputFileSize(), kUnknown);

  const CTarvoTaskEntry partial(nullptr, existing.c_str(), nullptr);
  EXPECT_EQ(partial.GetReferenceFile(), "");
  EXPECT_EQ(partial.GetOutputFile(), "");
  EXPECT_EQ(partial.GetExistingFileSize(), 22u);
}

struct NameField {
  const char* what;
  void (CTarvoTaskEntry::*set)(const char*, bool);
  const std::string& (CTarvoTaskEntry::*name)() const;
  uint32_t (CTarvoTaskEntry::*size)() const;
};

TEST_F(TaskEntry, SettersMeasureOnlyWhenAsked) {
  const NameField fields[] = {
      {"reference", &CTarvoTaskEntry::SetReferenceFile, &CTarvoTaskEntry::GetReferenceFile,
       &CTarvoTaskEntry::GetReferenceFileSize},
      {"existing", &CTarvoTaskEntry::SetExistingFile, &CTarvoTaskEntry::GetExistingFile,
       &CTarvoTaskEntry::GetExistingFileSize},
      {"output", &CTarvoTaskEntry::SetOutputFile, &CTarvoTaskEntry::GetOutputFile,
       &CTarvoTaskEntry::GetOutputFileSize},
  };
  const std::string a = Make("a", 123), b = Make("b", 7), missing = box.Path("missing");
  for (const NameField& f : fields) {
    SCOPED_TRACE(f.what);
    CTarvoTaskEntry e;
    (e.*f.set)(a.c_str(), true);
    EXPECT_EQ((e.*f.size)(), 123u);
    (e.*f.set)(b.c_str(), false);
    EXPECT_EQ((e.*f.name)(), b);
    EXPECT_EQ((e.*f.size)(), 123u) << "kept, not reset";
    (e.*f.set)(missing.c_str(), true);
    EXPECT_EQ((e.*f.size)(), kUnknown);
    (e.*f.set)(nullptr, false);
    EXPECT_EQ((e.*f.name)(), "");
  }
}

TEST_F(TaskEntry, DeltaOutputAppendsTheExtension) {
  const struct {
    const char* existing;
    const char* output;
  } cases[] = {{"/work/app.exe", "/work/app.exe.mvr"}, {"report", "report.mvr"}, {"a.mvr", "a.mvr.mvr"}};
  for (const auto& c : cases) {
    CTarvoTaskEntry e(nullptr, c.existing, "old");
    e.SetOutputFileSize(5);
    EXPECT_TRUE(e.CompleteDeltaOutput());
    EXPECT_EQ(e.GetOutputFile(), c.output);
    EXPECT_EQ(e.GetOutputFileSize(), 5u);
  }
}

TEST_F(TaskEntry, TargetOutputComesFromTheHeader) {
  const std::string orig = Make("orig.bin", 3000);
  std::mt19937 rng(5);
  const std::string mod = box.Path("mod.bin");
  testsupport::WriteFile(mod, testsupport::RandomBytes(rng, 4321));
  for (const int32_t fullPaths : {1, 0}) {
    SCOPED_TRACE(fullPaths);
    const std::string delta = box.Path("d" + std::to_string(fullPaths) + ".mvr");
    const S_TARVO_CONSTRUCT_OPTIONS options{sizeof options, 43, fullPaths, fullPaths, 0, 0, 0};
    ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, &options), TARVO_OK);
    CTarvoTaskEntry e(nullptr, delta.c_str(), nullptr);
    e.SetReferenceFile("chosen", false);
    const uint32_t deltaSize = e.GetExistingFileSize();
    ASSERT_TRUE(e.CompleteTargetOutput());
    // Bare recorded names are where the core looks for and creates them:
    // beside the difference file, whatever the working folder.
    EXPECT_EQ(e.GetReferenceFile(), orig);
    EXPECT_EQ(e.GetOutputFile(), mod);
    EXPECT_TRUE(e.IsOutputRecorded());
    EXPECT_EQ(e.GetOutputFileSize(), 4321u);
    EXPECT_EQ(e.GetReferenceFileSize(), kUnknown);
    EXPECT_EQ(e.GetExistingFileSize(), deltaSize);
  }
  for (const std::string& notADelta : {box.Path("missing.mvr"), orig}) {
    CTarvoTaskEntry e("r", notADelta.c_str(), "o");
    e.SetOutputFileSize(9);
    EXPECT_FALSE(e.CompleteTargetOutput());
    EXPECT_EQ(e.GetReferenceFile(), "r");
    EXPECT_EQ(e.GetOutputFile(), "o");
    EXPECT_EQ(e.GetOutputFileSize(), 9u);
    EXPECT_FALSE(e.IsOutputRecorded());
  }
}

// Recorded names written on the other system, or naming a folder that is not
// there, are looked for and created by their base name beside the difference
// file; an original that is where it was recorded stays there.
TEST_F(TaskEntry, RecordedNamesAreResolvedAsTheCoreResolvesThem) {
  ::mkdir(box.Path("d").c_str(), 0700);
  const std::string elsewhere = Make("elsewhere.bin", 10);
  const struct {
    const char* what;
    std::string original, modified;        // as recorded
    std::string reference, output;         // as the entry holds them
  } cases[] = {
      {"Windows names", "D:\\src\\orig.bin", "C:\\Users\\Ann\\new.bin", box.Path("d/orig.bin"),
       box.Path("d/new.bin")},
      {"a recorded original that is there", elsewhere, box.Path("gone/new.bin"), elsewhere, box.Path("d/new.bin")},
      {"a refused modified name is kept as recorded", "orig.bin", "..", box.Path("d/orig.bin"), ".."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::Crafted crafted = testsupport::For({'o'}, {'m'}, {1, 1, 'm'});
    crafted.originalName = c.original;
    crafted.modifiedName = c.modified;
    const std::string delta = box.Path("d/x.mvr");
    testsupport::WriteFile(delta, testsupport::Build(crafted));
    CTarvoTaskEntry e(nullptr, delta.c_str(), nullptr);
    ASSERT_TRUE(e.CompleteTargetOutput());
    EXPECT_EQ(e.GetReferenceFile(), c.reference);
    EXPECT_EQ(e.GetOutputFile(), c.output);
    EXPECT_TRUE(e.IsOutputRecorded());
  }
}

// Only the difference file makes an output a recorded one; any name set
// afterwards is the user's, and a copy keeps the origin.
TEST_F(TaskEntry, OutputOriginFollowsTheName) {
  testsupport::Crafted crafted = testsupport::For({'o'}, {'m'}, {1, 1, 'm'});
  const std::string delta = box.Path("x.mvr");
  testsupport::WriteFile(delta, testsupport::Build(crafted));
  CTarvoTaskEntry typed("r", delta.c_str(), "out");
  EXPECT_FALSE(typed.IsOutputRecorded());
  EXPECT_TRUE(typed.CompleteDeltaOutput());
  EXPECT_FALSE(typed.IsOutputRecorded());

  CTarvoTaskEntry recorded(nullptr, delta.c_str(), nullptr);
  ASSERT_TRUE(recorded.CompleteTargetOutput());
  CTarvoTaskArray a;
  a.AddCopy(&recorded);
  EXPECT_TRUE(a[0].IsOutputRecorded());
  recorded.SetOutputFile(recorded.GetOutputFile().c_str(), false);
  EXPECT_FALSE(recorded.IsOutputRecorded());
  EXPECT_TRUE(a[0].IsOutputRecorded());
  // A recorded output in use is reported only while the name is recorded.
  testsupport::WriteFile(a[0].GetOutputFile(), Bytes(3, 'k'));
  EXPECT_EQ(a[0].RecordedOutputInUse(), a[0].GetOutputFile());
  EXPECT_EQ(recorded.RecordedOutputInUse(), "");
}

TEST_F(TaskEntry, ValidationWantsBothInputsAndTheOutputFolder) {
  const std::string file = Make("file", 1), folder = box.Root(), missing = box.Path("missing");
  const struct {
    const char* what;
    std::string reference, existing, output;
    bool valid;
  } cases[] = {
      {"all there", file, file, box.Path("new.mvr"), true},
      {"a folder counts as present", folder, file, box.Path("new.mvr"), true},
      {"output already there", file, file, file, true},
      {"relative output in the current folder", file, file, "new.mvr", true},
      {"reference missing", missing, file, box.Path("new.mvr"), false},
      {"reference empty", "", file, box.Path("new.mvr"), false},
      {"existing missing", file, missing, box.Path("new.mvr"), false},
      {"existing empty", file, "", box.Path("new.mvr"), false},
      {"output folder missing", file, file, box.Path("nowhere/new.mvr"), false},
  };
  for (const auto& c : cases) {
    const CTarvoTaskEntry e(c.reference.c_str(), c.existing.c_str(), c.output.c_str());
    EXPECT_EQ(e.ValidateExistingFiles(), c.valid) << c.what;
  }
  EXPECT_TRUE(CTarvoTaskEntry(nullptr, nullptr, file.c_str()).OutputExists());
  EXPECT_FALSE(CTarvoTaskEntry(nullptr, nullptr, missing.c_str()).OutputExists());
  EXPECT_FALSE(CTarvoTaskEntry().OutputExists());
  const std::string dangling = box.Path("dangling");
  ASSERT_EQ(::symlink(missing.c_str(), dangling.c_str()), 0);
  EXPECT_TRUE(CTarvoTaskEntry(nullptr, nullptr, dangling.c_str()).OutputExists());
}

// An entry that tells when it is deleted.
class WatchedEntry : public CTarvoTaskEntry {
 public:
  WatchedEntry(std::string& deleted, const char* name) : CTarvoTaskEntry(name, nullptr, nullptr), m_deleted(deleted) {}
  ~WatchedEntry() override { m_deleted += GetReferenceFile(); }

 private:
  std::string& m_deleted;
};

TEST(TaskArray, OwnsWhatItHolds) {
  std::string deleted;
  {
    CTarvoTaskArray a;
    for (const char* n : {"a", "b", "c", "d"}) a.Add(new WatchedEntry(deleted, n));
    a.RemoveAt(1);
    EXPECT_EQ(deleted, "b");
    ASSERT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a[1].GetReferenceFile(), "c");
    a.RemoveAt(3);
    a.RemoveAt(-1);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetAt(3), nullptr);
    a.Empty();
    EXPECT_EQ(deleted, "bdca");  // from the last index down
    EXPECT_EQ(a.GetSize(), 0);
    a.Add(new WatchedEntry(deleted, "e"));
  }
  EXPECT_EQ(deleted, "bdcae");
}

TEST_F(TaskEntry, AddCopyCarriesTheSourceExactly) {
  const std::string existing = Make("mod", 50);
  CTarvoTaskEntry source("ref", existing.c_str(), "out");
  source.SetExistingFile(existing.c_str(), false);
  source.SetOutputFileSize(77);
  testsupport::WriteFile(existing, Bytes(60, 'y'));  // the copy must not measure again

  CTarvoTaskArray a;
  EXPECT_EQ(a.Add(new CTarvoTaskEntry), 0);
  EXPECT_EQ(a.AddCopy(&source), 1);
  EXPECT_EQ(a.AddCopy(nullptr), -1);
  EXPECT_EQ(a.Add(nullptr), -1);
  ASSERT_EQ(a.GetSize(), 2);
  const CTarvoTaskEntry& copy = a[1];
  EXPECT_NE(&copy, &source);
  EXPECT_EQ(copy.GetReferenceFile(), "ref");
  EXPECT_EQ(copy.GetExistingFile(), existing);
  EXPECT_EQ(copy.GetOutputFile(), "out");
  EXPECT_EQ(copy.GetExistingFileSize(), 50u);
  EXPECT_EQ(copy.GetOutputFileSize(), 77u);
  EXPECT_EQ(copy.GetReferenceFileSize(), kUnknown);
  source.SetOutputFile("changed", false);
  EXPECT_EQ(copy.GetOutputFile(), "out");
}

// The construction is part of what a job is: every way of copying an entry
// keeps it, and a value the core has no name for is refused.
TEST_F(TaskEntry, ConstructionChoiceTravelsWithCopies) {
  CTarvoTaskEntry source("ref", "mod", "out");
  EXPECT_TRUE(source.HasStandardConstruction());
  EXPECT_EQ(source.GetMatcher(), TARVO_MATCHER_STANDARD);
  EXPECT_EQ(source.GetCompressor(), TARVO_COMPRESSOR_STANDARD);
  EXPECT_TRUE(source.SetMatcher(TARVO_MATCHER_THOROUGH));
  EXPECT_FALSE(source.HasStandardConstruction());
  EXPECT_TRUE(source.SetCompressor(TARVO_COMPRESSOR_STRONGEST));
  for (const int32_t bad : {-1, 2}) EXPECT_FALSE(source.SetMatcher(bad)) << bad;
  for (const int32_t bad : {-1, 3}) EXPECT_FALSE(source.SetCompressor(bad)) << bad;
  EXPECT_EQ(source.GetMatcher(), TARVO_MATCHER_THOROUGH);
  EXPECT_EQ(source.GetCompressor(), TARVO_COMPRESSOR_STRONGEST);

  CTarvoTaskArray a;
  a.AddCopy(&source);
  const CTarvoTaskEntry constructed(source);
  CTarvoTaskEntry assigned;
  assigned = source;
  for (const CTarvoTaskEntry* copy : {&std::as_const(a[0]), &constructed, &std::as_const(assigned)}) {
    EXPECT_EQ(copy->GetMatcher(), TARVO_MATCHER_THOROUGH);
    EXPECT_EQ(copy->GetCompressor(), TARVO_COMPRESSOR_STRONGEST);
  }
  // Only a fast compressor is a choice too.
  CTarvoTaskEntry fast;
  EXPECT_TRUE(fast.SetCompressor(TARVO_COMPRESSOR_FAST));
  EXPECT_FALSE(fast.HasStandardConstruction());
}

}  // namespace
