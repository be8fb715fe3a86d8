// Opening a file to read only when it is a regular file. Header-only, so the
// libraries and programs that link nothing of the platform layer use it too.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

// Opens path read-only when it is a regular file, and only then: a FIFO or a
// device is refused without blocking on it (errno EINVAL), as is a folder.
// Returns the descriptor (close-on-exec, blocking reads) or -1 with errno set.
inline int OpenRegularFile(const char* path) {
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

}  // namespace platform
