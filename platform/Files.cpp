#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {

bool FileExists(const char* path) {
  struct stat st {};
  return path != nullptr && ::stat(path, &st) == 0;
}

bool SameFile(const char* a, const char* b) {
  struct stat sa {}, sb {};
  if (a == nullptr || b == nullptr || ::stat(a, &sa) != 0 || ::stat(b, &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int OpenRegularFile(const char* path) {
  // O_NONBLOCK keeps open() itself from waiting for a FIFO's writer or a
  // device; once the file is known to be regular it is switched off again.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return -1;
  }
  return fd;
}

std::string TempDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return (dir != nullptr && *dir != '\0') ? std::string(dir) : std::string("/tmp");
}

int CreateTempFile(std::string* path) {
  std::string name = TempDirectory();
  if (name.back() != '/') name += '/';
  name += "MvrXXXXXX";
  std::vector<char> buf(name.begin(), name.end());
  buf.push_back('\0');
  int fd = ::mkostemp(buf.data(), O_CLOEXEC);
  if (fd >= 0) *path = buf.data();
  return fd;
}

}  // namespace platform
