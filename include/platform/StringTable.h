// String resources. A library that owns a string table exports
//   extern "C" const char* <Module>_GetString(unsigned id);
// (MVR_DEFINE_STRING_TABLE below writes it), and hosts look strings up by
// module name and id in the already loaded library, like a resource load.
#pragma once

namespace platform {

// Copies string `id` of the loaded library `module` (e.g. "TarvoCore") into
// buf, truncated to cap - 1 bytes and terminated. Returns the number of bytes
// copied; 0 when the library is not loaded, has no table or no such string.
int LoadModuleString(const char* module, unsigned id, char* buf, int cap);

}  // namespace platform

#define MVR_STRING_TABLE_SYMBOL(module) module##_GetString
