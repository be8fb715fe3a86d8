#include "PathCompose.h"

#include <gtest/gtest.h>

namespace tfl {
namespace {

struct PathCase {
  const char* path;
  const char* expected;
};

TEST(GetFileDir, KeepsRootsAndDropsOtherTrailingSeparators) {
  const PathCase cases[] = {
      {"C:\\work\\app.exe", "C:\\work"},
      {"C:\\app.exe", "C:\\"},
      {"C:\\work\\", "C:\\work"},
      {"app.exe", ""},
      {"\\app.exe", "\\"},
      {"\\\\server\\share\\f.txt", "\\\\server\\share"},
      {"\\\\server", "\\\\"},
      {"C:\\", "C:\\"},
      {"C:", "C:"},
      {"C:/a/b.txt", "C:/a"},
      {"C:\\a\\\\b.txt", "C:\\a\\\\"},
      {"ab:\\x", "ab:\\"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileDir(c.path, PathStyle::Windows), c.expected);
  }
}

TEST(GetFileNameAndExtension, ReturnTheFinalComponent) {
  struct Case {
    const char* path;
    const char* name;
    const char* extension;
  };
  const Case cases[] = {
      {"C:\\work\\app.exe", "app.exe", ".exe"},
      {"C:\\work\\", "", ""},
      {"C:app.exe", "app.exe", ".exe"},
      {"archive.tar.gz", "archive.tar.gz", ".gz"},
      {"C:\\a.b\\file", "file", ""},
      {"C:/a.b/file.", "file.", "."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileName(c.path, PathStyle::Windows), c.name);
    EXPECT_EQ(GetFileExtension(c.path, PathStyle::Windows), c.extension);
  }
}

TEST(GetNewPath, PutsTheFileNameIntoTheFolder) {
  struct Case {
    const char* path;
    const char* folder;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\a\\b.txt", "D:\\out", "D:\\out\\b.txt"},
      {"C:\\a\\b.txt", "D:\\out\\", "D:\\out\\b.txt"},
      {"C:\\a\\b.txt", "D:\\", "D:\\b.txt"},
      {"C:\\a\\b.txt", "D:/out/", "D:/out/b.txt"},
      {"C:\\a\\b.txt", "", "b.txt"},
      {"C:\\a\\", "D:\\out", "D:\\out\\"},
      {"b.txt", "D:", "D:\\b.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " into " + c.folder);
    EXPECT_EQ(GetNewPath(c.path, c.folder, PathStyle::Windows), c.expected);
  }
}

}  // namespace
}  // namespace tfl
