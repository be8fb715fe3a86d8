// The temporary file of one call: created on demand, deleted on every way out.
#pragma once

#include <unistd.h>

#include <string>

#include "PosixFile.h"
#include "platform/Files.h"

namespace tarvo {

class TempFile {
 public:
  TempFile() = default;
  ~TempFile() { Remove(); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool Create() {
    const int fd = platform::CreateTempFile(&path_);
    if (fd < 0) return false;
    file_.Attach(fd);
    return true;
  }
  // A name that was never obtained is not deleted.
  void Remove() {
    file_.Close();
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
  }
  PosixFile& File() { return file_; }

 private:
  PosixFile file_;
  std::string path_;
};

}  // namespace tarvo
