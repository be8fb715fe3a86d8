// mvr's standard streams: what it refuses on a terminal, and what a run
// reading standard input leaves in $TMPDIR when it is ended by a signal.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"

namespace {

using testsupport::Bytes;

struct Run {
  int code = -1;
  std::string err;     // what mvr wrote to standard error
  std::string shown;   // what reached the terminal
};

class MvrStreams : public ::testing::Test {
 protected:
  MvrStreams() {
    std::string original(200000, 'o');
    for (size_t i = 0; i < original.size(); i += 97) original[i] = static_cast<char>('a' + i % 26);
    const std::string modified = original.substr(1000) + "tail";
    testsupport::WriteFile(box_.Path("a"), Bytes(original.begin(), original.end()));
    testsupport::WriteFile(box_.Path("b"), Bytes(modified.begin(), modified.end()));
    EXPECT_EQ(Mvr({"diff", "a", "b", "-o", "b.mvr"}, -1, -1), 0);
  }

  std::vector<const char*> Argv(const std::vector<std::string>& args) {
    std::vector<const char*> argv{MVR_PATH};
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);
    return argv;
  }

  // Runs mvr in the sandbox; a descriptor of -1 leaves that stream at
  // /dev/null. Returns the exit code.
  int Mvr(const std::vector<std::string>& args, int in, int out, std::string* err = nullptr) {
    const std::string errPath = box_.Path("stderr");
    const std::vector<const char*> argv = Argv(args);
    const pid_t child = ::fork();
    if (child == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      const int errFd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (::dup2(in >= 0 ? in : null, 0) < 0 || ::dup2(out >= 0 ? out : null, 1) < 0 || ::dup2(errFd, 2) < 0 ||
          ::chdir(box_.Root().c_str()) != 0) {
        ::_exit(126);
      }
      ::execv(argv[0], const_cast<char* const*>(argv.data()));
      ::_exit(127);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -2;
    if (err != nullptr) {
      const Bytes e = testsupport::ReadFile(errPath);
      err->assign(e.begin(), e.end());
    }
    return WEXITSTATUS(status);
  }

  testsupport::Sandbox box_;
};

// A pseudo terminal that is not the test's controlling terminal.
struct Pty {
  int master = -1, slave = -1;
  Pty() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return;
    slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
  }
  ~Pty() {
    if (slave >= 0) ::close(slave);
    if (master >= 0) ::close(master);
  }
  std::string Drain() const {
    std::string got;
    char buf[4096];
    pollfd p{master, POLLIN, 0};
    while (::poll(&p, 1, 100) > 0 && (p.revents & POLLIN) != 0) {
      const ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) break;
      got.append(buf, static_cast<size_t>(n));
    }
    return got;
  }
};

TEST_F(MvrStreams, ADifferenceOrARebuiltFileGoesToATerminalOnlyWithForce) {
  Pty pty;
  ASSERT_GE(pty.slave, 0);
  // Small enough for the terminal's buffer, which is read only afterwards.
  testsupport::WriteFile(box_.Path("sa"), Bytes(300, 's'));
  testsupport::WriteFile(box_.Path("sb"), Bytes(310, 's'));
  ASSERT_EQ(Mvr({"diff", "sa", "sb", "-o", "sb.mvr"}, -1, -1), 0);
  const std::string refused = "mvr: standard output is a terminal; use -f to write there\n";
  const struct {
    std::vector<std::string> args;
    int code;
    bool written;
  } cases[] = {
      {{"diff", "sa", "sb", "-c"}, 64, false},
      {{"apply", "sb.mvr", "sa", "-c"}, 64, false},
      {{"diff", "-f", "sa", "sb", "-c"}, 0, true},
      {{"apply", "-fc", "sb.mvr", "sa"}, 0, true},
  };
  for (const auto& c : cases) {
    std::string err;
    EXPECT_EQ(Mvr(c.args, -1, pty.slave, &err), c.code) << c.args[0];
    EXPECT_EQ(err, c.written ? "" : refused) << c.args[0];
    const std::string shown = pty.Drain();
    EXPECT_EQ(!shown.empty(), c.written) << c.args[0];
    if (c.args[0] == "diff" && c.written) {
      EXPECT_EQ(shown.substr(4, 4), "mvr8");
    }
  }
}

