// Delivery of events to the host that started an operation.
#pragma once

#include <cstdint>

#include "TarvoTypes.h"

namespace tarvo {

class Notifier {
 public:
  // Keeps a copy of the target; null means nobody listens.
  explicit Notifier(const S_TARVO_NOTIFY_INFO* target);

  // The host's answer: 0 goes on, anything else asks to stop.
  int32_t Deliver(TypeNotifyEvent& event) const;
  int32_t Progress(const char* fileName, uint32_t done, uint32_t total) const;
  int32_t FileExists(const char* fileName) const;

 private:
  S_TARVO_NOTIFY_INFO target_{};
};

}  // namespace tarvo
