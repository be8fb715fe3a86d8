// A temporary file of one run ("Mvr" prefix, in $TMPDIR or /tmp) that no way
// out of the run leaves behind, SIGKILL included: a copy of standard input
// has no name at all and is read through its descriptor
// (/proc/self/fd/N); an output the core writes for -c gets a name only when
// the core has finished it, and loses it again before it is copied out.
// Where the file system or /proc does not allow that, the file keeps a
// name, removed by the destructor and by the signal clean-up.
#pragma once

#include <string>

namespace mvrcli {

class TempCopy {
 public:
  TempCopy() = default;
  ~TempCopy();
  TempCopy(const TempCopy&) = delete;
  TempCopy& operator=(const TempCopy&) = delete;

  // A path for an output the core creates: unique, unguessable, and with
  // nothing there yet. False (with errno) when the folder cannot be opened.
  bool Create();
  // A copy of standard input; false (with errno) when none can be made.
  bool FromStdin();
  // Copies the file Create named to standard output, taking its name away
  // first; false (with errno) on an error.
  bool ToStdout();
  // The path under which the core opens the file.
  const std::string& Path() const { return path_; }

 private:
  bool OpenFolder();

  std::string path_;
  std::string name_;  // the file's name inside folder_ while it has one
  int folder_ = -1;
  int fd_ = -1;
  int slot_ = -1;
};

}  // namespace mvrcli