TEST_F(MvrStreams, StandardInputIsNeverATerminal) {
  Pty pty;
  ASSERT_GE(pty.slave, 0);
  const std::vector<std::string> forms[] = {
      {"diff", "a", "-", "-o", "s.mvr"}, {"apply", "-", "a", "-o", "s"}, {"verify", "-", "a"},
      {"diff", "-f", "a", "-", "-o", "s.mvr"}};
  for (const auto& args : forms) {
    std::string err;
    EXPECT_EQ(Mvr(args, pty.slave, -1, &err), 64) << args[0];
    EXPECT_EQ(err, "mvr: standard input is a terminal; redirect it from a file or a pipe\n") << args[0];
  }
  EXPECT_FALSE(testsupport::Exists(box_.Path("s.mvr")));
  EXPECT_FALSE(testsupport::Exists(box_.Path("s")));
}

// Whether pid holds a file of dir open (a copy it is filling).
bool HoldsFileIn(pid_t pid, const std::string& dir) {
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  DIR* d = ::opendir(fds.c_str());
  if (d == nullptr) return false;
  bool found = false;
  while (const dirent* e = ::readdir(d)) {
    char target[4096];
    const ssize_t n = ::readlinkat(::dirfd(d), e->d_name, target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<size_t>(n)).rfind(dir + "/", 0) == 0) found = true;
  }
  ::closedir(d);
  return found;
}

TEST_F(MvrStreams, ARunReadingStandardInputLeavesNothingWhenKilled) {
  const std::string tmp = box_.Path("tmp");  // the sandbox's $TMPDIR
  const std::vector<std::string> forms[] = {
      {"diff", "a", "-", "-o", "k.mvr"}, {"diff", "a", "-", "-c"}, {"apply", "-", "a", "-o", "k"},
      {"apply", "-", "a", "-c"}, {"verify", "-", "a"}};
  for (const int sig : {SIGKILL, SIGINT, SIGTERM, SIGHUP}) {
    for (const auto& args : forms) {
      SCOPED_TRACE(std::string(args[0]) + " " + args[args.size() - 1] + " signal " + std::to_string(sig));
      int pipeFds[2];
      ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
      const std::vector<const char*> argv = Argv(args);
      const pid_t child = ::fork();
      if (child == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) ::signal(s, SIG_DFL);
        if (::dup2(pipeFds[0], 0) < 0 || ::dup2(null, 1) < 0 || ::dup2(null, 2) < 0 ||
            ::chdir(box_.Root().c_str()) != 0) {
          ::_exit(126);
        }
        ::execv(argv[0], const_cast<char* const*>(argv.data()));
        ::_exit(127);
      }
      ::close(pipeFds[0]);
      // Part of the input, then a stall: the copy is open and half full.
      const Bytes part = testsupport::ReadFile(box_.Path(args[0] == "diff" ? "b" : "b.mvr"));
      ASSERT_GT(::write(pipeFds[1], part.data(), part.size() / 2), 0);
      bool holding = false;
      for (int i = 0; i < 500 && !(holding = HoldsFileIn(child, tmp)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      EXPECT_TRUE(holding);
      ::kill(child, sig);
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ::close(pipeFds[1]);
      EXPECT_TRUE(WIFSIGNALED(status));
      EXPECT_EQ(testsupport::ListDir(tmp), std::vector<std::string>{});
      EXPECT_FALSE(testsupport::Exists(box_.Path("k.mvr")));
      EXPECT_FALSE(testsupport::Exists(box_.Path("k")));
    }
  }
}

}  // namespace
