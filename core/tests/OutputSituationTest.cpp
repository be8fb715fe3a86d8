// What a run does to the place its output goes: files the caller may not
// write, folders that take no new file, names too long, a temporary folder
// that fills up, a file system without unnamed files, a folder swapped
// under the run, and inputs that change while they are read. Each case runs
// in a child, as another user where that is what it is about.
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <random>

#include "MvrCodec.h"
#include "TarvoCore.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// Makes the file system look like one without O_TMPFILE: openat with that
// flag fails as it does there.
bool RefuseUnnamedFiles() {
  struct sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, args[2])),
      BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, 020000000, 0, 1),  // O_TMPFILE without O_DIRECTORY
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (EOPNOTSUPP & SECCOMP_RET_DATA)),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  struct sock_fprog program {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// Makes every write at an offset past the start fail as on a full disk:
// of a copy over an old file, the first block goes over and the rest fails.
// Only the copy over the old file writes at offsets.
bool FailWritesPastTheStart() {
  struct sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pwrite64, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, args[3])),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, 0, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (ENOSPC & SECCOMP_RET_DATA)),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  struct sock_fprog program {static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

// What happens at the first progress report past the start, in the child.
std::function<void()> g_atCheckpoint;
bool g_anyProgress = false;

int32_t AtCheckpoint(TypeNotifyEvent* e, uintptr_t) {
  if (e->nKind != TARVO_EVENT_PROGRESS) return 0;
  g_anyProgress = true;
  if (g_atCheckpoint && e->dwDone > 0 && e->dwDone < e->dwTotal) {
    auto act = std::move(g_atCheckpoint);
    g_atCheckpoint = nullptr;
    act();
  }
  return 0;
}

std::string HiddenLeft(const std::string& dir) {
  for (const std::string& n : ListDir(dir)) {
    if (n.find(".Mvr") != std::string::npos) return n;
  }
  return {};
}

class Outputs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 rng(5);
    original = RandomBytes(rng, 3 << 20);
    modified = Mutate(rng, original, 300);
    ::chmod(box.Root().c_str(), 0755);
    ::mkdir(dir.c_str(), 0755);
    WriteFile(orig, original);
    WriteFile(mod, modified);
    ASSERT_EQ(ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), nullptr, nullptr), TARVO_OK);
  }

  struct Run {
    bool asNobody = false;
    bool noUnnamedFiles = false;
    rlim_t fileSizeLimit = 0;
    std::function<void()> atCheckpoint;
    bool failWritesPastTheStart = false;
  };
  struct Ended {
    int code = -1;    // the call's result, -1 when it did not return
    int signal = 0;   // the signal that ended the child
    bool progressed = false;
  };

  template <class Call>
  Ended InChild(const Run& run, Call call) {
    int report[2];
    if (::pipe(report) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(report[0]);
      ::signal(SIGXFSZ, SIG_IGN);
      if (run.asNobody && (::setgid(kNogroup) != 0 || ::setuid(kNobody) != 0)) ::_exit(200);
      if (run.noUnnamedFiles && !RefuseUnnamedFiles()) ::_exit(201);
      if (run.failWritesPastTheStart && !FailWritesPastTheStart()) ::_exit(202);
      if (run.fileSizeLimit != 0) {
        const struct rlimit lim {run.fileSizeLimit, run.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &lim);
      }
      g_atCheckpoint = run.atCheckpoint;
      S_TARVO_NOTIFY_INFO notify{};
      notify.dwMethod = TARVO_NOTIFY_FUNCTION;
      notify.pfnNotify = AtCheckpoint;
      const int code = call(&notify);
      const char progressed = g_anyProgress ? 1 : 0;
      if (::write(report[1], &progressed, 1) != 1) ::_exit(127);
      ::_exit(code);
    }
    ::close(report[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Ended e;
    char progressed = 0;
    if (::read(report[0], &progressed, 1) == 1) e.progressed = progressed != 0;
    ::close(report[0]);
    if (WIFEXITED(status)) e.code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) e.signal = WTERMSIG(status);
    return e;
  }

  // Lets nobody read the inputs, make temporary files and work in `dir`.
  void OpenUpForNobody() {
    ASSERT_EQ(::chown(dir.c_str(), kNobody, kNogroup), 0);
    ASSERT_EQ(::chmod(box.Path("tmp").c_str(), 01777), 0);
  }

  Sandbox box;
  std::string dir = box.Path("out"), orig = box.Path("o.bin"), mod = box.Path("m.bin"),
              delta = box.Path("m.mvr");
  Bytes original, modified;
};

using Notify = const S_TARVO_NOTIFY_INFO*;

