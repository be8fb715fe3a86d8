#include "NameMatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tfl {
namespace {

TEST(EqualIgnoringCase, FoldsOnlyAsciiLettersWithinTheLimit) {
  struct Case {
    const char* a;
    const char* b;
    std::size_t limit;
    bool equal;
  };
  const Case cases[] = {
      {".MVR", ".mvr", 256, true},
      {".mvr", ".mvrx", 256, false},
      {"abcX", "ABCy", 3, true},
      {"abc", "abcd", 3, true},
      {"abc", "abd", 3, false},
      {"", "", 256, true},
      // Neighbours of the letters that differ by the case bit but are not letters.
      {"@", "`", 256, false},
      {"[", "{", 256, false},
      // Bytes of a multibyte character are not letters.
      {"\xC3\xA9", "\xC3\x89", 256, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(EqualIgnoringCase(c.a, c.b, c.limit), c.equal);
  }
}

TEST(CheckFileStdExtension, ReturnsTheFirstMatchingEntry) {
  struct Case {
    PathStyle style;
    const char* path;
    std::vector<const char*> extensions;  // without the closing null
    int expected;
  };
  const Case cases[] = {
      {PathStyle::Windows, "X.MVR", {".mvr"}, 0},
      {PathStyle::Windows, "X.mvr.bak", {".mvr"}, -1},
      {PathStyle::Windows, "a.mvr", {".txt", ".mvr"}, 1},
      {PathStyle::Windows, "a.mvr", {".mvr", ".MVR"}, 0},
      {PathStyle::Windows, "a.mvr", {}, -1},
      {PathStyle::Windows, "a", {".mvr"}, -1},
      {PathStyle::Windows, "a", {".mvr", ""}, 1},
      {PathStyle::Windows, "C:\\dir.mvr\\file", {".mvr"}, -1},
      {PathStyle::Posix, "dir\\x.mvr", {".mvr"}, 0},
      {PathStyle::Posix, "dir.mvr/file", {".mvr", ""}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<const char*> list = c.extensions;
    list.push_back(nullptr);
    EXPECT_EQ(CheckFileStdExtension(c.path, list.data(), c.style), c.expected);
  }
  EXPECT_EQ(CheckFileStdExtension("a.mvr", nullptr, PathStyle::Posix), -1);
}

TEST(FindNameInArray, ReturnsTheHighestEqualIndex) {
  struct Case {
    std::vector<std::string> names;
    const char* name;
    int expected;
  };
  const Case cases[] = {
      {{"a.txt", "B.TXT", "b.txt"}, "b.txt", 2},
      {{"a.txt", "B.TXT", "c.txt"}, "b.txt", 1},
      {{"b.txt", "a.txt"}, "B.txt", 0},
      {{"a.txt"}, "c.txt", -1},
      {{"b.txt"}, "b.tx", -1},
      {{}, "b.txt", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindNameInArray(c.names, c.name), c.expected);
  }
}

}  // namespace
}  // namespace tfl
