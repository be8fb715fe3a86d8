#include "OutputFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

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
  Discard();
  existed_ = false;
  inPlace_ = false;
  mode_ = 0;
  // An over-long name would only fail when the finished file is named, after
  // the whole job has run.
  if (path.empty() || !NameFits(path)) return Status::CannotCreate;
  std::string final = path;
  bool danglingLink = false;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    existed_ = true;
    if (!mayReplace) return Status::Exists;
    if (S_ISLNK(st.st_mode)) {
      if (::stat(path.c_str(), &st) == 0) {
        // Through a link the user named, the file it points to is replaced
        // and the link stays, as writing through it would have done.
        if (!S_ISREG(st.st_mode)) return Status::NotRegular;
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) return Status::CannotCreate;
        final = real;
        ::free(real);
      } else {
        danglingLink = true;  // the user named it: the new file takes the link's place
      }
    } else if (!S_ISREG(st.st_mode)) {
      return Status::NotRegular;
    }
    if (!danglingLink) {
      mode_ = st.st_mode & 07777;
      owner_ = st.st_uid;
      group_ = st.st_gid;
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
  if (existed_ && !danglingLink) {
    // Replacing a file is writing to it: one the caller may not write (read-
    // only, or another user's) is refused as opening it would be, not
    // swapped for a new file of the caller's.
    if (::faccessat(folder_, base_.c_str(), W_OK, AT_EACCESS) != 0) return Forget(), Status::CannotCreate;
    inPlace_ = ::faccessat(folder_, ".", W_OK | X_OK, AT_EACCESS) != 0;
  }
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
    const int fd = platform::OpenRegularFileAt(folder_, base_.c_str(), O_RDWR | O_NOFOLLOW);
    if (fd < 0 || ::ftruncate(fd, 0) != 0) {
      if (fd >= 0) ::close(fd);
      return Status::CannotCreate;
    }
    file_.Attach(fd);
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

bool OutputFile::Publish(bool replace) {
  if (!file_.IsOpen()) return false;
  if (inPlace_) return true;
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
  const bool ok = Publish(existed_);
  Discard();
  return ok;
}

void OutputFile::Keep() {
  if (!existed_) (void)Publish(false);
  Discard();
}

void OutputFile::Discard() {
  file_.Close();
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

}  // namespace tarvo
