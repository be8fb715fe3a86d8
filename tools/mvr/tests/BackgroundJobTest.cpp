// mvr started as a background job of an interactive terminal: it must
// neither be stopped by the terminal nor change it, even where the terminal
// stops background jobs that write to it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// 0 when the job ran to its end with exit code 0; 26 when the terminal
// stopped it.
int RunJob(const char* const* argv) {
  const pid_t job = ::fork();
  if (job == 0) {
    ::setpgid(0, 0);  // its own group, not the terminal's foreground one
    ::signal(SIGTTOU, SIG_DFL);
    ::signal(SIGTTIN, SIG_DFL);
    ::execv(argv[0], const_cast<char* const*>(argv));
    ::_exit(127);
  }
  int status = 0;
  if (::waitpid(job, &status, WUNTRACED) != job) return 25;
  if (WIFSTOPPED(status)) {
    ::kill(job, SIGKILL);
    ::waitpid(job, &status, 0);
    return 26;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 27;
}

int RunInBackgroundOfATerminal(const std::string& dir) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 20;
  if (::setsid() < 0) return 21;
  const int slave = ::open(::ptsname(master), O_RDWR);  // becomes the controlling terminal
  if (slave < 0 || ::dup2(slave, STDIN_FILENO) < 0 || ::dup2(slave, STDOUT_FILENO) < 0 ||
      ::dup2(slave, STDERR_FILENO) < 0 || ::chdir(dir.c_str()) != 0) {
    return 22;
  }
  struct termios before {};
  if (::tcgetattr(STDIN_FILENO, &before) != 0) return 23;
  struct termios stopping = before;
  stopping.c_lflag |= TOSTOP;
  if (::tcsetattr(STDIN_FILENO, TCSANOW, &stopping) != 0) return 23;
  if (::write(master, "\x1b", 1) != 1) return 24;  // a key typed for the foreground job
  const char* diff[] = {MVR_PATH, "diff", "a", "b", "-o", "d.mvr", nullptr};
  const char* apply[] = {MVR_PATH, "apply", "d.mvr", "a", "-o", "c", nullptr};
  for (const char* const* argv : {diff, apply}) {
    if (const int r = RunJob(argv); r != 0) return r;
  }
  struct termios after {};
  if (::tcgetattr(STDIN_FILENO, &after) != 0) return 28;
  return after.c_lflag == stopping.c_lflag ? 0 : 29;
}

TEST(MvrBackgroundJob, IsNotStoppedAndLeavesTheTerminalAlone) {
  char dir[] = "/tmp/mvrjobXXXXXX";
  ASSERT_NE(::mkdtemp(dir), nullptr);
  const std::string d = dir;
  std::string original(200000, 'o');
  for (size_t i = 0; i < original.size(); i += 97) original[i] = static_cast<char>('a' + i % 26);
  const std::string modified = original.substr(1000) + "tail";
  std::ofstream(d + "/a", std::ios::binary) << original;
  std::ofstream(d + "/b", std::ios::binary) << modified;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(RunInBackgroundOfATerminal(d));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "26: stopped by the terminal, 27: failed, 29: changed the terminal";
  EXPECT_EQ(Slurp(d + "/c"), modified);
  for (const char* f : {"a", "b", "c", "d.mvr"}) ::unlink((d + "/" + f).c_str());
  ::rmdir(dir);
}

}  // namespace
