// A temporary file ("Mvr" prefix, in $TMPDIR or /tmp) that never outlives
// the run: removed by its destructor and, through the signal clean-up, when
// the process is ended by Ctrl+C or a closed pipe.
#pragma once

#include <string>

namespace mvrcli {

class TempCopy {
 public:
  TempCopy() = default;
  ~TempCopy();
  TempCopy(const TempCopy&) = delete;
  TempCopy& operator=(const TempCopy&) = delete;

  // A new empty file; false (with errno) when none can be made.
  bool Create();
  // Create, then fill it from standard input.
  bool FromStdin();
  // Copies the file to standard output; false (with errno) on a write error.
  bool ToStdout() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int folder_ = -1;
  int slot_ = -1;
};

}  // namespace mvrcli
