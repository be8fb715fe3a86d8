// The classes an archive can create by name. Each serializable class adds
// itself while the library loads, before anything can read an archive.
#pragma once

#include <string_view>

#include "TarvoObject.h"

namespace tarvo {

// Returns true so that a registration can initialise a namespace-scope constant.
bool RegisterSerialClass(const CTarvoRuntimeClass* cls);
// The registered class of that name, or null.
const CTarvoRuntimeClass* FindSerialClass(std::string_view name);

}  // namespace tarvo
