// A whole input file mapped read-only for the matcher. Failures are thrown as
// CFileMappingException carrying the path and which step failed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/MappedFile.h"

namespace tarvo {

struct CFileMappingException {
  enum Cause : int32_t { kOpenFailed = 0, kMappingFailed = 1, kViewFailed = 2 };
  std::string fileName;  // exactly as passed to Open
  int32_t cause;
};

class CFileMapping {
 public:
  // Returns the view. An open object is closed first; after a throw it is closed.
  const uint8_t* Open(const char* path);
  void Close() { file_.Close(); }
  uint32_t GetSize() const { return file_.Size(); }
  const uint8_t* GetData() const { return file_.Data(); }
  // The file shrank under the view and a read past its end saw zeros.
  bool Faulted() const { return file_.Faulted(); }
  // The file at path is no longer the version that was mapped.
  bool Changed(const char* path) const { return file_.Changed(path); }

 private:
  platform::MappedFile file_;
};

}  // namespace tarvo
