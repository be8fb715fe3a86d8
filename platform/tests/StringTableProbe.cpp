// A string table in a library of its own, named like an installed library
// with a version after ".so".
#include "platform/StringTable.h"

extern "C" __attribute__((visibility("default"))) const char* MVR_STRING_TABLE_SYMBOL(MvrTableProbe)(unsigned id) {
  return id == 7 ? "seventh string" : nullptr;
}
