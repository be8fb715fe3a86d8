#include "TempCopy.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/TerminatingSignals.h"

namespace mvrcli {
namespace {

bool Pump(int from, int to) {
  std::vector<char> buf(1 << 16);
  for (;;) {
    const ssize_t n = ::read(from, buf.data(), buf.size());
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, buf.data() + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += w;
    }
  }
}

// 96 random bits: no other program can guess the name before it exists.
std::string UniqueName() {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  uint8_t bits[16] = {};
  size_t got = 0;
  while (got < sizeof bits) {
    const ssize_t n = ::getrandom(bits + got, sizeof bits - got, 0);
    if (n < 0 && errno != EINTR) break;
    if (n > 0) got += static_cast<size_t>(n);
  }
  if (got < sizeof bits) {
    const auto fallback = static_cast<uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(&got);
    for (size_t i = 0; i < sizeof bits; ++i) bits[i] ^= static_cast<uint8_t>(fallback >> (i % 8 * 8));
  }
  std::string name = "Mvr";
  for (const uint8_t b : bits) name += kDigits[b % 62];
  return name;
}

std::string TempFolder() {
  const char* dir = std::getenv("TMPDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

}  // namespace

TempCopy::~TempCopy() {
  if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
  platform::UnregisterRemoval(slot_);
  if (fd_ >= 0) ::close(fd_);
  if (folder_ >= 0) ::close(folder_);
}

bool TempCopy::OpenFolder() {
  if (folder_ < 0) folder_ = ::open(TempFolder().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  return folder_ >= 0;
}

bool TempCopy::Create() {
  if (!OpenFolder()) return false;
  name_ = UniqueName();
  path_ = TempFolder() + "/" + name_;
  // Removed on a signal from the moment the core may name it.
  slot_ = platform::RegisterRemoval(folder_, name_.c_str());
  return true;
}

bool TempCopy::FromStdin() {
  if (!OpenFolder()) return false;
  fd_ = ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    // A file system without unnamed files: a name, held only while it is needed.
    name_ = UniqueName();
    fd_ = ::openat(folder_, name_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
      name_.clear();
      return false;
    }
    slot_ = platform::RegisterRemoval(folder_, name_.c_str());
  }
  path_ = "/proc/self/fd/" + std::to_string(fd_);
  struct stat through {}, held {};
  const bool reachable = ::stat(path_.c_str(), &through) == 0 && ::fstat(fd_, &held) == 0 &&
                         through.st_ino == held.st_ino && through.st_dev == held.st_dev;
  if (!name_.empty() && reachable) {
    ::unlinkat(folder_, name_.c_str(), 0);
    platform::UnregisterRemoval(slot_);
    slot_ = -1;
    name_.clear();
  } else if (!reachable) {
    if (name_.empty()) {
      errno = ENOENT;  // an unnamed file that nothing but /proc could reach
      return false;
    }
    path_ = TempFolder() + "/" + name_;
  }
  return Pump(STDIN_FILENO, fd_);
}

bool TempCopy::ToStdout() {
  const int fd = ::openat(folder_, name_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  // Gone from the folder before the first byte goes out: a reader that
  // stalls the copy cannot make it outlive a killed run.
  ::unlinkat(folder_, name_.c_str(), 0);
  platform::UnregisterRemoval(slot_);
  slot_ = -1;
  name_.clear();
  const bool ok = Pump(fd, STDOUT_FILENO);
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return ok;
}

}  // namespace mvrcli
