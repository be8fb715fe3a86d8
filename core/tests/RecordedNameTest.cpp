// Names taken from a difference file, on every way the core is called with
// one: the file alone, the file and an original, and a host that read the
// name from the file itself (raw, or resolved as a GUI shows it).
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>

#include "CraftedDelta.h"
#include "RecordedNameCases.h"
#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const Bytes kVictim = {'s', 'e', 'c', 'r', 'e', 't'};
const Bytes kOriginal = {'x'};
const Bytes kModified = {'h', 'e', 'l', 'l', 'o'};

Crafted Valid() {
  Bytes code = {1, 5};  // WO = 1, WI = 1: the marker, the length, the bytes
  code.insert(code.end(), kModified.begin(), kModified.end());
  return For(kOriginal, kModified, code);
}

std::string ReadLink(const std::string& path) {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string Resolved(const std::string& delta, const std::string& recorded) {
  char out[PATH_MAX + 1];
  const size_t n = TarvoRecordedTargetPath(delta.c_str(), recorded.data(), recorded.size(), out, sizeof out);
  return n == 0 ? std::string() : std::string(out, n);
}

class RecordedNames : public ::testing::Test {
 protected:
  void SetUp() override {
    layout.root = box.Root();
    layout.in = box.Path("in");
    WriteFile(box.Path("victim"), kVictim);
    WriteFile(box.Path("orig"), kOriginal);
    ASSERT_EQ(::symlink(box.Path("victim").c_str(), box.Path("link").c_str()), 0);
  }

  std::string Delta(const Crafted& c) {
    RemoveTree(layout.in);
    ::mkdir(layout.in.c_str(), 0755);
    const std::string path = layout.in + "/evil.mvr";
    WriteFile(path, Build(c));
    return path;
  }

  void ExpectRootUntouched() {
    EXPECT_EQ(ReadFile(box.Path("victim")), kVictim);
    EXPECT_EQ(ReadLink(box.Path("link")), box.Path("victim"));
    EXPECT_FALSE(Exists(box.Path("planted")));
    EXPECT_FALSE(Exists(box.Path("elsewhere")));
    EXPECT_TRUE(box.TempFilesLeft().empty());
    const std::vector<std::string> names = ListDir(box.Root());
    const std::set<std::string> root(names.begin(), names.end());
    EXPECT_EQ(root, (std::set<std::string>{"victim", "orig", "link", "in", "tmp"}));
  }

  Sandbox box;
  recordednames::Layout layout;
};

TEST_F(RecordedNames, EveryRouteCreatesOnlyTheBaseNameBesideTheDifferenceFile) {
  struct Route {
    const char* what;
    bool yes;  // the user said yes to replacing what has the name
    std::function<E_TARVO_ERROR(const std::string& delta, const std::string& recorded)> call;
  };
  const std::string orig = box.Path("orig");
  S_TARVO_RECONSTRUCT_OPTIONS fromFile{sizeof(S_TARVO_RECONSTRUCT_OPTIONS), 1, 1, 0, nullptr};
  S_TARVO_RECONSTRUCT_OPTIONS accepted{sizeof(S_TARVO_RECONSTRUCT_OPTIONS), 0, 0, 1, nullptr};
  S_TARVO_RECONSTRUCT_OPTIONS acceptedFromFile{sizeof(S_TARVO_RECONSTRUCT_OPTIONS), 1, 1, 1, nullptr};
  // A host that read the difference file from a copy names the folder.
  S_TARVO_RECONSTRUCT_OPTIONS fromCopy{sizeof(S_TARVO_RECONSTRUCT_OPTIONS), 1, 1, 1, layout.in.c_str()};
  const Route routes[] = {
      {"the difference file alone", false,
       [&](const std::string& d, const std::string&) {
         return ReconstructTargetFile(nullptr, d.c_str(), nullptr, nullptr, nullptr);
       }},
      {"the difference file and the original", false,
       [&](const std::string& d, const std::string&) {
         return ReconstructTargetFile(orig.c_str(), d.c_str(), "", nullptr, nullptr);
       }},
      {"a host passing the recorded name as read", false,
       [&](const std::string& d, const std::string& r) {
         return ReconstructTargetFile(orig.c_str(), d.c_str(), r.c_str(), nullptr, &fromFile);
       }},
      {"a host passing the path it showed", false,
       [&](const std::string& d, const std::string& r) {
         const std::string shown = Resolved(d, r);
         return ReconstructTargetFile(orig.c_str(), d.c_str(), shown.empty() ? r.c_str() : shown.c_str(), nullptr,
                                      &fromFile);
       }},
      {"the difference file alone, replacing", true,
       [&](const std::string& d, const std::string&) {
         return ReconstructTargetFile(nullptr, d.c_str(), nullptr, nullptr, &accepted);
       }},
      {"a host passing the path it showed, replacing", true,
       [&](const std::string& d, const std::string& r) {
         const std::string shown = Resolved(d, r);
         return ReconstructTargetFile(orig.c_str(), d.c_str(), shown.empty() ? r.c_str() : shown.c_str(), nullptr,
                                      &acceptedFromFile);
       }},
      {"a copy of the difference file standing for one in the folder, replacing", true,
       [&](const std::string& d, const std::string&) {
         const std::string copy = box.Path("tmp/copy.mvr");
         WriteFile(copy, ReadFile(d));
         const E_TARVO_ERROR r = ReconstructTargetFile(orig.c_str(), copy.c_str(), nullptr, nullptr, &fromCopy);
         ::unlink(copy.c_str());
         return r;
       }},
  };
  for (const Route& route : routes) {
    for (const recordednames::Case& c : recordednames::Cases()) {
      SCOPED_TRACE(std::string(route.what) + ": " + c.what);
      Crafted crafted = Valid();
      crafted.originalName = orig;
      crafted.modifiedName = c.recorded(layout);
      const std::string delta = Delta(crafted);
      if (!c.plant(layout)) {
        std::printf("skipped here: %s\n", c.what);
        continue;
      }
      const std::vector<std::string> before = ListDir(layout.in);
      if (c.swapFolder) ArmFolderSwap(layout.in.c_str(), layout.root.c_str());
      const E_TARVO_ERROR expected = route.yes ? c.withYes : c.expected;
      EXPECT_EQ(route.call(delta, crafted.modifiedName), expected);
      if (c.swapFolder) {
        EXPECT_TRUE(FolderSwapped());
      }
      recordednames::ExpectOnlyTheEntryChanged(layout, c, expected, before, kModified);
      if (!route.yes && Exists(layout.in + "/taken")) {
        EXPECT_EQ(ReadFile(layout.in + "/taken"), Bytes({'m', 'i', 'n', 'e'}));
      }
      ExpectRootUntouched();
    }
  }
}

// Callers that predate the origin field keep what they had: a name they
// pass counts as theirs.
TEST_F(RecordedNames, ShortOptionsKeepATypedNameTyped) {
  const std::string delta = Delta(Valid());
  WriteFile(layout.in + "/mine", {'o', 'l', 'd'});
  const S_TARVO_RECONSTRUCT_OPTIONS older{8, 0, 1, 0, nullptr};  // the third field is past dwSize
  EXPECT_EQ(ReconstructTargetFile(box.Path("orig").c_str(), delta.c_str(), (layout.in + "/mine").c_str(), nullptr,
                                  &older),
            TARVO_OK);
  EXPECT_EQ(ReadFile(layout.in + "/mine"), kModified);
}

TEST_F(RecordedNames, ResolvedPathsAsHostsShowThem) {
  const struct {
    const char* delta;
    std::string recorded;
    const char* shown;  // nullptr: refused
  } cases[] = {
      {"/home/u/new.bin.mvr", "/home/u/new.bin", "/home/u/new.bin"},  // the usual layout: unchanged
      {"x.mvr", "/etc/cron.d/job", "job"},
      {"/d/x.mvr", "C:\\Users\\Ann\\new.bin", "/d/new.bin"},
      {"/d/x.mvr", "..", nullptr},
      {"/d/x.mvr", "", nullptr},
      {"/x.mvr", "a/b", "/b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.recorded);
    const std::string shown = Resolved(c.delta, c.recorded);
    EXPECT_EQ(shown, c.shown != nullptr ? c.shown : "");
  }
  char tiny[4];
  EXPECT_EQ(TarvoRecordedTargetPath("/d/x.mvr", "long-name", 9, tiny, sizeof tiny), std::strlen("/d/long-name"));
  EXPECT_EQ(TarvoRecordedTargetPath("/d/x.mvr", nullptr, 0, tiny, sizeof tiny), 0u);
}

// A host reading names through C strings never sees an embedded NUL; the
// core, which reads the file's bytes, refuses the name whole.
TEST_F(RecordedNames, AnEmbeddedNulIsRefused) {
  Crafted c = Valid();
  c.originalName = box.Path("orig");
  c.modifiedName = std::string("cut\0off", 7);
  const std::string delta = Delta(c);
  EXPECT_EQ(ReconstructTargetFile(nullptr, delta.c_str(), nullptr, nullptr, nullptr), TARVO_ERR_CREATE_OUTPUT);
  EXPECT_EQ(ListDir(layout.in), std::vector<std::string>{"evil.mvr"});
}

// A recorded original is only read, but what is not a regular file is not
// even opened: opening a device can have effects of its own.
TEST_F(RecordedNames, RecordedOriginalsAreLookedForBesideTheFileAndNeverOpenedWhenNotRegular) {
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  const struct {
    const char* what;
    std::function<std::string()> recorded;
    bool besideDelta;  // a copy of the original lies beside the difference file
    E_TARVO_ERROR expected;
  } cases[] = {
      {"written on the other system", [] { return std::string("D:\\data\\orig"); }, true, TARVO_OK},
      {"missing at its recorded path", [&] { return box.Path("gone/orig"); }, true, TARVO_OK},
      {"missing everywhere", [&] { return box.Path("gone/orig"); }, false, TARVO_ERR_OPEN_ORIGINAL},
      {"a FIFO", [&] { return box.Path("fifo"); }, false, TARVO_ERR_OPEN_ORIGINAL},
      {"a character device", [] { return std::string("/dev/null"); }, false, TARVO_ERR_OPEN_ORIGINAL},
  };
  ASSERT_EQ(::mkfifo(box.Path("fifo").c_str(), 0600), 0);
  ASSERT_GE(::inotify_add_watch(watch, box.Path("fifo").c_str(), IN_OPEN), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Crafted crafted = Valid();
    crafted.originalName = c.recorded();
    crafted.modifiedName = "rebuilt";
    const std::string delta = Delta(crafted);
    if (c.besideDelta) WriteFile(layout.in + "/orig", kOriginal);
    EXPECT_EQ(ReconstructTargetFile(nullptr, delta.c_str(), nullptr, nullptr, nullptr), c.expected);
    EXPECT_EQ(Exists(layout.in + "/rebuilt"), c.expected == TARVO_OK);
    char events[4096];
    EXPECT_LE(::read(watch, events, sizeof events), 0) << "the FIFO was opened";
  }
  ::close(watch);
}

}  // namespace
