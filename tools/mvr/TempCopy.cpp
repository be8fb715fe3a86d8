#include "TempCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/TerminatingSignals.h"

namespace mvrcli {
namespace {

bool Pump(int from, int to) {
  std::vector<char> buf(1 << 16);
  for (;;) {
    const ssize_t n = ::read(from, buf.data(), buf.size());
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, buf.data() + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += w;
    }
  }
}

}  // namespace

TempCopy::~TempCopy() {
  if (!path_.empty()) ::unlink(path_.c_str());
  platform::UnregisterRemoval(slot_);
  if (folder_ >= 0) ::close(folder_);
}

bool TempCopy::Create() {
  const char* dir = std::getenv("TMPDIR");
  const std::string folder = dir != nullptr && *dir != '\0' ? dir : "/tmp";
  std::string name = folder + "/MvrXXXXXX";
  folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) return false;
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  path_ = name;
  slot_ = platform::RegisterRemoval(folder_, name.substr(name.rfind('/') + 1).c_str());
  ::close(fd);
  return true;
}

bool TempCopy::FromStdin() {
  if (!Create()) return false;
  const int fd = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = Pump(STDIN_FILENO, fd);
  const int saved = errno;
  const bool closed = ::close(fd) == 0;
  errno = saved;
  return ok && closed;
}

bool TempCopy::ToStdout() const {
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = Pump(fd, STDOUT_FILENO);
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return ok;
}

}  // namespace mvrcli
