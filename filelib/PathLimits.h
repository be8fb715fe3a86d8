// Buffer sizes in bytes, terminator included. Callers were written against
// fixed buffers, so results never grow beyond what those buffers held.
#pragma once

#include <cstddef>

namespace tfl {

inline constexpr std::size_t kMaxPath = 260;
inline constexpr std::size_t kMaxDrive = 3;
inline constexpr std::size_t kMaxFolder = 256;
inline constexpr std::size_t kMaxName = 256;
inline constexpr std::size_t kMaxExtension = 256;

}  // namespace tfl
