// The data compression library's interface as the system library exports it
// (Debian's libstorm): version '1' bodies are "imploded" data and are read
// with explode; implode is used only to make such files in tests.
#pragma once

#include <cstddef>

extern "C" {

using DclReadFn = unsigned int (*)(char* buf, unsigned int* size, void* param);
using DclWriteFn = void (*)(char* buf, unsigned int* size, void* param);

// Returns 0 on success. The work area must stay valid for the call.
unsigned int explode(DclReadFn read, DclWriteFn write, char* workArea, void* param);
unsigned int implode(DclReadFn read, DclWriteFn write, char* workArea, void* param,
                     unsigned int* type, unsigned int* dictionarySize);
}

namespace mvrcodec {

// Work areas as this build's library uses them; 64-bit builds need more than
// the 32-bit figures, so both carry a margin.
inline constexpr size_t kExplodeWorkArea = 16384;
inline constexpr size_t kImplodeWorkArea = 65536;
inline constexpr unsigned int kDclBinary = 0;
inline constexpr unsigned int kDclAscii = 1;

}  // namespace mvrcodec
