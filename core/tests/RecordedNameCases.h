// Names a stranger's difference file may record for the modified file, and
// what every route that takes such a name must make of them. The difference
// file lies in <root>/in; <root> holds a victim file and a link to it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "TarvoTypes.h"

namespace recordednames {

struct Layout {
  std::string root;  // victims live here
  std::string in;    // the difference file's folder
};

struct Case {
  const char* what;
  std::function<std::string(const Layout&)> recorded;
  // Plants what is already there; false: cannot be planted here (skipped).
  std::function<bool(const Layout&)> plant;
  E_TARVO_ERROR expected;
  const char* created;  // the file made in `in` on success, else nullptr
};

inline bool Nothing(const Layout&) { return true; }

inline const std::vector<Case>& Cases() {
  using L = const Layout&;
  static const std::vector<Case> cases = {
      {"an absolute name in a folder that does not exist", [](L l) { return l.root + "/elsewhere/deep/new.bin"; },
       Nothing, TARVO_OK, "new.bin"},
      {"the absolute name of the victim", [](L l) { return l.root + "/victim"; }, Nothing, TARVO_OK, "victim"},
      {"a name that climbs out", [](L) { return std::string("../../victim"); }, Nothing, TARVO_OK, "victim"},
      {"a name written on the other system", [](L) { return std::string("C:\\Users\\Ann\\new.bin"); }, Nothing,
       TARVO_OK, "new.bin"},
      {"a drive-relative name", [](L) { return std::string("C:new.bin"); }, Nothing, TARVO_OK, "new.bin"},
      {"a name ending in ..", [](L) { return std::string("sub/.."); }, Nothing, TARVO_ERR_CREATE_OUTPUT, nullptr},
      {"a name ending in .", [](L) { return std::string("sub/."); }, Nothing, TARVO_ERR_CREATE_OUTPUT, nullptr},
      {"a folder name", [](L) { return std::string("sub/"); }, Nothing, TARVO_ERR_CREATE_OUTPUT, nullptr},
      {"a terminal escape", [](L) { return std::string("out\x1b]0;owned\x07"); }, Nothing, TARVO_ERR_CREATE_OUTPUT,
       nullptr},
      {"a tab", [](L) { return std::string("tab\there"); }, Nothing, TARVO_ERR_CREATE_OUTPUT, nullptr},
      {"a DEL", [](L) { return std::string("del\x7f"); }, Nothing, TARVO_ERR_CREATE_OUTPUT, nullptr},
      {"an existing file beside", [](L) { return std::string("/anywhere/taken"); },
       [](L l) {
         const int fd = ::open((l.in + "/taken").c_str(), O_CREAT | O_WRONLY, 0644);
         return fd >= 0 && ::write(fd, "mine", 4) == 4 && ::close(fd) == 0;
       },
       TARVO_ERR_OVERWRITE_REFUSED, nullptr},
      {"a link to the victim beside", [](L) { return std::string("link"); },
       [](L l) { return ::symlink((l.root + "/victim").c_str(), (l.in + "/link").c_str()) == 0; },
       TARVO_ERR_OVERWRITE_REFUSED, nullptr},
      {"a dangling link beside", [](L) { return std::string("dangling"); },
       [](L l) { return ::symlink((l.root + "/planted").c_str(), (l.in + "/dangling").c_str()) == 0; },
       TARVO_ERR_OVERWRITE_REFUSED, nullptr},
      {"a FIFO beside", [](L) { return std::string("fifo"); },
       [](L l) { return ::mkfifo((l.in + "/fifo").c_str(), 0600) == 0; }, TARVO_ERR_OVERWRITE_REFUSED, nullptr},
      {"a device beside", [](L) { return std::string("null"); },
       [](L l) { return ::mknod((l.in + "/null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; },  // root only
       TARVO_ERR_OVERWRITE_REFUSED, nullptr},
  };
  return cases;
}

}  // namespace recordednames
