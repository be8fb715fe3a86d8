#include "ExecDirCache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tfl {
namespace {

// Answers the program path queries from a script and counts them.
struct ScriptedQuery {
  std::vector<const char*> answers;  // nullptr: the query fails
  int calls = 0;

  ExecDirCache::ProgramPathQuery Function() {
    return [this](std::string* path) {
      const char* answer = answers.at(static_cast<std::size_t>(calls++));
      if (answer == nullptr) return false;
      *path = answer;
      return true;
    };
  }
};

TEST(ExecDirCache, AsksTheSystemOnlyUntilItSucceeds) {
  ScriptedQuery query{{nullptr, "/usr/lib/mvr/tool"}};
  ExecDirCache cache(query.Function(), PathStyle::Posix);

  EXPECT_EQ(cache.Get(), "");
  EXPECT_EQ(cache.Get(), "/usr/lib/mvr/");
  EXPECT_EQ(cache.Get(), "/usr/lib/mvr/");
  EXPECT_EQ(query.calls, 2);
}

TEST(ExecDirCache, KeepsTheFolderWithoutDrive) {
  ScriptedQuery query{{"C:\\Tools\\Bin\\tool.exe"}};
  ExecDirCache cache(query.Function(), PathStyle::Windows);
  EXPECT_EQ(cache.Get(), "\\Tools\\Bin\\");
}

}  // namespace
}  // namespace tfl
