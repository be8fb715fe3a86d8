#include "OutputFile.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/Files.h"
#include "platform/RegularFile.h"
#include "platform/TerminatingSignals.h"

namespace tarvo {
namespace {

// A name beside the final one that no other program claims: hidden, and
// marked as ours so that a run killed half-way leaves a recognisable file.
std::string HiddenName(const std::string& base) {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits)) {
    bits = static_cast<uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(&bits);
  }
  std::string tag;
  for (int i = 0; i < 8; ++i, bits /= 62) tag += kDigits[bits % 62];
  // The base is cut so that the whole name stays within NAME_MAX.
  return "." + base.substr(0, NAME_MAX - 16) + ".Mvr" + tag;
}

}  // namespace

bool NameFits(const std::string& path) {
  if (path.size() >= PATH_MAX) return false;
  size_t at = 0;
  while (at <= path.size()) {
    size_t end = path.find('/', at);
    if (end == std::string::npos) end = path.size();
    if (end - at > NAME_MAX) return false;
    at = end + 1;
  }
  return true;
}

OutputFile::Status OutputFile::Prepare(const std::string& path, bool mayReplace) {
  Reset();
  // An over-long name would only fail when the finished file is named, after
  // the whole job has run.
  if (path.empty() || !NameFits(path)) return Status::CannotCreate;
  std::string final = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!mayReplace) return existed_ = true, Status::Exists;
    if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) == 0) {
      // Through a link the user named, the file it points to is replaced
      // and the link stays, as writing through it would have done.
      if (!S_ISREG(st.st_mode)) return existed_ = true, Status::NotRegular;
      char* real = ::realpath(path.c_str(), nullptr);
      if (real == nullptr) return Status::CannotCreate;
      final = real;
      ::free(real);
    }
  } else if (errno != ENOENT) {
    return Status::CannotCreate;
  }

  const size_t slash = final.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : final.substr(0, slash);
  base_ = slash == std::string::npos ? final : final.substr(slash + 1);
  if (base_.empty()) return Status::CannotCreate;
  folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) return Status::CannotCreate;
  return Examine(mayReplace);
}

OutputFile::Status OutputFile::PrepareAt(int folder, const std::string& base, bool mayReplace) {
  Reset();
  if (base.empty() || base.find('/') != std::string::npos || !NameFits(base)) return Status::CannotCreate;
  base_ = base;
  folder_ = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (folder_ < 0) return Status::CannotCreate;
  return Examine(mayReplace);
}

// What is under base_ in folder_, never following a link there: a link left
// at the name is one the user named and chose not to follow (a dangling one),
// or one at a recorded name.
OutputFile::Status OutputFile::Examine(bool mayReplace) {
  struct stat st {};
  if (::fstatat(folder_, base_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return Status::Ok;
    return Forget(), Status::CannotCreate;
  }
  existed_ = true;
  if (!mayReplace) return Forget(), Status::Exists;
  struct stat dir {};
  if (::fstat(folder_, &dir) != 0) return Forget(), Status::CannotCreate;
  const uid_t me = ::geteuid();
  // Rename over an entry is refused in a sticky folder unless the caller
  // owns the entry or the folder; known now, not after the whole job.
  const bool entryLocked = me != 0 && (dir.st_mode & S_ISVTX) != 0 && st.st_uid != me && dir.st_uid != me;
  const bool folderTakesNew = ::faccessat(folder_, ".", W_OK | X_OK, AT_EACCESS) == 0;
  if (S_ISLNK(st.st_mode)) {
    // The new file takes the link's place; what it points to is never
    // opened. Without a new entry in the folder that cannot be done.
    if (!folderTakesNew || entryLocked) return Forget(), Status::CannotCreate;
    return Status::Ok;
  }
  if (!S_ISREG(st.st_mode)) return Forget(), Status::NotRegular;
  mode_ = st.st_mode & 07777;
  owner_ = st.st_uid;
  group_ = st.st_gid;
  // Replacing a file is writing to it: one the caller may not write (read-
  // only, or another user's) is refused as opening it would be, not
  // swapped for a new file of the caller's.
  if (::faccessat(folder_, base_.c_str(), W_OK, AT_EACCESS) != 0) return Forget(), Status::CannotCreate;
  // Another user's file (world-writable, say) replaced by a new one would
  // become the caller's, who cannot give it back: it is overwritten in
  // place instead, and keeps its owner.
  const bool ownerLost = me != 0 && st.st_uid != me;
  inPlace_ = !folderTakesNew || entryLocked || ownerLost;
  return Status::Ok;
}

bool OutputFile::NameHidden(int fd) {
  if (fd < 0) return false;
  file_.Attach(fd);
  removal_ = platform::RegisterRemoval(folder_, hidden_.c_str());
  return true;
}

OutputFile::Status OutputFile::Create() {
  if (folder_ < 0) return Status::CannotCreate;
  const mode_t mode = mode_ != 0 ? mode_ : 0666;
  if (inPlace_) {
    // The old file is opened now, so that one that cannot be written fails
    // before the work; it is not touched until the result is complete.
    const int old = platform::OpenRegularFileAt(folder_, base_.c_str(), O_RDWR | O_NOFOLLOW);
    if (old < 0) return Status::CannotCreate;
    target_.Attach(old);
    std::string path;
    const int work = platform::CreateTempFile(&path);
    if (work < 0) return target_.Close(), Status::CannotCreate;
    ::unlink(path.c_str());
    file_.Attach(work);
    return Status::Ok;
  }
  int fd = ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  unnamed_ = fd >= 0;
  if (fd < 0) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return Status::CannotCreate;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
      hidden_ = HiddenName(base_);
      fd = ::openat(folder_, hidden_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, mode);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (!NameHidden(fd)) {
      hidden_.clear();
      return Status::CannotCreate;
    }
  } else {
    file_.Attach(fd);
  }
  if (mode_ != 0) {
    // A replaced file keeps its owner and group where the caller may give
    // them (the group alone, where only that is allowed), and its
    // permissions (not the umask's).
    // Where neither is allowed the file stays the caller's, as a new file is.
    const bool kept = ::fchown(fd, owner_, group_) == 0 || ::fchown(fd, static_cast<uid_t>(-1), group_) == 0;
    static_cast<void>(kept);
    (void)::fchmod(fd, mode_);
  }
  return Status::Ok;
}

