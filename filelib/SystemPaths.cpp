#include "SystemPaths.h"

#include <unistd.h>

#include <vector>

#include "PathLimits.h"

namespace tfl {

bool ReadCurrentFolder(std::string* folder, std::size_t bufferSize) {
  std::vector<char> buffer(bufferSize);
  if (::getcwd(buffer.data(), buffer.size()) == nullptr) return false;
  *folder = buffer.data();
  return true;
}

bool ReadProgramPath(std::string* path) {
  char buffer[kMaxPath];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  // readlink fills the buffer silently when the link is longer, so a full
  // buffer may hold a cut-off path.
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return false;
  path->assign(buffer, static_cast<std::size_t>(length));
  return true;
}

}  // namespace tfl
