// Difference files made by an attacker and inputs that are no plain files:
// each case says what the call must answer, which files must come through
// unchanged, and how many bytes it may write while it finds out.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "CraftedDelta.h"
#include "Decompress.h"
#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

// Bytes this process has handed to write() so far; 0 where /proc has no io file.
uint64_t BytesWritten() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "wchar:") return value;
  }
  return 0;
}

std::string ReadLink(const std::string& path) {
  char buf[4096];
  const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// Files whose names an attacker may aim at; all must stay as they were.
const Bytes kVictim = {'s', 'e', 'c', 'r', 'e', 't'};
const Bytes kOriginal = {'x'};

// A well-formed file for the one-byte original that rebuilds "hello".
Crafted Valid() {
  const Bytes modified = {'h', 'e', 'l', 'l', 'o'};
  // WO = 1, WI = 1: an insert is the marker 1, the length and the bytes.
  Bytes code = {1, 5};
  code.insert(code.end(), modified.begin(), modified.end());
  return For(kOriginal, modified, code);
}

// A stream of n records that each rebuild nothing.
Bytes EmptyRecords(size_t n) {
  Bytes code;
  code.reserve(2 * n);
  for (size_t i = 0; i < n; ++i) code.insert(code.end(), {1, 0});
  return code;
}

struct Scene {
  Sandbox& box;
  std::string original, delta, output;  // empty: the name recorded in the file
  std::string absent;                   // a path that must not exist afterwards
  std::string leftSmallerThan;          // output that may stay, at most `leftAtMost` bytes
  size_t leftAtMost = 0;
};

struct HostileCase {
  const char* name;
  std::function<bool(Scene&)> setUp;  // false: cannot be set up here (skipped)
  E_TARVO_ERROR expected;
  uint64_t maxWritten;
};

class Hostile : public ::testing::Test {
 protected:
  void SetUp() override {
    ::mkdir(box.Path("work").c_str(), 0700);
    // Recorded relative names resolve here, one level below the victims.
    ASSERT_EQ(::getcwd(savedCwd_, sizeof savedCwd_), savedCwd_);
    ASSERT_EQ(::chdir(box.Path("work").c_str()), 0);
    WriteFile(box.Path("victim"), kVictim);
    WriteFile(box.Path("orig"), kOriginal);
    ASSERT_EQ(::symlink(box.Path("victim").c_str(), box.Path("link").c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(savedCwd_), 0); }

  // The victim, the link to it, and no temporary or hidden file left behind.
  void ExpectNothingHarmed() {
    EXPECT_EQ(ReadFile(box.Path("victim")), kVictim);
    EXPECT_EQ(ReadLink(box.Path("link")), box.Path("victim"));
    EXPECT_TRUE(box.TempFilesLeft().empty());
    for (const std::string& dir : {box.Root(), box.Path("work")}) {
      for (const std::string& n : ListDir(dir)) EXPECT_EQ(n.find(".Mvr"), std::string::npos) << n;
    }
  }

  std::string Delta(const Crafted& c) {
    const std::string path = box.Path("evil.mvr");
    WriteFile(path, Build(c));
    return path;
  }

  Sandbox box;
  char savedCwd_[4096];
};

// Reconstruction under each inflater: the answers may not depend on it.
class EachInflater : public Hostile, public ::testing::WithParamInterface<tarvo::Inflater> {
 protected:
  void SetUp() override {
    Hostile::SetUp();
    tarvo::ChooseInflater(GetParam());
  }
  void TearDown() override {
    tarvo::ChooseInflater(tarvo::Inflater::Fast);
    Hostile::TearDown();
  }
};

std::string InflaterName(const ::testing::TestParamInfo<tarvo::Inflater>& info) {
  return info.param == tarvo::Inflater::Zlib ? "Zlib" : "Fast";
}

INSTANTIATE_TEST_SUITE_P(Inflaters, EachInflater, ::testing::Values(tarvo::Inflater::Zlib, tarvo::Inflater::Fast),
                         InflaterName);

TEST_P(EachInflater, ReconstructionRefusesWhatItMustNotDo) {
  const auto named = [&](const std::string& modifiedName) {
    Crafted c = Valid();
    c.originalName = box.Path("orig");
    c.modifiedName = modifiedName;
    return c;
  };
  const HostileCase cases[] = {
      {"recorded name with a broken body", [&](Scene& s) {
         Crafted c = named(box.Path("victim"));
         c.code = Bytes{1, 200};  // an insert reaching past the stream
         s.delta = Delta(c);
         return true;
       }, TARVO_ERR_OVERWRITE_REFUSED, 4096},
      {"recorded original is /dev/null", [&](Scene& s) {
         Crafted c = named(box.Path("fresh"));
         c.originalName = "/dev/null";
         c.originalSize = 0;
         c.originalCrc = 0;
         s.delta = Delta(c);
         s.original.clear();
         s.absent = box.Path("fresh");
         return true;
       }, TARVO_ERR_OPEN_ORIGINAL, 4096},
      {"records that rebuild nothing, inflating to 64 MiB", [&](Scene& s) {
         Crafted c = For(kOriginal, Bytes(16, 'h'), EmptyRecords(32u << 20));
         s.delta = Delta(c);
         s.output = box.Path("out");
         s.leftSmallerThan = s.output;
         return true;
       }, TARVO_ERR_BAD_DELTA, 1 << 20},
      {"one insert far beyond the recorded size", [&](Scene& s) {
         Bytes code = {1, 0, 0, 0x80};  // 8 MiB with WI = 3
         code.resize(code.size() + (8u << 20), 'z');
         Crafted c = For(kOriginal, Bytes(65536, 'z'), code);
         s.delta = Delta(c);
         s.output = box.Path("out");
         s.leftSmallerThan = s.output;
         s.leftAtMost = 65536;
         return true;
       }, TARVO_ERR_BAD_DELTA, 1 << 20},
      {"an insert longer than what is left of the size", [&](Scene& s) {
         Bytes code = {1, 0x58, 0x02};  // 600 bytes with WI = 2, twice
         code.resize(code.size() + 600, 'a');
         code.insert(code.end(), {1, 0x58, 0x02});
         code.resize(code.size() + 600, 'b');
         s.delta = Delta(For(kOriginal, Bytes(1000, 'a'), code));
         s.output = box.Path("out");
         s.leftSmallerThan = s.output;
         s.leftAtMost = 600;
         return true;
       }, TARVO_ERR_BAD_DELTA, 64 << 10},
      {"a broken body over an existing file named by the user", [&](Scene& s) {
         Crafted c = Valid();
         c.code = Bytes{1, 200};
         s.delta = Delta(c);
         s.output = box.Path("victim");
         return true;
       }, TARVO_ERR_BAD_DELTA, 4096},
      {"a wrong result over an existing file named by the user", [&](Scene& s) {
         Crafted c = Valid();
         c.modifiedCrc ^= 1;
         s.delta = Delta(c);
         s.output = box.Path("link");
         return true;
       }, TARVO_ERR_BAD_RESULT, 4096},
      {"original is /dev/zero", [&](Scene& s) {
         s.delta = Delta(Valid());
         s.original = "/dev/zero";
         s.output = box.Path("out");
         s.absent = s.output;
         return true;
       }, TARVO_ERR_OPEN_ORIGINAL, 4096},
      {"original is a FIFO", [&](Scene& s) {
         s.delta = Delta(Valid());
         s.original = box.Path("fifo");
         s.output = box.Path("out");
         s.absent = s.output;
         return ::mkfifo(s.original.c_str(), 0600) == 0;
       }, TARVO_ERR_OPEN_ORIGINAL, 4096},
      {"difference file is a FIFO", [&](Scene& s) {
         s.delta = box.Path("fifo.mvr");
         s.output = box.Path("out");
         s.absent = s.output;
         return ::mkfifo(s.delta.c_str(), 0600) == 0;
       }, TARVO_ERR_OPEN_DELTA, 4096},
      {"output is a FIFO", [&](Scene& s) {
         s.delta = Delta(Valid());
         s.output = box.Path("fifo");
         return ::mkfifo(s.output.c_str(), 0600) == 0;
       }, TARVO_ERR_CREATE_OUTPUT, 4096},
      {"output is a device", [&](Scene& s) {
         s.delta = Delta(Valid());
         s.output = box.Path("full");
         return ::mknod(s.output.c_str(), S_IFCHR | 0600, makedev(1, 7)) == 0;  // as root only
       }, TARVO_ERR_CREATE_OUTPUT, 4096},
  };
  for (const HostileCase& c : cases) {
    SCOPED_TRACE(c.name);
    Scene s{box, box.Path("orig"), "", "", "", "", 0};
    if (!c.setUp(s)) {
      std::printf("skipped here: %s\n", c.name);
      continue;
    }
    struct stat before {};
    const bool outputWasThere = !s.output.empty() && ::lstat(s.output.c_str(), &before) == 0;
    const uint64_t start = BytesWritten();
    const E_TARVO_ERROR got = ReconstructTargetFile(s.original.empty() ? nullptr : s.original.c_str(),
                                                    s.delta.c_str(), s.output.empty() ? nullptr : s.output.c_str(),
                                                    nullptr, nullptr);
    const uint64_t written = BytesWritten() - start;
    EXPECT_EQ(got, c.expected);
    EXPECT_LE(written, c.maxWritten);
    ExpectNothingHarmed();
    if (!s.absent.empty()) {
      struct stat st {};
      EXPECT_NE(::lstat(s.absent.c_str(), &st), 0) << s.absent;
    }
    if (outputWasThere) {  // still the same entry, of the same kind
      struct stat after {};
      ASSERT_EQ(::lstat(s.output.c_str(), &after), 0);
      EXPECT_EQ(after.st_ino, before.st_ino);
      EXPECT_EQ(after.st_mode, before.st_mode);
    }
    if (!s.leftSmallerThan.empty() && Exists(s.leftSmallerThan)) {
      EXPECT_LE(ReadFile(s.leftSmallerThan).size(), s.leftAtMost);
    }
    for (const std::string& n : ListDir(box.Root())) {
      if (n != "victim" && n != "link" && n != "orig" && n != "work" && n != "tmp") {
        ::unlink(box.Path(n).c_str());
      }
    }
  }
}

TEST_F(Hostile, ConstructionTakesOnlyRegularFiles) {
  const std::string mod = box.Path("mod"), out = box.Path("out.mvr"), fifo = box.Path("fifo");
  WriteFile(mod, Bytes(5000, 'm'));
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string original, modified, delta;
    E_TARVO_ERROR expected;
  } cases[] = {
      {"original /dev/zero", "/dev/zero", mod, out, TARVO_ERR_OPEN_ORIGINAL},
      {"original a FIFO", fifo, mod, out, TARVO_ERR_OPEN_ORIGINAL},
      {"modified a FIFO", box.Path("orig"), fifo, out, TARVO_ERR_OPEN_MODIFIED},
      {"difference file a FIFO", box.Path("orig"), mod, fifo, TARVO_ERR_OPEN_DELTA},
      {"difference file a folder", box.Path("orig"), mod, box.Path("work"), TARVO_ERR_OPEN_DELTA},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ConstructDeltaFile(c.original.c_str(), c.modified.c_str(), c.delta.c_str(), nullptr, nullptr),
              c.expected);
    ::unlink(out.c_str());
  }
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  ExpectNothingHarmed();
}

