#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ReadFault.h"
#include "platform/RegularFile.h"

namespace platform {
namespace {

MappedFile::FileState StateOf(const struct stat& st) {
  MappedFile::FileState f;
  f.device = st.st_dev;
  f.inode = st.st_ino;
  f.size = st.st_size;
  f.modifiedSec = st.st_mtim.tv_sec;
  f.modifiedNsec = st.st_mtim.tv_nsec;
  f.changedSec = st.st_ctim.tv_sec;
  f.changedNsec = st.st_ctim.tv_nsec;
  return f;
}

}  // namespace

MapStatus MappedFile::Open(const char* path) {
  Close();
  // Devices, FIFOs and folders are not files to map; refusing them at the
  // open keeps a FIFO from blocking and /dev/zero from reading for ever.
  int fd = OpenRegularFile(path);
  if (fd < 0) return MapStatus::OpenFailed;

  // Empty files and files of 4 GiB or more cannot be mapped: sizes are
  // 32-bit throughout the format.
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size <= 0 ||
      static_cast<uint64_t>(st.st_size) > UINT32_MAX) {
    ::close(fd);
    return MapStatus::MappingFailed;
  }
  state_ = StateOf(st);
  auto size = static_cast<size_t>(st.st_size);
  void* view = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
  if (view == MAP_FAILED) {
    ::close(fd);
    return MapStatus::ViewFailed;
  }
  fd_ = fd;
  data_ = static_cast<const uint8_t*>(view);
  size_ = static_cast<uint32_t>(size);
  watch_ = readfault::Watch(data_, size);
  return MapStatus::Ok;
}

void MappedFile::Close() {
  if (data_ != nullptr) {
    readfault::Unwatch(watch_);
    watch_ = -1;
    ::munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

bool MappedFile::Faulted() const { return readfault::Faulted(watch_); }

bool MappedFile::Changed(const char* path) const {
  if (fd_ < 0) return false;
  struct stat now {}, atPath {};
  if (::fstat(fd_, &now) != 0 || StateOf(now) != state_) return true;
  return ::stat(path, &atPath) != 0 || StateOf(atPath) != state_;
}

}  // namespace platform