TEST_F(Outputs, ReplacingRespectsTheOldFile) {
  const bool root = ::geteuid() == 0;
  if (root) OpenUpForNobody();
  const Bytes old = {'o', 'l', 'd'};
  const std::string target = dir + "/target";
  struct Case {
    const char* what;
    bool needsRoot;
    std::function<void()> plant;
    bool asNobody;
    int reconstructCode, constructCode;
    bool replaced;
    bool work;  // whether the run got as far as its work (a progress report)
  };
  const Case cases[] = {
      {"a read-only file", false,
       [&] {
         WriteFile(target, old);
         ::chmod(target.c_str(), 0444);
         if (root) {
           ASSERT_EQ(::chown(target.c_str(), kNobody, kNogroup), 0);
         }
       },
       root, TARVO_ERR_CREATE_OUTPUT, TARVO_ERR_OPEN_DELTA, false, false},
      {"another user's file in the caller's folder", true,
       [&] {
         WriteFile(target, old);
         ::chmod(target.c_str(), 0644);  // root's
       },
       true, TARVO_ERR_CREATE_OUTPUT, TARVO_ERR_OPEN_DELTA, false, false},
      {"a writable file in a folder that takes no new file", false,
       [&] {
         WriteFile(target, old);
         if (root) {
           ASSERT_EQ(::chown(target.c_str(), kNobody, kNogroup), 0);
         }
         ::chmod(dir.c_str(), 0555);
       },
       root, TARVO_OK, TARVO_OK, true, true},
      // A new file would be the caller's, who could not give it back.
      {"another user's world-writable file", true,
       [&] {
         WriteFile(target, old);
         ::chmod(target.c_str(), 0666);  // root's
       },
       true, TARVO_OK, TARVO_OK, true, true},
      {"another user's world-writable file in a sticky folder", true,
       [&] {
         WriteFile(target, old);
         ::chmod(target.c_str(), 0666);
         ASSERT_EQ(::chown(dir.c_str(), 0, 0), 0);
         ::chmod(dir.c_str(), 01777);
       },
       true, TARVO_OK, TARVO_OK, true, true},
      // Where the new file cannot take the name, the run ends before the work.
      {"another user's dangling link in a sticky folder", true,
       [&] {
         ASSERT_EQ(::symlink(box.Path("nowhere").c_str(), target.c_str()), 0);
         ASSERT_EQ(::chown(dir.c_str(), 0, 0), 0);
         ::chmod(dir.c_str(), 01777);
       },
       true, TARVO_ERR_CREATE_OUTPUT, TARVO_ERR_OPEN_DELTA, false, false},
  };
  for (const Case& c : cases) {
    for (const bool construct : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (construct ? ", construction" : ", reconstruction"));
      if (c.needsRoot && !root) {
        std::printf("skipped here (needs another user): %s\n", c.what);
        continue;
      }
      c.plant();
      struct stat before {};
      ASSERT_EQ(::lstat(target.c_str(), &before), 0);
      const Ended e = InChild({c.asNobody, false, 0, nullptr, false}, [&](Notify n) {
        return construct ? ConstructDeltaFile(orig.c_str(), mod.c_str(), target.c_str(), n, nullptr)
                         : ReconstructTargetFile(orig.c_str(), delta.c_str(), target.c_str(), n, nullptr);
      });
      EXPECT_EQ(e.code, construct ? c.constructCode : c.reconstructCode);
      EXPECT_EQ(e.progressed, c.work);
      struct stat after {};
      ASSERT_EQ(::lstat(target.c_str(), &after), 0);
      EXPECT_EQ(after.st_uid, before.st_uid);
      EXPECT_EQ(after.st_ino, before.st_ino);  // in place, or not at all
      if (S_ISLNK(before.st_mode)) {
        EXPECT_FALSE(Exists(box.Path("nowhere")));
      } else if (!c.replaced) {
        EXPECT_EQ(ReadFile(target), old);
      } else if (!construct) {
        EXPECT_EQ(ReadFile(target), modified);
      }
      EXPECT_EQ(HiddenLeft(dir), "");
      EXPECT_TRUE(box.TempFilesLeft().empty());
      ::chmod(dir.c_str(), 0755);
      if (root) {
        ASSERT_EQ(::chown(dir.c_str(), kNobody, kNogroup), 0);
      }
      ::unlink(target.c_str());
    }
  }
}

