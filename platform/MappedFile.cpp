#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

MapStatus MappedFile::Open(const char* path) {
  Close();
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return MapStatus::OpenFailed;

  // Empty files and anything that is not a regular file of under 4 GiB cannot
  // be mapped: sizes are 32-bit throughout the format.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
      static_cast<uint64_t>(st.st_size) > UINT32_MAX) {
    ::close(fd);
    return MapStatus::MappingFailed;
  }
  auto size = static_cast<size_t>(st.st_size);
  void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) {
    ::close(fd);
    return MapStatus::ViewFailed;
  }
  fd_ = fd;
  data_ = static_cast<const uint8_t*>(view);
  size_ = static_cast<uint32_t>(size);
  return MapStatus::Ok;
}

void MappedFile::Close() {
  if (data_ != nullptr) {
    ::munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

}  // namespace platform
