#include "WildcardMatch.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(WildcardMatch, Table) {
  const Case cases[] = {
      {"orig.bin", "orig.bin", true},
      {"orig.bin", "orig.bi", false},
      {"orig.bin", "orig.binx", false},
      {"ORIG.BIN", "orig.bin", true},  // letters in either case
      {"orig.bin", "Orig.Bin", true},
      {"*.doc", "report.DOC", true},
      {"*.doc", "report.docx", false},
      {"r?port.*", "report.txt", true},
      {"r?port.*", "rport.txt", false},  // '?' is exactly one character
      {"*.*", "README", true},           // a trailing ".*" also admits no dot
      {"*.*", "a.b.c", true},
      {"data.*", "data", true},
      {"data.*", "database", false},
      {"*", "", true},
      {"", "", true},
      {"", "x", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*aab", "aaaab", true},  // the walk must back up after a false start
      {"**", "anything", true},
      {"\xc3\xa9t\xc3\xa9.txt", "\xc3\xa9t\xc3\xa9.txt", true},  // other bytes compare as they are
      {"\xc3\xa9t\xc3\xa9.txt", "\xc3\x89t\xc3\x89.txt", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mvrfind::WildcardMatch(c.pattern, c.name), c.matches)
        << "pattern \"" << c.pattern << "\", name \"" << c.name << "\"";
  }
}

}  // namespace
