// The exported functions that ask the file system: each test works in a
// temporary folder of its own and leaves nothing behind.
#include "TarvoFileLib.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class TFLFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_original = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "filelib-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    m_root = fs::canonical(pattern);
  }

  void TearDown() override {
    fs::current_path(m_original);
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
  }

  std::string Write(const char* name, const std::string& contents) {
    fs::path path = m_root / name;
    std::ofstream(path, std::ios::binary) << contents;
    return path.string();
  }

  fs::path m_original;
  fs::path m_root;
};

TEST_F(TFLFileTest, FullFileNameFoldsRelativePathsAgainstTheCurrentFolder) {
  fs::create_directory(m_root / "sub");
  fs::create_directory_symlink("/usr", m_root / "link");
  fs::current_path(m_root / "sub");
  const std::string root = m_root.string();
  const std::string sub = root + "/sub";

  struct Case {
    const char* path;
    std::string expected;
  };
  const Case cases[] = {
      {"a.txt", sub + "/a.txt"},
      {"./x/../a.txt", sub + "/a.txt"},
      {"..", root},
      {"../b.txt", root + "/b.txt"},
      // ".." after a link goes back along the text, not to the link's target.
      {"../link/..", root},
      {"/usr//lib/./x", "/usr/lib/x"},
      {"/../x", "/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(TFLGetFullFileName(c.path), c.expected);
  }

  const std::string longest = "/" + std::string(258, 'a');
  EXPECT_EQ(TFLGetFullFileName(longest.c_str()), longest);
  EXPECT_EQ(TFLGetFullFileName((longest + "a").c_str()), "");
}

TEST_F(TFLFileTest, NewPathWithoutFolderUsesTheCurrentFolder) {
  fs::current_path(m_root);
  EXPECT_EQ(TFLGetNewPath("/x/b.txt", nullptr), m_root.string() + "/b.txt");
}

// Past 260 bytes the current folder no longer fits the buffer it is read into.
TEST_F(TFLFileTest, PathFunctionsFailWhenTheCurrentFolderIsTooLong) {
  fs::path deep = m_root;
  while (deep.string().size() < 300) deep /= std::string(40, 'd');
  fs::create_directories(deep);
  fs::current_path(deep);

  EXPECT_EQ(TFLGetNewPath("/x/b.txt", nullptr), "");
  EXPECT_EQ(TFLGetFullFileName("b.txt"), "");
  EXPECT_EQ(TFLGetFullFileName("/x/b.txt"), "/x/b.txt");
}

TEST_F(TFLFileTest, FileSizeReportsLow32BitsOrUnknown) {
  fs::create_directory(m_root / "folder");
  struct Case {
    std::string path;
    uint32_t expected;
  };
  const Case cases[] = {
      {(m_root / "missing").string(), 4294967295u},
      {(m_root / "folder").string(), 4294967295u},
      {Write("empty", ""), 0},
      {Write("small", "hello"), 5},
      {"", 4294967295u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(TFLGetFileSize(c.path.c_str()), c.expected);
  }
}

TEST_F(TFLFileTest, FileSizeOver4GiBKeepsTheLow32Bits) {
  const fs::path big = m_root / "big";
  Write("big", "");
  std::error_code error;
  fs::resize_file(big, 0x1'0000'000Aull, error);  // sparse, so nothing is written
  if (error) GTEST_SKIP() << "cannot make a large sparse file here: " << error.message();
  EXPECT_EQ(TFLGetFileSize(big.c_str()), 10u);
}

TEST(TFLGetExecDir, IsTheFolderOfThisProgram) {
  const std::string first = TFLGetExecDir();
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first.back(), '/');
  EXPECT_TRUE(fs::equivalent(first, FILELIB_TEST_BINARY_DIR));
  EXPECT_EQ(TFLGetExecDir(), first);
  EXPECT_EQ(TFLExecDirFile("/elsewhere/data.bin"), first + "data.bin");
}

}  // namespace
