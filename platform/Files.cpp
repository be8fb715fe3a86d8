#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
