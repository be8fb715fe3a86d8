// Runs the built MvrRecn as a child process and checks what it prints, its
// exit status and the file it rebuilds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>

#include "ConsoleRun.h"
#include "CraftedDelta.h"
#include "RecordedNameCases.h"
#include "TarvoCore.h"
#include "TestSupport.h"

namespace {

using namespace consoletest;
using testsupport::Bytes;

const std::string kPrompt = "Press Esc to abort reconstruction . . .\n\n";
const std::string kRuler = std::string(40, '-') + "\n";
const std::string kFullBar = std::string(40, '.');

Outcome RunRecn(const std::string& dir, std::vector<std::string> args) {
  return RunProgram(MVR_RECN_PATH, dir, std::move(args));
}

class MvrRecn : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 rng(1);
    original = testsupport::RandomBytes(rng, 50000);
    modified = testsupport::Mutate(rng, original, 40);
    testsupport::WriteFile(orig, original);
    testsupport::WriteFile(mod, modified);
    ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, nullptr), TARVO_OK);
    ::unlink(mod.c_str());
  }
  testsupport::Sandbox box;
  std::string orig = box.Path("a"), mod = box.Path("b"), delta = box.Path("b.mvr");
  Bytes original, modified;
};

TEST_F(MvrRecn, UsageWithoutADifferenceFile) {
  const Outcome r = RunRecn(box.Root(), {});
  EXPECT_EQ(r.out,
            "MvrRecn -- Mendivar reconstruction console utility\nUsage:\n"
            "       MvrRecn MvrFile [OriginalFile [ModifiedFile]]\n");
  EXPECT_EQ(ExitCode(r), 252);
}

TEST_F(MvrRecn, ArgumentsOverrideTheRecordedNames) {
  struct Case {
    std::vector<std::string> args;
    std::string output;  // where the modified file lands
  };
  const Case cases[] = {
      {{"b.mvr"}, "b"},                  // both names from the difference file: beside it
      {{"b.mvr", "a"}, "b"},             // the recorded modified name
      {{"b.mvr", "a", "out"}, "out"},    // as given, relative to the folder
  };
  for (const Case& c : cases) {
    const Outcome r = RunRecn(box.Root(), c.args);
    EXPECT_EQ(r.out, kPrompt + kRuler + kFullBar + "\n\n" + c.output + ": Successful completion.\n");
    EXPECT_EQ(ExitCode(r), 0);
    EXPECT_EQ(testsupport::ReadFile(c.output[0] == '/' ? c.output : box.Path(c.output)), modified);
    ::unlink(mod.c_str());
  }
}

// A name the user typed may replace a file; a name recorded in the
// difference file never does.
TEST_F(MvrRecn, OnlyATypedOutputNameReplacesAFile) {
  testsupport::WriteFile(mod, {'o', 'l', 'd'});
  const Outcome recorded = RunRecn(box.Root(), {"b.mvr"});
  EXPECT_EQ(ExitCode(recorded), TARVO_ERR_OVERWRITE_REFUSED);
  EXPECT_EQ(testsupport::ReadFile(mod), Bytes({'o', 'l', 'd'}));
  const Outcome typed = RunRecn(box.Root(), {"b.mvr", orig, mod});
  EXPECT_EQ(ExitCode(typed), 0);
  EXPECT_EQ(testsupport::ReadFile(mod), modified);
}

// Runs a console program with the core's test point swapping a folder.
class SwapInChildren {
 public:
  SwapInChildren(const std::string& folder, const std::string& to) {
    const char* asan = ::getenv("ASAN_OPTIONS");
    if (asan != nullptr) savedAsan_ = asan, hadAsan_ = true;
    ::setenv("ASAN_OPTIONS", (savedAsan_ + ":verify_asan_link_order=0").c_str(), 1);
    ::setenv("LD_PRELOAD", MVR_SWAP_HOOK_PATH, 1);
    ::setenv("MVR_TEST_SWAP_FOLDER", folder.c_str(), 1);
    ::setenv("MVR_TEST_SWAP_TO", to.c_str(), 1);
  }
  ~SwapInChildren() {
    ::unsetenv("LD_PRELOAD");
    ::unsetenv("MVR_TEST_SWAP_FOLDER");
    ::unsetenv("MVR_TEST_SWAP_TO");
    if (hadAsan_) ::setenv("ASAN_OPTIONS", savedAsan_.c_str(), 1); else ::unsetenv("ASAN_OPTIONS");
  }
  SwapInChildren(const SwapInChildren&) = delete;
  SwapInChildren& operator=(const SwapInChildren&) = delete;

 private:
  std::string savedAsan_;
  bool hadAsan_ = false;
};

