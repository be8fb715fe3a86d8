#include <gtest/gtest.h>

#include <fcntl.h>

#include "CodePipe.h"
#include "CodeWriter.h"
#include "TestSupport.h"

using testsupport::Bytes;

namespace {

// The format's own example: with a 1000-byte original and a 1200-byte
// modified file every field is two bytes wide.
TEST(CodeWriter, WritesTheDocumentedRecordBytes) {
  testsupport::Sandbox box;
  const std::string path = box.Path("code");
  tarvo::PosixFile file;
  ASSERT_TRUE(file.Open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC));
  tarvo::CodePipe pipe;
  const tarvo::Notifier nobody(nullptr);
  tarvo::CodeWriter writer(file, pipe, 1000, 1200, nobody, "m");
  writer.Copy(100, 600);
  const uint8_t xyz[] = {0x78, 0x79, 0x7A};
  writer.Insert(xyz, 3);
  writer.Flush();
  EXPECT_EQ(testsupport::ReadFile(path), (Bytes{0x64, 0x00, 0x58, 0x02, 0xE8, 0x03, 0x03, 0x00, 0x78, 0x79, 0x7A}));
}

TEST(CodeWriter, MarkerWidthFollowsTheOriginalSize) {
  testsupport::Sandbox box;
  const tarvo::Notifier nobody(nullptr);
  const uint8_t a = 'a';
  // 255 bytes: one-byte marker 0xFF; 256 bytes: two bytes 00 01.
  for (auto [size, expect] : {std::pair<uint32_t, Bytes>{255, {0xFF, 0x01, 'a'}},
                             std::pair<uint32_t, Bytes>{256, {0x00, 0x01, 0x01, 'a'}}}) {
    const std::string path = box.Path("code" + std::to_string(size));
    tarvo::PosixFile file;
    ASSERT_TRUE(file.Open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC));
    tarvo::CodePipe pipe;
    tarvo::CodeWriter writer(file, pipe, size, 100, nobody, "m");
    writer.Insert(&a, 1);
    writer.Flush();
    EXPECT_EQ(testsupport::ReadFile(path), expect) << size;
  }
}

}  // namespace
