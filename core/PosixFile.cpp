#include "PosixFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/RegularFile.h"

namespace tarvo {

bool PosixFile::Open(const char* path, int flags, mode_t mode) {
  Close();
  fd_ = ::open(path, flags | O_CLOEXEC, mode);
  return fd_ >= 0;
}

bool PosixFile::OpenRegular(const char* path) {
  Close();
  fd_ = platform::OpenRegularFile(path);
  return fd_ >= 0;
}

void PosixFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void PosixFile::Write(const void* data, size_t size) {
  auto p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd_, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw CFileException{errno};
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
}

size_t PosixFile::Read(void* data, size_t size) { return Transfer(data, size, -1); }

size_t PosixFile::ReadAt(void* data, size_t size, uint64_t offset) const {
  return Transfer(data, size, static_cast<int64_t>(offset));
}

size_t PosixFile::Transfer(void* data, size_t size, int64_t offset) const {
  auto p = static_cast<char*>(data);
  size_t got = 0;
  while (got < size) {
    const ssize_t n = offset < 0 ? ::read(fd_, p + got, size - got)
                                 : ::pread(fd_, p + got, size - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw CFileException{errno};
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return got;
}

void PosixFile::Seek(uint64_t offset) {
  if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) throw CFileException{errno};
}

uint64_t PosixFile::Length() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) throw CFileException{errno};
  return static_cast<uint64_t>(st.st_size);
}

void BufferedWriter::Put(const void* data, size_t size) {
  if (buf_.size() + size > buf_.capacity()) {
    Flush();
    if (size >= buf_.capacity()) {
      file_.Write(data, size);
      return;
    }
  }
  auto p = static_cast<const uint8_t*>(data);
  buf_.insert(buf_.end(), p, p + size);
}

void BufferedWriter::Flush() {
  if (!buf_.empty()) file_.Write(buf_.data(), buf_.size());
  buf_.clear();
}

}  // namespace tarvo
