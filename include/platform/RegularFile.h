// Opening a file to read only when it is a regular file. Header-only, so the
// libraries and programs that link nothing of the platform layer use it too.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

// Opens path read-only when it is a regular file, and only then. Whether it
// is one is decided before anything is opened for reading: opening a device
// can have effects of its own (a watchdog arms, a tape rewinds), and a FIFO
// would wait for a writer. Returns the descriptor (close-on-exec, blocking
// reads) or -1 with errno set (EINVAL for what is not a regular file).
// `access` is O_RDONLY or O_RDWR, with O_NOFOLLOW where a link at the name
// is not to be followed; the name is relative to `folder` (or AT_FDCWD).
inline int OpenRegularFileAt(int folder, const char* path, int access) {
  // An O_PATH descriptor reaches no driver; the file it names is then opened
  // through it, so a name swapped in between cannot slip anything else in.
  const int handle = ::openat(folder, path, O_PATH | O_CLOEXEC | (access & O_NOFOLLOW));
  if (handle < 0) return -1;
  struct stat st {};
  if (::fstat(handle, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(handle);
    errno = EINVAL;
    return -1;
  }
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", handle);
  const int mode = access & O_ACCMODE;
  int fd = ::open(self, mode | O_CLOEXEC | O_NOCTTY);
  if (fd < 0 && errno == ENOENT) {
    // Without /proc: the name again, without waiting, and the same file or nothing.
    fd = ::openat(folder, path, mode | (access & O_NOFOLLOW) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  }
  const int saved = errno;
  ::close(handle);
  if (fd < 0) {
    errno = saved;
    return -1;
  }
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != st.st_dev ||
      opened.st_ino != st.st_ino) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ((flags & O_NONBLOCK) != 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
    const int failed = errno;
    ::close(fd);
    errno = failed;
    return -1;
  }
  return fd;
}

inline int OpenRegularFile(const char* path) { return OpenRegularFileAt(AT_FDCWD, path, O_RDONLY); }

}  // namespace platform