// Written in place, the result is rebuilt and checked elsewhere first: a
// run stopped or failing before the copy leaves the old file as it was; a
// copy that fails half-way says that the old file is damaged.
TEST_F(Outputs, InPlaceTheOldFileStaysUntilTheResultIsComplete) {
  const bool root = ::geteuid() == 0;
  if (root) OpenUpForNobody();
  const Bytes old(5 << 20, 'o');  // longer than the result: a copy must also cut it
  const std::string target = dir + "/target";
  Bytes wrong = ReadFile(delta);  // a difference file whose result checksum is wrong
  wrong[20] ^= 1;
  std::fill(wrong.begin(), wrong.begin() + 4, 0);
  const uint32_t crc = MvrChecksum(static_cast<char>(wrong[kDeltaVersionOffset]), 0, wrong.data(), wrong.size());
  for (int i = 0; i < 4; ++i) wrong[static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (8 * i));
  const std::string wrongDelta = box.Path("wrong.mvr");
  WriteFile(wrongDelta, wrong);
  // Unrelated to the original: a difference file larger than one block of the copy.
  std::mt19937 rng(9);
  const std::string unrelated = box.Path("u.bin");
  WriteFile(unrelated, RandomBytes(rng, 2 << 20));
  constexpr int kDamagedMessage = 100;  // added to the code when the message says the old file is damaged
  const struct {
    const char* what;
    const std::string* delta;  // nullptr: a construction
    int signal;
    bool failCopy;
    int code;
    bool keepsOld;
  } cases[] = {
      {"a whole run", &delta, 0, false, TARVO_OK, false},
      {"interrupted during the work", &delta, SIGINT, false, -1, true},
      {"terminated during the work", &delta, SIGTERM, false, -1, true},
      {"a result whose checksum fails", &wrongDelta, 0, false, TARVO_ERR_BAD_RESULT, true},
      {"a copy over the old file that fails half-way", &delta, 0, true, TARVO_ERR_WRITE_OUTPUT + kDamagedMessage,
       false},
      {"construction, interrupted during the work", nullptr, SIGINT, false, -1, true},
      {"construction, a copy over the old file that fails half-way", nullptr, 0, true,
       TARVO_ERR_WRITE_DELTA + kDamagedMessage, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(target, old);
    if (root) {
      ASSERT_EQ(::chown(target.c_str(), kNobody, kNogroup), 0);
    }
    ::chmod(dir.c_str(), 0555);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    Run run{root, false, 0, nullptr, c.failCopy};
    if (c.signal != 0) run.atCheckpoint = [sig = c.signal] { ::raise(sig); };
    const Ended e = InChild(run, [&](Notify n) {
      if (c.delta == nullptr) {
        const int code = ConstructDeltaFile(orig.c_str(), unrelated.c_str(), target.c_str(), n, nullptr);
        return code + (TarvoLastMessageId() == kTarvoMessageOldDeltaDamaged ? kDamagedMessage : 0);
      }
      const int code = ReconstructTargetFile(orig.c_str(), c.delta->c_str(), target.c_str(), n, nullptr);
      return code + (TarvoLastMessageId() == kTarvoMessageOldFileDamaged ? kDamagedMessage : 0);
    });
    EXPECT_EQ(e.code, c.code);
    EXPECT_EQ(e.signal, c.signal);
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    if (c.keepsOld) {
      EXPECT_EQ(ReadFile(target), old);
    }
    if (c.code == TARVO_OK && c.delta != nullptr) {
      EXPECT_EQ(ReadFile(target), modified);
    }
    EXPECT_TRUE(box.TempFilesLeft().empty());
    ::chmod(dir.c_str(), 0755);
  }
}

TEST_F(Outputs, AReplacedFileKeepsItsOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs another user's file";
  const std::string target = dir + "/target";
  WriteFile(target, {'o', 'l', 'd'});
  ASSERT_EQ(::chown(target.c_str(), kNobody, kNogroup), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(ReconstructTargetFile(orig.c_str(), delta.c_str(), target.c_str(), nullptr, nullptr), TARVO_OK);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(ReadFile(target), modified);
  EXPECT_EQ(st.st_uid, kNobody);
  EXPECT_EQ(st.st_gid, kNogroup);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(Outputs, NamesTooLongFailBeforeAnyWork) {
  const std::string longComponent = dir + "/" + std::string(NAME_MAX + 1, 'x');
  std::string longPath = dir;
  while (longPath.size() < PATH_MAX) longPath += "/" + std::string(200, 'y');
  for (const std::string& name : {longComponent, longPath}) {
    SCOPED_TRACE(name.size());
    Ended e = InChild({}, [&](Notify n) {
      return ReconstructTargetFile(orig.c_str(), delta.c_str(), name.c_str(), n, nullptr);
    });
    EXPECT_EQ(e.code, TARVO_ERR_CREATE_OUTPUT);
    EXPECT_FALSE(e.progressed);
    e = InChild({}, [&](Notify n) { return ConstructDeltaFile(orig.c_str(), mod.c_str(), name.c_str(), n, nullptr); });
    EXPECT_EQ(e.code, TARVO_ERR_OPEN_DELTA);
    EXPECT_FALSE(e.progressed);
  }
  EXPECT_TRUE(ListDir(dir).empty());
}

// The temporary code file is the first to hit the limit; nothing may stay
// under the output name that a rerun would then refuse.
TEST_F(Outputs, AFullTemporaryFolderLeavesNoOutput) {
  const std::string target = dir + "/rebuilt";
  const Ended e = InChild({false, false, 64 << 10, nullptr, false}, [&](Notify n) {
    return ReconstructTargetFile(orig.c_str(), delta.c_str(), target.c_str(), n, nullptr);
  });
  EXPECT_EQ(e.code, TARVO_ERR_BAD_DELTA);
  EXPECT_TRUE(ListDir(dir).empty());
  EXPECT_TRUE(box.TempFilesLeft().empty());
}

TEST_F(Outputs, WithoutUnnamedFilesNothingHiddenOutlivesTheRun) {
  const Bytes old = {'o', 'l', 'd'};
  const std::string target = dir + "/target";
  const auto construct = [&](Notify n) { return ConstructDeltaFile(orig.c_str(), mod.c_str(), target.c_str(), n, nullptr); };
  const auto reconstruct = [&](Notify n) {
    return ReconstructTargetFile(orig.c_str(), delta.c_str(), target.c_str(), n, nullptr);
  };
  for (const bool build : {true, false}) {
    for (const int sig : {0, SIGTERM, SIGINT, SIGHUP}) {
      SCOPED_TRACE(std::string(build ? "construction" : "reconstruction") + ", signal " + std::to_string(sig));
      WriteFile(target, old);
      Run run{false, true, 0, nullptr, false};
      bool sawHidden = false;
      if (sig != 0) {
        run.atCheckpoint = [&, sig] {
          // The hidden file must be there, or this case shows nothing.
          if (HiddenLeft(dir).empty()) ::_exit(99);
          ::raise(sig);
        };
      }
      const Ended e = build ? InChild(run, construct) : InChild(run, reconstruct);
      sawHidden = e.code != 99;
      EXPECT_TRUE(sawHidden);
      if (sig == 0) {
        EXPECT_EQ(e.code, TARVO_OK);
        EXPECT_NE(ReadFile(target), old);
      } else {
        EXPECT_EQ(e.signal, sig);
        EXPECT_EQ(ReadFile(target), old);
      }
      EXPECT_EQ(HiddenLeft(dir), "");
    }
  }
}

TEST_F(Outputs, AFolderSwappedForALinkDuringTheRunIsNotFollowed) {
  const std::string elsewhere = box.Path("elsewhere");
  ::mkdir(elsewhere.c_str(), 0755);
  Run run;
  run.atCheckpoint = [&] {
    (void)::rename(dir.c_str(), (dir + ".old").c_str());
    if (::symlink(elsewhere.c_str(), dir.c_str()) != 0) std::abort();
  };
  const Ended e = InChild(run, [&](Notify n) {
    return ReconstructTargetFile(orig.c_str(), delta.c_str(), (dir + "/rebuilt").c_str(), n, nullptr);
  });
  EXPECT_EQ(e.code, TARVO_OK);
  EXPECT_TRUE(ListDir(elsewhere).empty());
  EXPECT_EQ(ReadFile(dir + ".old/rebuilt"), modified);
}

TEST_F(Outputs, AnInputChangedDuringConstructionFails) {
  const std::string target = dir + "/new.mvr";
  const struct {
    const char* what;
    std::string path;
    bool replace;  // by rename, else rewritten in place
    int code;
  } cases[] = {
      {"modified rewritten in place", mod, false, TARVO_ERR_READ_MODIFIED},
      {"modified replaced", mod, true, TARVO_ERR_READ_MODIFIED},
      {"original rewritten in place", orig, false, TARVO_ERR_READ_ORIGINAL},
      {"original replaced", orig, true, TARVO_ERR_READ_ORIGINAL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(orig, original);
    WriteFile(mod, modified);
    Run run;
    run.atCheckpoint = [&] {
      // Past the clock tick of the mapping, so that the times can move.
      ::usleep(20000);
      if (c.replace) {
        WriteFile(c.path + ".new", Bytes(1000, 'n'));
        (void)::rename((c.path + ".new").c_str(), c.path.c_str());
      } else {
        const int fd = ::open(c.path.c_str(), O_WRONLY);
        if (::pwrite(fd, "changed", 7, 100) != 7) std::abort();
        ::close(fd);
      }
    };
    const Ended e = InChild(run, [&](Notify n) { return ConstructDeltaFile(orig.c_str(), mod.c_str(), target.c_str(), n, nullptr); });
    EXPECT_EQ(e.code, c.code);
    EXPECT_TRUE(ListDir(dir).empty());
    EXPECT_TRUE(box.TempFilesLeft().empty());
  }
}

}  // namespace
