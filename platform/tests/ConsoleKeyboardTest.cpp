#include "platform/ConsoleKeyboard.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Runs in a child so that stdin is a pipe holding bytes, whatever stdin the
// test runner itself was given. Exit code 0 means every check held.
int CheckKeyboardOnPipe() {
  int p[2];
  if (::pipe(p) != 0 || ::write(p[1], "\x1bxy", 3) != 3 || ::dup2(p[0], STDIN_FILENO) < 0) return 10;
  ::close(p[0]);
  ::close(p[1]);
  if (platform::KeyWaiting()) return 1;
  if (platform::ReadKey() != -1) return 2;
  if (platform::KeyWaiting()) return 3;
  platform::RestoreConsole();
  platform::RestoreConsole();
  // The keyboard must not have eaten the piped bytes either.
  char left[4] = {};
  if (::read(STDIN_FILENO, left, sizeof left) != 3 || left[0] != '\x1b' || left[2] != 'y') return 4;
  return 0;
}

TEST(ConsoleKeyboard, NoKeyIsEverWaitingWhenStdinIsNotATerminal) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(CheckKeyboardOnPipe());
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1/2/3: a key was reported, 4: the piped bytes were consumed";
}

// A job started in the background of an interactive shell: the terminal is
// someone else's, so the keyboard leaves it alone instead of being stopped
// by SIGTTOU (or SIGTTIN) while it finishes its work.
int RunInBackgroundOfATerminal() {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return 20;
  if (::setsid() < 0) return 21;
  const int slave = ::open(::ptsname(master), O_RDWR);  // becomes the controlling terminal
  if (slave < 0 || ::dup2(slave, STDIN_FILENO) < 0) return 22;
  struct termios before {};
  if (::tcgetattr(STDIN_FILENO, &before) != 0) return 23;
  if (::write(master, "\x1b", 1) != 1) return 24;  // a key typed for the foreground job
  const pid_t job = ::fork();
  if (job == 0) {
    ::setpgid(0, 0);  // its own group, not the terminal's foreground one
    ::signal(SIGTTOU, SIG_DFL);
    ::signal(SIGTTIN, SIG_DFL);
    const bool key = platform::KeyWaiting() || platform::ReadKey() != -1;
    platform::RestoreConsole();
    ::_exit(key ? 1 : 0);
  }
  int status = 0;
  if (::waitpid(job, &status, WUNTRACED) != job) return 25;
  if (WIFSTOPPED(status)) {
    ::kill(job, SIGKILL);
    ::waitpid(job, &status, 0);
    return 26;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 27;
  struct termios after {};
  if (::tcgetattr(STDIN_FILENO, &after) != 0) return 28;
  return after.c_lflag == before.c_lflag ? 0 : 29;
}

TEST(ConsoleKeyboard, ABackgroundJobLeavesTheTerminalAloneAndIsNotStopped) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(RunInBackgroundOfATerminal());
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "26: stopped by the terminal, 27: read a key, 29: changed the terminal";
}

}  // namespace
