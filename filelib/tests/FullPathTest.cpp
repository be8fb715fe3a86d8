#include "FullPath.h"

#include <gtest/gtest.h>

#include <string>

#include "PathLimits.h"

namespace tfl {
namespace {

TEST(FoldFullPath, ResolvesAndFoldsOnTheTextAlone) {
  struct Case {
    std::string path;
    const char* currentFolder;
    std::string expected;
  };
  const Case cases[] = {
      {"a.txt", "/home/u", "/home/u/a.txt"},
      {"./a.txt", "/home/u", "/home/u/a.txt"},
      {"../a.txt", "/home/u", "/home/a.txt"},
      {"../../../../a", "/home/u", "/a"},
      {"a/..", "/home/u", "/home/u"},
      {"", "/home/u", "/home/u"},
      {"a", "/", "/a"},
      {"dir/", "/home/u", "/home/u/dir/"},
      {"/x/./y/../z", "/home/u", "/x/z"},
      {"//x///y", "/home/u", "/x/y"},
      {"/..", "/home/u", "/"},
      {"/", "/home/u", "/"},
      {"/x/.../..y", "/home/u", "/x/.../..y"},
      // Only the text decides: a long path can fold into a short one.
      {"/" + std::string(300, 'a') + "/../b", "/", "/b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FoldFullPath(c.path, c.currentFolder), c.expected);
  }
}

TEST(FoldFullPath, IsEmptyWhenTheResultDoesNotFit) {
  const std::string longest = "/" + std::string(kMaxPath - 2, 'a');
  EXPECT_EQ(FoldFullPath(longest, "/"), longest);
  EXPECT_EQ(FoldFullPath(longest + "b", "/"), "");
  EXPECT_EQ(FoldFullPath(std::string(kMaxPath - 2, 'a'), "/b"), "");
}

}  // namespace
}  // namespace tfl
