// Runs one of the console programs as a child process with stdin from
// /dev/null (or a file) and collects what it prints. Bounded: a child that does not
// finish is killed and the test fails.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace consoletest {

using Clock = std::chrono::steady_clock;

// Only there so that a broken build cannot hang the test run; no check
// depends on how fast anything is.
constexpr auto kGiveUpAfter = std::chrono::seconds(120);

inline std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

inline int PollMs(Clock::time_point deadline, int most) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, most));
}

struct Outcome {
  std::string out;
  int status = -1;  // as from waitpid; -1 when the child had to be killed
};

// Runs the program at `path` in dir with the given arguments, standard
// input from the file `input`.
inline Outcome RunProgram(const char* path, const std::string& dir, std::vector<std::string> args,
                          const std::string& input = "/dev/null") {
  args.insert(args.begin(), path);
  auto argv = Argv(args);
  int p[2];
  if (::pipe(p) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in = ::open(input.c_str(), O_RDONLY);
    if (::chdir(dir.c_str()) != 0 || in < 0 || ::dup2(in, STDIN_FILENO) < 0 || ::dup2(p[1], STDOUT_FILENO) < 0) {
      ::_exit(126);
    }
    ::close(p[0]);
    ::execv(path, argv.data());
    ::_exit(127);
  }
  ::close(p[1]);
  Outcome r;
  const auto deadline = Clock::now() + kGiveUpAfter;
  for (;;) {
    struct pollfd pfd {p[0], POLLIN, 0};
    if (::poll(&pfd, 1, PollMs(deadline, 1000)) <= 0 && Clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
      ::close(p[0]);
      ADD_FAILURE() << path << " did not finish";
      return r;
    }
    char buf[4096];
    const ssize_t n = ::read(p[0], buf, sizeof buf);
    if (n <= 0) break;
    r.out.append(buf, static_cast<size_t>(n));
  }
  ::close(p[0]);
  ::waitpid(pid, &r.status, 0);
  return r;
}

inline int ExitCode(const Outcome& r) { return WIFEXITED(r.status) ? WEXITSTATUS(r.status) : -1; }

}  // namespace consoletest
