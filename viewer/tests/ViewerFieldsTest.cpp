// The fields for real files on disk: difference files the core made, and
// files that are not.
#include "ViewerFields.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "FieldText.h"
#include "TarvoCore.h"
#include "TestSupport.h"

namespace {

using testsupport::Bytes;

class ViewerFieldsTest : public ::testing::Test {
 protected:
  // A difference file whose modified file has 2048 bytes and whose original
  // has 1000, with full paths or bare names recorded.
  std::string Construct(bool fullPaths) {
    const std::string original = box_.Path("original.bin");
    const std::string modified = box_.Path("modified.bin");
    const std::string delta = box_.Path(fullPaths ? "full.mvr" : "bare.mvr");
    Bytes start(1000);
    for (size_t i = 0; i < start.size(); ++i) start[i] = static_cast<uint8_t>(i * 7 + i / 13);
    Bytes changed = start;
    changed.insert(changed.end(), 1048, 'x');
    testsupport::WriteFile(original, start);
    testsupport::WriteFile(modified, changed);
    const int full = fullPaths ? 1 : 0;
    const S_TARVO_CONSTRUCT_OPTIONS options{sizeof(S_TARVO_CONSTRUCT_OPTIONS), 43, full, full, 0, 0, 0};
    EXPECT_EQ(ConstructDeltaFile(original.c_str(), modified.c_str(), delta.c_str(), nullptr, &options),
              TARVO_OK);
    return delta;
  }

  testsupport::Sandbox box_;
};

TEST_F(ViewerFieldsTest, ADifferenceFileShowsItsRecordedFiles) {
  struct Case {
    bool fullPaths;
    std::string original, modified;
  };
  const Case cases[] = {
      {false, "original.bin", "modified.bin"},
      {true, box_.Path("original.bin"), box_.Path("modified.bin")},
  };
  for (const Case& c : cases) {
    const std::string delta = Construct(c.fullPaths);
    mvrview::ViewerFields fields;
    ASSERT_EQ(mvrview::ReadViewerFields(delta, &fields), mvrview::ViewerFileState::Shown);
    EXPECT_EQ(fields.originalName, c.original);
    EXPECT_EQ(fields.modifiedName, c.modified);
    EXPECT_EQ(fields.originalSize, "0.98 Kb");
    EXPECT_EQ(fields.modifiedSize, "2.00 Kb");
  }
}

TEST_F(ViewerFieldsTest, ConstructedOnIsTheFilesLastModification) {
  const std::string delta = Construct(false);
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 6;
  when.tm_hour = 15;
  when.tm_min = 1;
  when.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&when), 0}, {std::mktime(&when), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, delta.c_str(), times, 0), 0);
  mvrview::ViewerFields fields;
  ASSERT_EQ(mvrview::ReadViewerFields(delta, &fields), mvrview::ViewerFileState::Shown);
  EXPECT_EQ(fields.constructedOn, "Sunday, Dec 06, 2026 ,  03:01 PM");
}

TEST_F(ViewerFieldsTest, OtherFilesShowNothing) {
  const std::string delta = Construct(false);
  const Bytes whole = testsupport::ReadFile(delta);

  struct Case {
    const char* what;
    Bytes bytes;
    mvrview::ViewerFileState state;
  };
  Bytes namesTooLong = whole;
  namesTooLong[54] = 0x04;  // the original's name now claims 260 bytes, past the end
  namesTooLong[55] = 0x01;
  namesTooLong.resize(200);
  Bytes notMvr = whole;
  notMvr[6] = 'x';
  const Case cases[] = {
      {"a text file", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, mvrview::ViewerFileState::NotDifferenceFile},
      {"an empty file", Bytes{}, mvrview::ViewerFileState::NotDifferenceFile},
      {"shorter than a header", Bytes(whole.begin(), whole.begin() + 55),
       mvrview::ViewerFileState::NotDifferenceFile},
      {"cut inside the names", Bytes(whole.begin(), whole.begin() + 60),
       mvrview::ViewerFileState::NotDifferenceFile},
      {"names past the bytes read", namesTooLong, mvrview::ViewerFileState::NotDifferenceFile},
      {"wrong magic", notMvr, mvrview::ViewerFileState::NotDifferenceFile},
  };
  for (const Case& c : cases) {
    const std::string path = box_.Path("other.bin");
    testsupport::WriteFile(path, c.bytes);
    mvrview::ViewerFields fields;
    fields.originalName = "stale";
    EXPECT_EQ(mvrview::ReadViewerFields(path, &fields), c.state) << c.what;
    EXPECT_EQ(fields.originalName, "") << c.what;
    EXPECT_EQ(fields.originalSize, "") << c.what;
    EXPECT_EQ(fields.constructedOn, "") << c.what;
  }

  mvrview::ViewerFields fields;
  EXPECT_EQ(mvrview::ReadViewerFields(box_.Path("no such file.mvr"), &fields),
            mvrview::ViewerFileState::Unreadable);
  EXPECT_EQ(mvrview::ReadViewerFields(box_.Root(), &fields), mvrview::ViewerFileState::Unreadable);
  EXPECT_EQ(mvrview::ReadViewerFields("\"" + delta + "\"", &fields),
            mvrview::ViewerFileState::Unreadable);  // a quoted name is not the file
  // No waiting for a FIFO's writer, no reading a device.
  ASSERT_EQ(::mkfifo(box_.Path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(mvrview::ReadViewerFields(box_.Path("fifo"), &fields), mvrview::ViewerFileState::Unreadable);
  EXPECT_EQ(mvrview::ReadViewerFields("/dev/zero", &fields), mvrview::ViewerFileState::Unreadable);
}

}  // namespace
