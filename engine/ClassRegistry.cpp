#include "ClassRegistry.h"

#include <vector>

namespace tarvo {
namespace {

// Filled during static initialisation only, read-only afterwards.
std::vector<const CTarvoRuntimeClass*>& Registry() {
  static std::vector<const CTarvoRuntimeClass*> classes;
  return classes;
}

}  // namespace

bool RegisterSerialClass(const CTarvoRuntimeClass* cls) {
  Registry().push_back(cls);
  return true;
}

const CTarvoRuntimeClass* FindSerialClass(std::string_view name) {
  for (const CTarvoRuntimeClass* cls : Registry()) {
    if (name == cls->m_lpszClassName) return cls;
  }
  return nullptr;
}

}  // namespace tarvo
