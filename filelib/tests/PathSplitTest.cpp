#include "PathSplit.h"

#include <gtest/gtest.h>

#include <string>

#include "PathLimits.h"

namespace tfl {
namespace {

struct SplitCase {
  PathStyle style;
  const char* path;
  const char* drive;
  const char* folder;
  const char* name;
  const char* extension;
};

TEST(SplitPath, TakesPathsApart) {
  constexpr PathStyle W = PathStyle::Windows;
  constexpr PathStyle P = PathStyle::Posix;
  const SplitCase cases[] = {
      {W, "C:\\work\\app.exe", "C:", "\\work\\", "app", ".exe"},
      {W, "C:", "C:", "", "", ""},
      {W, "C:app.exe", "C:", "", "app", ".exe"},
      {W, "app", "", "", "app", ""},
      {W, "\\\\server\\share\\f.txt", "", "\\\\server\\share\\", "f", ".txt"},
      {W, "C:/a/b.txt", "C:", "/a/", "b", ".txt"},
      {W, "a/b\\c", "", "a/b\\", "c", ""},
      {W, "C:\\a.b\\file", "C:", "\\a.b\\", "file", ""},
      {W, "archive.tar.gz", "", "", "archive.tar", ".gz"},
      {W, "file.", "", "", "file", "."},
      {W, ".profile", "", "", "", ".profile"},
      {W, "", "", "", "", ""},
      {P, "/work/app.exe", "", "/work/", "app", ".exe"},
      {P, "C:app.exe", "", "", "C:app", ".exe"},
      {P, "a\\b.txt", "", "", "a\\b", ".txt"},
      {P, "dir.d/file", "", "dir.d/", "file", ""},
      {P, "/", "", "/", "", ""},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.path);
    PathParts parts = SplitPath(c.path, c.style);
    EXPECT_EQ(parts.drive, c.drive);
    EXPECT_EQ(parts.folder, c.folder);
    EXPECT_EQ(parts.name, c.name);
    EXPECT_EQ(parts.extension, c.extension);
  }
}

// A component longer than its buffer keeps its first bytes, as a bounded copy
// into the buffer would, and does not spill into the next component.
TEST(SplitPath, CutsOverlongComponentsToTheirBuffers) {
  const std::string longFolder = "/" + std::string(300, 'f') + "/";
  const std::string longName(300, 'n');
  const std::string longExtension = "." + std::string(300, 'e');

  PathParts parts = SplitPath(longFolder + longName + longExtension, PathStyle::Posix);
  EXPECT_EQ(parts.folder, longFolder.substr(0, kMaxFolder - 1));
  EXPECT_EQ(parts.name, longName.substr(0, kMaxName - 1));
  EXPECT_EQ(parts.extension, longExtension.substr(0, kMaxExtension - 1));

  const std::string fitting = "/" + std::string(kMaxFolder - 3, 'f') + "/";
  EXPECT_EQ(SplitPath(fitting + "x", PathStyle::Posix).folder, fitting);
}

}  // namespace
}  // namespace tfl