bool OutputFile::LinkUnnamed(const std::string& to) {
  const std::string self = "/proc/self/fd/" + std::to_string(file_.Descriptor());
  if (::linkat(AT_FDCWD, self.c_str(), folder_, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == EEXIST) return false;
  // Without /proc, privileged processes can still name the descriptor itself.
  return ::linkat(file_.Descriptor(), "", folder_, to.c_str(), AT_EMPTY_PATH) == 0;
}

bool OutputFile::CopyOver() {
  if (!file_.IsOpen() || !target_.IsOpen()) return false;
  struct stat st {};
  if (::fstat(file_.Descriptor(), &st) != 0) return false;
  // Ctrl+C and the like wait until the copy is over: stopped half-way, it
  // would leave neither the old file nor the new one.
  sigset_t stop, was;
  sigemptyset(&stop);
  for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) sigaddset(&stop, sig);
  ::pthread_sigmask(SIG_BLOCK, &stop, &was);
  const off_t size = st.st_size;
  char buf[1 << 16];
  off_t at = 0;
  bool ok = true;
  while (ok && at < size) {
    const ssize_t n = ::pread(file_.Descriptor(), buf, static_cast<size_t>(std::min<off_t>(sizeof buf, size - at)), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::pwrite(target_.Descriptor(), buf + done, static_cast<size_t>(n - done), at + done);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        if (w == 0) errno = ENOSPC;
        // Nothing of the old file has changed until a byte has gone over it.
        damaged_ = at + done > 0;
        ok = false;
        break;
      }
      done += w;
    }
    at += n;
  }
  if (ok && ::ftruncate(target_.Descriptor(), size) != 0) {
    damaged_ = size > 0;
    ok = false;
  }
  const int saved = errno;
  ::pthread_sigmask(SIG_SETMASK, &was, nullptr);
  errno = saved;
  return ok;
}

bool OutputFile::Publish(bool replace) {
  if (!file_.IsOpen()) return false;
  if (unnamed_) {
    if (!replace) return LinkUnnamed(base_);
    // A file with a name can be renamed over the old one in one step.
    for (int tries = 0; hidden_.empty() && tries < 100; ++tries) {
      hidden_ = HiddenName(base_);
      if (!LinkUnnamed(hidden_)) {
        if (errno != EEXIST) return hidden_.clear(), false;
        hidden_.clear();
      }
    }
    if (hidden_.empty()) return false;
    removal_ = platform::RegisterRemoval(folder_, hidden_.c_str());
  }
  if (replace) {
    if (::renameat(folder_, hidden_.c_str(), folder_, base_.c_str()) != 0) return false;
  } else if (::renameat2(folder_, hidden_.c_str(), folder_, base_.c_str(), RENAME_NOREPLACE) != 0) {
    // File systems without that flag still refuse to link over a name.
    if (errno != EINVAL || ::linkat(folder_, hidden_.c_str(), folder_, base_.c_str(), 0) != 0) return false;
    ::unlinkat(folder_, hidden_.c_str(), 0);
  }
  platform::UnregisterRemoval(removal_);
  removal_ = -1;
  hidden_.clear();
  return true;
}

bool OutputFile::Commit() {
  // A name that nothing had is taken only if it is still free.
  const bool ok = inPlace_ ? CopyOver() : Publish(existed_);
  Discard();
  return ok;
}

void OutputFile::Keep() {
  if (!existed_ && !inPlace_) (void)Publish(false);
  Discard();
}

void OutputFile::Discard() {
  file_.Close();
  target_.Close();
  if (!hidden_.empty()) ::unlinkat(folder_, hidden_.c_str(), 0);
  platform::UnregisterRemoval(removal_);
  removal_ = -1;
  hidden_.clear();
  unnamed_ = false;
  Forget();
}

void OutputFile::Forget() {
  if (folder_ >= 0) ::close(folder_);
  folder_ = -1;
}

void OutputFile::Reset() {
  Discard();
  existed_ = false;
  inPlace_ = false;
  damaged_ = false;
  mode_ = 0;
}

}  // namespace tarvo
