// Where the next search dialog of this process starts.
#pragma once

#include <string>

namespace mvrfind {

// The folder the last successful search started from; the file system root
// until a search has found something.
std::string RememberedStartPath();
void RememberStartPath(const std::string& folder);

}  // namespace mvrfind
