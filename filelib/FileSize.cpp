#include "FileSize.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tfl {

uint32_t GetFileSize(const char* path) {
  if (path == nullptr) return kUnknownSize;
  // O_NONBLOCK keeps a named pipe from stalling the caller until a writer appears.
  int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kUnknownSize;
  struct stat st {};
  bool known = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  ::close(fd);
  if (!known) return kUnknownSize;
  return static_cast<uint32_t>(static_cast<uint64_t>(st.st_size) & 0xFFFFFFFFu);
}

}  // namespace tfl
