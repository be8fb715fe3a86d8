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

namespace tarvo {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name beside the final one that no other program claims: hidden, and
// marked as ours so that a run killed half-way leaves a recognisable file.
std::string HiddenName(const std::string& folder, const std::string& base) {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, 0) != static_cast<ssize_t>(sizeof bits)) {
    bits = static_cast<uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ull ^ reinterpret_cast<uintptr_t>(&bits);
  }
  std::string tag;
  for (int i = 0; i < 8; ++i, bits /= 62) tag += kDigits[bits % 62];
  // The base is cut so that the whole name stays within NAME_MAX.
  return folder + "/." + base.substr(0, NAME_MAX - 16) + ".Mvr" + tag;
}

}  // namespace

OutputFile::Status OutputFile::Prepare(const std::string& path, bool mayReplace) {
  Discard();
  final_ = path;
  existed_ = false;
  mode_ = 0;
  struct stat st {};
  if (path.empty()) return Status::CannotCreate;
  if (::lstat(path.c_str(), &st) == 0) {
    existed_ = true;
    if (!mayReplace) return Status::Exists;
    if (S_ISLNK(st.st_mode)) {
      struct stat target {};
      if (::stat(path.c_str(), &target) == 0) {
        // Through a link the user named, the file it points to is replaced
        // and the link stays, as writing through it would have done.
        if (!S_ISREG(target.st_mode)) return Status::NotRegular;
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr) return Status::CannotCreate;
        final_ = real;
        ::free(real);
        mode_ = target.st_mode & 07777;
      }
    } else if (!S_ISREG(st.st_mode)) {
      return Status::NotRegular;
    } else {
      mode_ = st.st_mode & 07777;
    }
  }
  folder_ = FolderOf(final_);
  return Status::Ok;
}

OutputFile::Status OutputFile::Create() {
  const mode_t mode = mode_ != 0 ? mode_ : 0666;
  int fd = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  unnamed_ = fd >= 0;
  if (fd < 0) {
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return Status::CannotCreate;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
      hidden_ = HiddenName(folder_, BaseOf(final_));
      fd = ::open(hidden_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC | O_NOFOLLOW, mode);
      if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
      hidden_.clear();
      return Status::CannotCreate;
    }
  }
  // A replaced file keeps its permissions (the umask applied to the new one).
  if (mode_ != 0) (void)::fchmod(fd, mode_);
  file_.Attach(fd);
  return Status::Ok;
}

bool OutputFile::LinkUnnamed(const std::string& to) {
  const std::string self = "/proc/self/fd/" + std::to_string(file_.Descriptor());
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  if (errno == EEXIST) return false;
  // Without /proc, privileged processes can still name the descriptor itself.
  return ::linkat(file_.Descriptor(), "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0;
}

bool OutputFile::Publish(bool replace) {
  if (!file_.IsOpen()) return false;
  if (unnamed_) {
    if (!replace) return LinkUnnamed(final_);
    // A file with a name can be renamed over the old one in one step.
    for (int tries = 0; hidden_.empty() && tries < 100; ++tries) {
      hidden_ = HiddenName(folder_, BaseOf(final_));
      if (!LinkUnnamed(hidden_)) {
        if (errno != EEXIST) return hidden_.clear(), false;
        hidden_.clear();
      }
    }
    if (hidden_.empty()) return false;
  }
  if (replace) {
    if (::rename(hidden_.c_str(), final_.c_str()) != 0) return false;
  } else if (::renameat2(AT_FDCWD, hidden_.c_str(), AT_FDCWD, final_.c_str(), RENAME_NOREPLACE) != 0) {
    // File systems without that flag still refuse to link over a name.
    if (errno != EINVAL || ::link(hidden_.c_str(), final_.c_str()) != 0) return false;
    ::unlink(hidden_.c_str());
  }
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
  if (!hidden_.empty()) ::unlink(hidden_.c_str());
  hidden_.clear();
  unnamed_ = false;
}

}  // namespace tarvo
