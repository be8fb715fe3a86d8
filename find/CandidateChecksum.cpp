#include "CandidateChecksum.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "MvrCodec.h"

namespace mvrfind {

namespace {

constexpr std::size_t kPieceSize = 65536;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

ReadOutcome ChecksumFile(const std::string& path, char version, uint64_t size, uint32_t* crc) {
  // The walk looked at the entry a moment ago, but it may have been swapped
  // since: a FIFO must not block the open, a link must not lead to a
  // device, and nothing but a regular file of the size looked for is read.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) return ReadOutcome::CannotOpen;
  struct stat st {};
  if (::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) != size) {
    return ReadOutcome::CannotOpen;
  }
  std::vector<unsigned char> piece(kPieceSize);
  uint32_t value = 0;
  for (;;) {
    const ssize_t got = ::read(file.get(), piece.data(), piece.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return ReadOutcome::ReadError;
    }
    if (got == 0) break;
    // The same routine reconstruction uses, so a find is never rejected there
    // for a checksum computed differently.
    value = MvrChecksum(version, value, piece.data(), static_cast<std::size_t>(got));
  }
  *crc = value;
  return ReadOutcome::Ok;
}

}  // namespace mvrfind
