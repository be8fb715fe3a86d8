#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <string>

// Named here only so that the linker keeps the probe library loaded, as a
// host keeps the core for the functions it calls.
extern "C" const char* MvrTableProbe_GetString(unsigned id);

namespace {

// The probe library is linked into this test under the file name
// libMvrTableProbe.so.3 with no unversioned link beside it, as a library with
// a version in its name is installed.
TEST(StringTable, FindsTheTableOfALoadedModuleWhateverItsFileName) {
  struct Case {
    const char* module;
    unsigned id;
    int cap;
    int copied;
    std::string text;
  };
  const Case cases[] = {
      {"MvrTableProbe", 7, 64, 14, "seventh string"},
      {"MvrTableProbe", 7, 8, 7, "seventh"},  // truncated, still terminated
      {"MvrTableProbe", 8, 64, 0, ""},        // no such string
      {"NoSuchModule", 7, 64, 0, ""},         // not loaded
  };
  ASSERT_NE(MvrTableProbe_GetString(7), nullptr);
  for (const Case& c : cases) {
    char buf[64] = "stale";
    EXPECT_EQ(platform::LoadModuleString(c.module, c.id, buf, c.cap), c.copied) << c.module << " " << c.id;
    EXPECT_EQ(std::string(buf), c.text) << c.module << " " << c.id;
  }
}

}  // namespace
