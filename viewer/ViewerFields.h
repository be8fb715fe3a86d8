// Everything the viewer's dialog shows about one file, read at once.
#pragma once

#include <string>

namespace mvrview {

enum class ViewerFileState {
  Shown,              // a difference file: every field is filled
  Unreadable,         // cannot be opened or read
  NotDifferenceFile,  // readable, but no header, or names past its end
};

struct ViewerFields {
  std::string constructedOn;
  std::string originalName;
  std::string originalSize;
  std::string modifiedName;
  std::string modifiedSize;
};

// Fields stay empty unless the result is Shown.
ViewerFileState ReadViewerFields(const std::string& path, ViewerFields* fields);

}  // namespace mvrview
