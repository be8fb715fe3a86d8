// A window that receives synchronous messages. The handle that a host puts
// into a notification record is a pointer to one of these.
#pragma once

#include <cstdint>

namespace platform {

class IMessageWindow {
 public:
  // Delivers msg and blocks until the window's owner has handled it (or
  // replied early); returns the reply. Callable from any thread.
  virtual intptr_t Send(uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;

 protected:
  ~IMessageWindow() = default;
};

// Base message number for a host's own messages.
inline constexpr uint32_t kWmUser = 0x0400;

}  // namespace platform
