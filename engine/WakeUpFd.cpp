#include "WakeUpFd.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace tarvo {

WakeUpFd::WakeUpFd() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeUpFd::~WakeUpFd() {
  if (m_fd >= 0) ::close(m_fd);
}

void WakeUpFd::Raise() const {
  const uint64_t one = 1;
  // Only fails when the counter is about to overflow, and then it is raised already.
  [[maybe_unused]] const ssize_t written = ::write(m_fd, &one, sizeof one);
}

void WakeUpFd::Lower() const {
  uint64_t count;
  [[maybe_unused]] const ssize_t got = ::read(m_fd, &count, sizeof count);
}

}  // namespace tarvo
