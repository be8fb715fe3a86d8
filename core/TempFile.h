// The temporary file of one call. Its name is removed as soon as the file is
// open, so no way out of the call, not even a killed process, leaves it
// behind; the open descriptor keeps the data until it is closed.
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
    std::string path;
    const int fd = platform::CreateTempFile(&path);
    if (fd < 0) return false;
    ::unlink(path.c_str());
    file_.Attach(fd);
    return true;
  }
  void Remove() { file_.Close(); }
  PosixFile& File() { return file_; }

 private:
  PosixFile file_;
};

}  // namespace tarvo
