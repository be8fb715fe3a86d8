#include "StartPath.h"

namespace mvrfind {

namespace {

// Lives as long as the library is loaded; the dialog runs on the GUI thread
// only, so it needs no lock.
std::string& Remembered() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string RememberedStartPath() {
  // The root holds every folder: a first search finds the file wherever it
  // went, if slowly, and the user may narrow it down before starting.
  return Remembered().empty() ? std::string("/") : Remembered();
}

void RememberStartPath(const std::string& folder) { Remembered() = folder; }

}  // namespace mvrfind