// An older output of the same name survives every failure, and every kill.
class Survives : public EachInflater {
 protected:
  void SetUp() override {
    EachInflater::SetUp();
    std::mt19937 rng(3);
    original = RandomBytes(rng, 3 << 20);
    modified = Mutate(rng, original, 200);
    WriteFile(orig, original);
    WriteFile(mod, modified);
  }
  // Runs `call` in a child whose own notifier does `act` at the first
  // checkpoint past the start; returns how the child ended.
  template <class Call>
  int InChild(Call call, int fileSizeLimit = 0) {
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      if (fileSizeLimit > 0) {
        const struct rlimit lim {static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &lim);
      }
      ::_exit(call());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
  }
  static int32_t KillAtCheckpoint(TypeNotifyEvent* e, uintptr_t) {
    if (e->nKind == TARVO_EVENT_PROGRESS && e->dwDone > 0 && e->dwDone < e->dwTotal) ::raise(SIGKILL);
    return 0;
  }
  std::string orig = box.Path("o.bin"), mod = box.Path("m.bin"), delta = box.Path("m.mvr"),
              out = box.Path("rebuilt.bin");
  Bytes original, modified;
};

INSTANTIATE_TEST_SUITE_P(Inflaters, Survives, ::testing::Values(tarvo::Inflater::Zlib, tarvo::Inflater::Fast),
                         InflaterName);

