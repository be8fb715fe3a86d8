// Runs the built MvrCnstr as a child process, with stdin from /dev/null or
// under a pseudo-terminal, and checks what it prints, its exit status and the
// files it leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ConsoleRun.h"
#include "TestSupport.h"

namespace {

using testsupport::Bytes;
using testsupport::ReadFile;
using testsupport::Sandbox;
using testsupport::WriteFile;

using namespace consoletest;

const std::string kPrompt = "Press Esc to abort construction . . .\n\n";
const std::string kRuler = std::string(40, '-') + "\n";
const std::string kFullBar = std::string(40, '.');

std::string Completed(const std::string& path, const std::string& message) {
  return kPrompt + kRuler + kFullBar + "\n\n" + path + ": " + message + ".\n";
}

std::set<std::string> Names(const std::string& dir) {
  const auto v = testsupport::ListDir(dir);
  return {v.begin(), v.end()};
}

Outcome RunCnstr(const std::string& dir, std::vector<std::string> args) {
  return RunProgram(MVR_CNSTR_PATH, dir, std::move(args));
}

// MvrCnstr on the slave side of a pseudo-terminal that is its controlling
// terminal. The parent keeps the slave open too, to read its settings after
// the child is gone. Every wait is bounded; the child is killed if still there.
class PtyRun {
 public:
  // asJob: run it as a shell runs a job, in a process group of its own below
  // a session leader, so that job-control stops really stop it (the kernel
  // ignores them in a session leader's orphaned group).
  PtyRun(const std::string& dir, std::vector<std::string> args, bool asJob = false) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    const std::string slaveName = ::ptsname(master_);
    slave_ = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0 || ::tcgetattr(slave_, &initial_) != 0) return;
    args.insert(args.begin(), "MvrCnstr");
    auto argv = Argv(args);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setsid();
      const int tty = ::open(slaveName.c_str(), O_RDWR);
      if (tty < 0 || ::ioctl(tty, TIOCSCTTY, 0) != 0 || ::chdir(dir.c_str()) != 0) ::_exit(126);
      for (int fd = 0; fd <= 2; ++fd) ::dup2(tty, fd);
      ::close(tty);
      ::close(master_);
      ::close(slave_);
      const pid_t job = asJob ? ::fork() : 0;
      if (job == 0) {
        if (asJob) {
          ::setpgid(0, 0);
          ::signal(SIGTTOU, SIG_IGN);
          ::tcsetpgrp(0, ::getpid());
          ::signal(SIGTTOU, SIG_DFL);
        }
        ::execv(MVR_CNSTR_PATH, argv.data());
        ::_exit(127);
      }
      int status = 0;
      while (::waitpid(job, &status, 0) == job && !WIFEXITED(status) && !WIFSIGNALED(status)) {
      }
      ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
  }
  ~PtyRun() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
  }
  PtyRun(const PtyRun&) = delete;
  PtyRun& operator=(const PtyRun&) = delete;

  bool Started() const { return pid_ > 0; }
  // The terminal's foreground process group: the job.
  pid_t Foreground() const { return ::tcgetpgrp(master_); }
  pid_t Pid() const { return pid_; }
  const termios& Initial() const { return initial_; }
  termios Now() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
  }
  // What the child wrote, with the terminal's "\r\n" turned back into "\n".
  std::string Output() const {
    std::string s = out_;
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
  }

  bool WaitForOutput(const std::string& text) {
    return WaitUntil([&] { return Output().find(text) != std::string::npos; });
  }
  // The keyboard switches the terminal over on the first key check, which
  // comes just after the ruler is drawn.
  bool WaitForRawMode() {
    return WaitUntil([&] { return (Now().c_lflag & (ICANON | ECHO)) == 0; });
  }
  bool WaitForCookedMode() {
    return WaitUntil([&] { return (Now().c_lflag & (ICANON | ECHO)) == (ICANON | ECHO); });
  }
  // Waits for the child to end, typing `key` every few milliseconds meanwhile
  // when given: a key read at the first report is ignored by the core, so one
  // press alone could be lost.
  bool WaitExit(int* status, const char* key = nullptr) {
    const bool ok = WaitUntil([&] {
      if (key != nullptr && ::write(master_, key, 1) != 1) return false;
      const pid_t r = ::waitpid(pid_, status, WNOHANG);
      exited_ = r == pid_;
      return exited_;
    });
    Drain(0);
    return ok;
  }

 private:
  template <class Done>
  bool WaitUntil(Done done) {
    const auto deadline = start_ + kGiveUpAfter;
    while (!done()) {
      if (Clock::now() >= deadline) return false;
      Drain(PollMs(deadline, 20));
    }
    return true;
  }
  void Drain(int waitMs) {
    struct pollfd pfd {master_, POLLIN, 0};
    while (::poll(&pfd, 1, waitMs) == 1 && (pfd.revents & POLLIN) != 0) {
      char buf[4096];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) return;
      out_.append(buf, static_cast<size_t>(n));
      waitMs = 0;
    }
  }

  int master_ = -1, slave_ = -1;
  pid_t pid_ = -1;
  bool exited_ = false;
  termios initial_{};
  std::string out_;
  Clock::time_point start_ = Clock::now();
};

