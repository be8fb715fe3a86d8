// An owned file descriptor whose failures are thrown, so that the entry points
// can turn every failed read, write or seek into one result code in one place.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvo {

struct CFileException {
  int error;  // errno of the failed call
};

class PosixFile {
 public:
  PosixFile() = default;
  ~PosixFile() { Close(); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  bool Open(const char* path, int flags, mode_t mode = 0666);
  // Read-only, and only a regular file: no device, FIFO or folder, and no
  // waiting on one.
  bool OpenRegular(const char* path);
  void Attach(int fd) { Close(); fd_ = fd; }
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }

  void Write(const void* data, size_t size);
  // Reads until size bytes or the end of the file; returns the count.
  size_t Read(void* data, size_t size);
  // Like Read, at an offset, leaving the file position alone (safe beside
  // another thread's writes).
  size_t ReadAt(void* data, size_t size, uint64_t offset) const;
  void Seek(uint64_t offset);
  uint64_t Length() const;

 private:
  // Reads at the file position when offset < 0, else at offset.
  size_t Transfer(void* data, size_t size, int64_t offset) const;

  int fd_ = -1;
};

// Collects small writes (record fields, compressed pieces) into large ones.
class BufferedWriter {
 public:
  BufferedWriter(PosixFile& file, size_t capacity) : file_(file) { buf_.reserve(capacity); }
  void Put(const void* data, size_t size);
  void Flush();

 private:
  PosixFile& file_;
  std::vector<uint8_t> buf_;
};

}  // namespace tarvo
