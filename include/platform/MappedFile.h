// Read-only view of a whole file. Stands in for the system's file mapping
// objects; the three ways it can fail are kept apart because callers report
// them differently.
#pragma once

#include <cstdint>

namespace platform {

// Fixed so that the matcher's window sizes, and so the difference files, are
// the same on every machine.
inline constexpr uint32_t kAllocationGranularity = 65536;

enum class MapStatus {
  Ok,
  OpenFailed,     // the file could not be opened, or is no regular file
  MappingFailed,  // opened, but cannot be mapped (empty, too large)
  ViewFailed,     // the view itself could not be made
};

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile() { Close(); }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Closes whatever is open first, so an open object can be reopened.
  MapStatus Open(const char* path);
  void Close();

  const uint8_t* Data() const { return data_; }
  uint32_t Size() const { return size_; }
  bool IsOpen() const { return data_ != nullptr; }
  // True once a read of the view ran past the end of a file that shrank
  // after it was mapped. Such reads do not crash; they see zeros.
  bool Faulted() const;
  // True when the file at path is no longer the one mapped, or the mapped
  // one has been written to since (its size, modification or change time
  // moved): what was read from the view may then be a mix of two versions.
  bool Changed(const char* path) const;

  // What identifies a version of a file.
  struct FileState {
    unsigned long long device = 0, inode = 0;
    long long size = 0, modifiedSec = 0, modifiedNsec = 0, changedSec = 0, changedNsec = 0;
    bool operator==(const FileState&) const = default;
  };

 private:
  int fd_ = -1;
  const uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
  int watch_ = -1;
  FileState state_;
};

}  // namespace platform