void WriteRandom(const std::string& path, size_t size, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<uint64_t> words(size / 8 + 1);
  for (auto& w : words) w = rng();
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(words.data()), static_cast<std::streamsize>(size));
  ASSERT_TRUE(f.good()) << path;
}

// Unrelated inputs this big keep the matcher busy long enough to be
// interrupted at a checkpoint.
void WriteSlowPair(const Sandbox& box) {
  WriteRandom(box.Path("a"), 30u << 20, 1);
  WriteRandom(box.Path("b"), 30u << 20, 2);
}

void WriteSmallPair(const Sandbox& box) {
  const std::string text = "The original file, line one.\nLine two.\nLine three, unchanged.\n";
  WriteFile(box.Path("a"), Bytes(text.begin(), text.end()));
  const std::string changed = "The modified file, line one.\nLine two.\nA new line.\nLine three, unchanged.\n";
  WriteFile(box.Path("b"), Bytes(changed.begin(), changed.end()));
}

TEST(MvrCnstr, UsageWithFewerThanTwoArguments) {
  Sandbox box;
  const std::string usage =
      "MvrCnstr -- Mendivar construction console utility\nUsage:\n"
      "       MvrCnstr OriginalFile ModifiedFile [MvrFile]\n";
  WriteFile(box.Path("a"), {1});
  for (const auto& args : {std::vector<std::string>{}, std::vector<std::string>{"a"}}) {
    SCOPED_TRACE(args.size());
    const Outcome r = RunCnstr(box.Root(), args);
    EXPECT_EQ(r.out, usage);
    EXPECT_EQ(ExitCode(r), 252);  // -4
    EXPECT_EQ(Names(box.Root()), (std::set<std::string>{"a", "tmp"}));
  }
}

TEST(MvrCnstr, WritesTheDifferenceFileWhereTheArgumentsSay) {
  const struct {
    std::vector<std::string> args;
    std::string output;
  } cases[] = {
      {{"a", "b"}, "b.mvr"},
      {{"a", "b", "out.d"}, "out.d"},
      {{"a", "b", "out.d", "ignored"}, "out.d"},
  };
  // One folder for all rows: the difference file holds the inputs' full paths.
  Sandbox box;
  WriteSmallPair(box);
  Bytes first;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.size());
    const Outcome r = RunCnstr(box.Root(), c.args);
    EXPECT_EQ(r.out, Completed(c.output, "Successful completion"));
    EXPECT_EQ(ExitCode(r), 0);
    EXPECT_EQ(Names(box.Root()), (std::set<std::string>{"a", "b", "tmp", c.output}));
    EXPECT_TRUE(box.TempFilesLeft().empty());
    // The output's name must not change what goes into it.
    const Bytes delta = ReadFile(box.Path(c.output));
    EXPECT_FALSE(delta.empty());
    if (first.empty()) first = delta;
    EXPECT_EQ(delta, first);
    ::unlink(box.Path(c.output).c_str());
  }
}

TEST(MvrCnstr, OverwritesAnExistingDifferenceFileWithoutAsking) {
  Sandbox box;
  WriteSmallPair(box);
  ASSERT_EQ(ExitCode(RunCnstr(box.Root(), {"a", "b", "fresh.mvr"})), 0);
  WriteFile(box.Path("b.mvr"), Bytes(100000, 'x'));
  const Outcome r = RunCnstr(box.Root(), {"a", "b"});
  EXPECT_EQ(r.out, Completed("b.mvr", "Successful completion"));
  EXPECT_EQ(ExitCode(r), 0);
  EXPECT_EQ(ReadFile(box.Path("b.mvr")), ReadFile(box.Path("fresh.mvr")));
}

