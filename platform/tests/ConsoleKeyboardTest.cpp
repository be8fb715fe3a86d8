#include "platform/ConsoleKeyboard.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
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

}  // namespace
