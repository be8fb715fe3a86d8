#include "FileMapping.h"

namespace tarvo {

const uint8_t* CFileMapping::Open(const char* path) {
  switch (file_.Open(path)) {
    case platform::MapStatus::Ok:
      return file_.Data();
    case platform::MapStatus::OpenFailed:
      throw CFileMappingException{path, CFileMappingException::kOpenFailed};
    case platform::MapStatus::MappingFailed:
      throw CFileMappingException{path, CFileMappingException::kMappingFailed};
    case platform::MapStatus::ViewFailed:
      break;
  }
  throw CFileMappingException{path, CFileMappingException::kViewFailed};
}

}  // namespace tarvo