TEST(MvrCnstr, FailurePrintsThePathAndTheCoresMessage) {
  Sandbox box;
  WriteSmallPair(box);
  ::unlink(box.Path("a").c_str());
  const Outcome r = RunCnstr(box.Root(), {"a", "b"});
  // No notification reaches the tool before the inputs are mapped, so no ruler.
  EXPECT_EQ(r.out, kPrompt + "\n\nb.mvr: Cannot open the original file for reading.\n");
  EXPECT_EQ(ExitCode(r), 1);
}

bool CookedLikeBefore(const termios& now, const termios& before) {
  return (now.c_lflag & (ICANON | ECHO)) == (ICANON | ECHO) && now.c_lflag == before.c_lflag &&
         now.c_cc[VMIN] == before.c_cc[VMIN] && now.c_cc[VTIME] == before.c_cc[VTIME];
}

TEST(MvrCnstrOnATerminal, EscAbortsAndLeavesNothingBehind) {
  Sandbox box;
  WriteSlowPair(box);
  PtyRun run(box.Root(), {"a", "b"});
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(CookedLikeBefore(run.Initial(), run.Initial()));
  ASSERT_TRUE(run.WaitForOutput(kRuler)) << run.Output();
  ASSERT_TRUE(run.WaitForRawMode());
  int status = 0;
  ASSERT_TRUE(run.WaitExit(&status, "\x1b")) << run.Output();

  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 16);
  // Keys typed after the tool has put the terminal back are echoed as "^[".
  std::string out = run.Output();
  while (out.size() >= 2 && out.compare(out.size() - 2, 2, "^[") == 0) out.resize(out.size() - 2);
  const std::string head = kPrompt + kRuler;
  const std::string tail = "\n\nb.mvr: The processing is breaked by the message handler.\n";
  ASSERT_GE(out.size(), head.size() + tail.size()) << out;
  EXPECT_EQ(out.substr(0, head.size()), head) << out;
  EXPECT_EQ(out.substr(out.size() - tail.size()), tail) << out;
  const std::string bar = out.substr(head.size(), out.size() - head.size() - tail.size());
  EXPECT_LT(bar.size(), 40u) << out;
  EXPECT_EQ(bar.find_first_not_of('.'), std::string::npos) << out;
  EXPECT_FALSE(testsupport::Exists(box.Path("b.mvr")));
  EXPECT_TRUE(box.TempFilesLeft().empty());
  // An ordinary exit puts the terminal back too.
  EXPECT_TRUE(CookedLikeBefore(run.Now(), run.Initial()));
}

TEST(MvrCnstrOnATerminal, TerminalIsRestoredWhenKilledBySignal) {
  for (const int sig : {SIGTERM, SIGINT, SIGQUIT, SIGHUP}) {
    SCOPED_TRACE(sig);
    Sandbox box;
    WriteSlowPair(box);
    PtyRun run(box.Root(), {"a", "b"});
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.WaitForOutput(kRuler)) << run.Output();
    ASSERT_TRUE(run.WaitForRawMode());
    ASSERT_EQ(::kill(run.Pid(), sig), 0);
    int status = 0;
    ASSERT_TRUE(run.WaitExit(&status)) << run.Output();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), sig);
    EXPECT_TRUE(CookedLikeBefore(run.Now(), run.Initial()));
  }
}

// Ctrl+Z gives the shell its terminal back; continuing takes raw input again.
TEST(MvrCnstrOnATerminal, StopAndContinue) {
  Sandbox box;
  WriteSlowPair(box);
  PtyRun run(box.Root(), {"a", "b"}, true);
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(run.WaitForOutput(kRuler)) << run.Output();
  ASSERT_TRUE(run.WaitForRawMode());
  const pid_t job = run.Foreground();
  ASSERT_GT(job, 0);
  ASSERT_NE(job, run.Pid());
  ASSERT_EQ(::kill(-job, SIGTSTP), 0);
  EXPECT_TRUE(run.WaitForCookedMode());
  ASSERT_EQ(::kill(-job, SIGCONT), 0);
  EXPECT_TRUE(run.WaitForRawMode());
  ::kill(-job, SIGKILL);
}

TEST(MvrCnstr, NamesAreShownWithoutTheirControlCharacters) {
  Sandbox box;
  WriteSmallPair(box);
  const std::string name = "x\x1b]0;owned\x07\x1b[2J.mvr";
  const Outcome r = RunCnstr(box.Root(), {"a", "b", name});
  EXPECT_EQ(ExitCode(r), 0);
  EXPECT_EQ(r.out, Completed("'x'$'\\033'']0;owned'$'\\007\\033''[2J.mvr'", "Successful completion"));
  EXPECT_TRUE(testsupport::Exists(box.Path(name)));
}

}  // namespace