// The names a stranger's file records, on every console route: MvrRecn
// with the file alone and with the original, mvr apply with and without
// -f, and from standard input. Only the base name, only beside the
// difference file (the working folder for standard input), nothing there
// replaced without -f, and with it only the entry itself, never what a
// link there points to.
TEST_F(MvrRecn, RecordedNamesLandOnlyBesideTheDifferenceFile) {
  const recordednames::Layout layout{box.Root(), box.Path("in")};
  const Bytes five = {'h', 'e', 'l', 'l', 'o'};
  Bytes code = {1, 5};
  code.insert(code.end(), five.begin(), five.end());
  const std::string victim = box.Path("victim"), one = box.Path("one");
  testsupport::WriteFile(victim, {'s'});
  testsupport::WriteFile(one, {'x'});
  struct Route {
    const char* what;
    const char* program;
    std::vector<std::string> args;
    bool yes, fromStdin;
  };
  const Route routes[] = {
      {"MvrRecn, one argument", MVR_RECN_PATH, {"in/x.mvr"}, false, false},
      {"MvrRecn, two arguments", MVR_RECN_PATH, {"in/x.mvr", one}, false, false},
      {"mvr apply", MVR_PATH, {"apply", "in/x.mvr"}, false, false},
      {"mvr apply -f", MVR_PATH, {"apply", "-f", "in/x.mvr"}, true, false},
      {"mvr apply -", MVR_PATH, {"apply", "-"}, false, true},
      {"mvr apply -f -", MVR_PATH, {"apply", "-f", "-"}, true, true},
  };
  ::mkdir(layout.in.c_str(), 0755);
  const std::vector<std::string> rootBefore = testsupport::ListDir(box.Root());
  for (const Route& route : routes) {
    for (const recordednames::Case& c : recordednames::Cases()) {
      SCOPED_TRACE(std::string(route.what) + ": " + c.what);
      testsupport::RemoveTree(layout.in);
      ::mkdir(layout.in.c_str(), 0755);
      testsupport::WriteFile(victim, {'s'});
      testsupport::Crafted crafted = testsupport::For({'x'}, five, code);
      crafted.originalName = one;
      crafted.modifiedName = c.recorded(layout);
      const std::string piped = box.Path("x.mvr");  // standard input of the - routes
      testsupport::WriteFile(layout.in + "/x.mvr", testsupport::Build(crafted));
      testsupport::WriteFile(piped, testsupport::Build(crafted));
      if (!c.plant(layout)) continue;
      const std::vector<std::string> before = testsupport::ListDir(layout.in);
      Outcome r;
      {
        std::unique_ptr<SwapInChildren> swap;
        if (c.swapFolder) swap = std::make_unique<SwapInChildren>(layout.in, layout.root);
        r = route.fromStdin ? RunProgram(route.program, layout.in, route.args, piped)
                            : RunProgram(route.program, box.Root(), route.args);
      }
      const E_TARVO_ERROR expected = route.yes ? c.withYes : c.expected;
      EXPECT_EQ(ExitCode(r), expected);
      recordednames::ExpectOnlyTheEntryChanged(layout, c, expected, before, five);
      EXPECT_EQ(testsupport::ReadFile(victim), Bytes({'s'}));
      EXPECT_FALSE(testsupport::Exists(box.Path("elsewhere")));
      EXPECT_FALSE(testsupport::Exists(box.Path("planted")));
      std::vector<std::string> root = testsupport::ListDir(box.Root());
      root.erase(std::remove(root.begin(), root.end(), "x.mvr"), root.end());
      EXPECT_EQ(root, rootBefore);
      ::unlink(piped.c_str());
    }
  }
}

TEST_F(MvrRecn, TheResultLineShowsANameEscaped) {
  const std::string name = "x\x1b]0;T\x07\xff";
  const Outcome r = RunRecn(box.Root(), {"b.mvr", "a", name});
  EXPECT_EQ(r.out, kPrompt + kRuler + kFullBar + "\n\n'x'$'\\033'']0;T'$'\\007\\377': Successful completion.\n");
  EXPECT_EQ(testsupport::ReadFile(box.Path(name)), modified);
}

TEST_F(MvrRecn, FailureBeforeAnyReportShowsNoName) {
  Bytes other = original;
  other[10] ^= 1;
  testsupport::WriteFile(box.Path("wrong"), other);
  const Outcome r = RunRecn(box.Root(), {"b.mvr", "wrong"});
  EXPECT_EQ(r.out, kPrompt + "\n\n: The specified original file is incorrect.\n");
  EXPECT_EQ(ExitCode(r), 13);
  EXPECT_FALSE(testsupport::Exists(mod));
}

}  // namespace