TEST_P(Survives, KilledOrFailingRunsKeepTheOlderFile) {
  const Bytes old = {'o', 'l', 'd'};
  S_TARVO_NOTIFY_INFO kill{};
  kill.dwMethod = TARVO_NOTIFY_FUNCTION;
  kill.pfnNotify = KillAtCheckpoint;

  // Construction: killed, then over the file-size limit.
  WriteFile(delta, old);
  int status = InChild([&] { return ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), &kill, nullptr); });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(ReadFile(delta), old);
  status = InChild([&] { return ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, nullptr); },
                   8192);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == TARVO_ERR_WRITE_DELTA) << status;
  EXPECT_EQ(ReadFile(delta), old);

  // Reconstruction: killed, then over the limit.
  ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, nullptr), TARVO_OK);
  WriteFile(out, old);
  status = InChild([&] { return ReconstructTargetFile(orig.c_str(), delta.c_str(), out.c_str(), &kill, nullptr); });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ(ReadFile(out), old);
  status = InChild([&] { return ReconstructTargetFile(orig.c_str(), delta.c_str(), out.c_str(), nullptr, nullptr); },
                   1 << 20);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == TARVO_ERR_WRITE_OUTPUT) << status;
  EXPECT_EQ(ReadFile(out), old);

  // And a run that succeeds replaces it, keeping its permissions.
  ::chmod(out.c_str(), 0640);
  ASSERT_EQ(ReconstructTargetFile(orig.c_str(), delta.c_str(), out.c_str(), nullptr, nullptr), TARVO_OK);
  EXPECT_EQ(ReadFile(out), modified);
  struct stat st {};
  ASSERT_EQ(::stat(out.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  ExpectNothingHarmed();
}

// An input cut short while it is mapped reads as an error, not a crash.
TEST_P(Survives, InputTruncatedDuringConstruction) {
  static std::string victimPath;
  for (const auto& [path, code] : std::map<std::string, E_TARVO_ERROR>{{orig, TARVO_ERR_READ_ORIGINAL},
                                                                        {mod, TARVO_ERR_READ_MODIFIED}}) {
    SCOPED_TRACE(path);
    WriteFile(orig, original);
    WriteFile(mod, modified);
    victimPath = path;
    S_TARVO_NOTIFY_INFO shrink{};
    shrink.dwMethod = TARVO_NOTIFY_FUNCTION;
    shrink.pfnNotify = [](TypeNotifyEvent* e, uintptr_t) -> int32_t {
      if (e->nKind == TARVO_EVENT_PROGRESS && e->dwDone == 0 && ::truncate(victimPath.c_str(), 100) != 0) {
        ADD_FAILURE() << "cannot shrink " << victimPath;
      }
      return 0;
    };
    EXPECT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), &shrink, nullptr), code);
    EXPECT_FALSE(Exists(delta));
  }
  ExpectNothingHarmed();
}

}  // namespace
