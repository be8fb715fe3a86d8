// The header fields the viewer reads, on blocks built byte by byte.
#include "RecordedFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "MvrFileInfo.h"
#include "TarvoTypes.h"

namespace {

using Block = std::vector<unsigned char>;

void PutLe(Block& b, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A header with the given sizes and names, the names after it, then `tail`
// further bytes of code.
Block Build(uint32_t originalSize, uint32_t modifiedSize, const std::string& original,
            const std::string& modified, size_t tail = 8) {
  Block b(kDeltaHeaderSize);
  std::memcpy(&b[4], kDeltaMagic, 4);
  PutLe(b, 12, modifiedSize, 4);
  PutLe(b, 16, originalSize, 4);
  std::memcpy(&b[28], kDeltaSignatureV2, 16);
  PutLe(b, 52, static_cast<uint32_t>(modified.size()), 2);
  PutLe(b, 54, static_cast<uint32_t>(original.size()), 2);
  b.insert(b.end(), original.begin(), original.end());
  b.insert(b.end(), modified.begin(), modified.end());
  b.insert(b.end(), tail, 0xAB);
  return b;
}

TEST(RecordedFiles, ReadsSizesAndNamesInTheirStoredOrder) {
  const Block block = Build(1000, 2048, "C:\\work\\old.doc", "new.doc");
  mvrview::RecordedFiles files;
  ASSERT_TRUE(mvrview::ParseRecordedFiles(block.data(), block.size(), &files));
  EXPECT_EQ(files.originalSize, 1000u);
  EXPECT_EQ(files.modifiedSize, 2048u);
  EXPECT_EQ(files.originalName, "C:\\work\\old.doc");
  EXPECT_EQ(files.modifiedName, "new.doc");
}

// Every block the viewer shows must be one the header reader accepts, and
// the other way round, and neither may read past the block's end.
TEST(RecordedFiles, AcceptsExactlyWhatTheHeaderReaderAccepts) {
  struct Case {
    const char* what;
    Block block;
    bool shown;
  };
  const std::string n260(260, 'n'), n261(261, 'n');
  std::vector<Case> cases = {
      {"ordinary", Build(10, 20, "a.bin", "b.bin"), true},
      {"names of 260 bytes", Build(10, 20, n260, n260, 0), true},
      {"empty names", Build(10, 20, "", "", 0), true},
      {"names end at the last byte", Build(10, 20, "abc", "de", 0), true},
      {"original name of 261 bytes", Build(10, 20, n261, "b"), false},
      {"modified name of 261 bytes", Build(10, 20, "a", n261), false},
  };
  {
    Block b = Build(10, 20, "abc", "de", 0);
    b.pop_back();
    cases.push_back({"modified name runs past the end", b, false});
    b.resize(kDeltaHeaderSize + 2);
    cases.push_back({"original name runs past the end", b, false});
    b.resize(kDeltaHeaderSize - 1);
    cases.push_back({"shorter than a header", b, false});
    cases.push_back({"nothing at all", Block{}, false});
  }
  for (size_t at : {4, 5, 6, 7}) {
    Block b = Build(10, 20, "a", "b");
    b[at] ^= 0x20;
    cases.push_back({"magic byte changed", b, false});
  }
  {
    Block b = Build(10, 20, "a", "b");
    b[kDeltaVersionOffset] = '7';  // the version is reconstruction's business
    cases.push_back({"unknown version", b, true});
  }

  for (const Case& c : cases) {
    // Copied to a block of exactly its size, so that a read past the end is
    // seen by the sanitizers.
    std::unique_ptr<unsigned char[]> exact(new unsigned char[c.block.size() + 1]);
    if (!c.block.empty()) std::memcpy(exact.get(), c.block.data(), c.block.size());
    mvrview::RecordedFiles files;
    files.originalName = "before";
    const bool shown = mvrview::ParseRecordedFiles(exact.get(), c.block.size(), &files);
    EXPECT_EQ(shown, c.shown) << c.what;
    if (!shown) {
      EXPECT_EQ(files.originalName, "before") << c.what;
    }

    CDeltaFileInfo info;
    EXPECT_EQ(info.PrepareInfo(exact.get(), static_cast<int>(c.block.size())) == 1, c.shown) << c.what;
    if (shown) {
      EXPECT_EQ(files.originalName, info.GetReferenceFileName()) << c.what;
      EXPECT_EQ(files.modifiedName, info.GetTargetFileName()) << c.what;
      EXPECT_EQ(files.originalSize, info.GetReferenceFileSize()) << c.what;
      EXPECT_EQ(files.modifiedSize, info.GetTargetFileSize()) << c.what;
    }
  }
}

}  // namespace
