// Names a stranger's difference file may record for the modified file, and
// what every route that takes such a name must make of them. The difference
// file lies in <root>/in; <root> holds a victim file and a link to it.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FolderSwapHook.h"
#include "TarvoTypes.h"
#include "TestSupport.h"

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
  // With the user's yes to replacing what has the name (mvr -f, a GUI's Yes):
  // the entry itself is replaced, a link as the link, never written through.
  E_TARVO_ERROR withYes;
  const char* created;  // the entry in `in` that holds the modified file on success
  // `in` is swapped for a link to the root between the checks and the
  // output's creation (FolderSwapHook.h).
  bool swapFolder;
};

inline bool Nothing(const Layout&) { return true; }

inline const std::vector<Case>& Cases() {
  using L = const Layout&;
  static const std::vector<Case> cases = {
      {"an absolute name in a folder that does not exist", [](L l) { return l.root + "/elsewhere/deep/new.bin"; },
       Nothing, TARVO_OK, TARVO_OK, "new.bin", false},
      {"the absolute name of the victim", [](L l) { return l.root + "/victim"; }, Nothing, TARVO_OK, TARVO_OK,
       "victim", false},
      {"a name that climbs out", [](L) { return std::string("../../victim"); }, Nothing, TARVO_OK, TARVO_OK, "victim",
       false},
      {"a name written on the other system", [](L) { return std::string("C:\\Users\\Ann\\new.bin"); }, Nothing,
       TARVO_OK, TARVO_OK, "new.bin", false},
      {"a drive-relative name", [](L) { return std::string("C:new.bin"); }, Nothing, TARVO_OK, TARVO_OK, "new.bin",
       false},
      {"a name ending in ..", [](L) { return std::string("sub/.."); }, Nothing, TARVO_ERR_CREATE_OUTPUT,
       TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"a name ending in .", [](L) { return std::string("sub/."); }, Nothing, TARVO_ERR_CREATE_OUTPUT,
       TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"a folder name", [](L) { return std::string("sub/"); }, Nothing, TARVO_ERR_CREATE_OUTPUT,
       TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"a terminal escape", [](L) { return std::string("out\x1b]0;owned\x07"); }, Nothing, TARVO_ERR_CREATE_OUTPUT,
       TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"a tab", [](L) { return std::string("tab\there"); }, Nothing, TARVO_ERR_CREATE_OUTPUT, TARVO_ERR_CREATE_OUTPUT,
       nullptr, false},
      {"a DEL", [](L) { return std::string("del\x7f"); }, Nothing, TARVO_ERR_CREATE_OUTPUT, TARVO_ERR_CREATE_OUTPUT,
       nullptr, false},
      // Read as a C string, the name would be "nul" beside.
      {"an embedded NUL", [](L) { return std::string("nul\0/../../victim", 17); }, Nothing, TARVO_ERR_CREATE_OUTPUT,
       TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"an existing file beside", [](L) { return std::string("/anywhere/taken"); },
       [](L l) {
         const int fd = ::open((l.in + "/taken").c_str(), O_CREAT | O_WRONLY, 0644);
         return fd >= 0 && ::write(fd, "mine", 4) == 4 && ::close(fd) == 0;
       },
       TARVO_ERR_OVERWRITE_REFUSED, TARVO_OK, "taken", false},
      {"a link to the victim beside", [](L) { return std::string("link"); },
       [](L l) { return ::symlink((l.root + "/victim").c_str(), (l.in + "/link").c_str()) == 0; },
       TARVO_ERR_OVERWRITE_REFUSED, TARVO_OK, "link", false},
      {"a dangling link beside", [](L) { return std::string("dangling"); },
       [](L l) { return ::symlink((l.root + "/planted").c_str(), (l.in + "/dangling").c_str()) == 0; },
       TARVO_ERR_OVERWRITE_REFUSED, TARVO_OK, "dangling", false},
      {"a FIFO beside", [](L) { return std::string("fifo"); },
       [](L l) { return ::mkfifo((l.in + "/fifo").c_str(), 0600) == 0; }, TARVO_ERR_OVERWRITE_REFUSED,
       TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"a device beside", [](L) { return std::string("null"); },
       [](L l) { return ::mknod((l.in + "/null").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0; },  // root only
       TARVO_ERR_OVERWRITE_REFUSED, TARVO_ERR_CREATE_OUTPUT, nullptr, false},
      {"the folder swapped for a link to the root after the checks", [](L) { return std::string("swapped.bin"); },
       Nothing, TARVO_OK, TARVO_OK, "swapped.bin", true},
  };
  return cases;
}

// What `in` must hold after a route ran a case that ended with `code`:
// what was there before, the one entry `created` on success, holding the
// modified bytes as a regular file (a link there was replaced, not written
// through). The folder is given back its name first where it was swapped.
inline void ExpectOnlyTheEntryChanged(const Layout& l, const Case& c, E_TARVO_ERROR code,
                                      const std::vector<std::string>& before, const testsupport::Bytes& modified) {
  if (c.swapFolder) {
    // Past the checks, the swap has been made: the folder is elsewhere.
    struct stat moved {};
    EXPECT_TRUE(code != TARVO_OK || ::lstat((l.in + ".moved").c_str(), &moved) == 0) << "no swap";
    RestoreSwappedFolder(l.in);
  }
  std::vector<std::string> expected = before;
  if (code == TARVO_OK && c.created != nullptr) {
    const std::string made = l.in + "/" + c.created;
    struct stat st {};
    EXPECT_TRUE(::lstat(made.c_str(), &st) == 0 && S_ISREG(st.st_mode)) << made;
    EXPECT_EQ(testsupport::ReadFile(made), modified);
    if (std::find(expected.begin(), expected.end(), c.created) == expected.end()) expected.push_back(c.created);
  }
  std::vector<std::string> after = testsupport::ListDir(l.in);
  std::sort(after.begin(), after.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(after, expected);
}

}  // namespace recordednames
