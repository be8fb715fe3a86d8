#include "Notify.h"

#include "platform/MessageWindow.h"

namespace tarvo {

Notifier::Notifier(const S_TARVO_NOTIFY_INFO* target) {
  target_.dwMethod = TARVO_NOTIFY_NONE;
  if (target != nullptr) target_ = *target;
}

int32_t Notifier::Deliver(TypeNotifyEvent& event) const {
  switch (target_.dwMethod) {
    case TARVO_NOTIFY_WINDOW:
      if (target_.hWnd == nullptr) return 0;
      return target_.hWnd->Send(static_cast<uint32_t>(target_.nMessage), target_.wParam,
                                reinterpret_cast<intptr_t>(&event)) != 0;
    case TARVO_NOTIFY_FUNCTION:
      if (target_.pfnNotify == nullptr) return 0;
      return target_.pfnNotify(&event, target_.nMessage);
    default:
      return 0;
  }
}

int32_t Notifier::Progress(const char* fileName, uint32_t done, uint32_t total) const {
  TypeNotifyEvent event{TARVO_EVENT_PROGRESS, fileName, done, total};
  return Deliver(event);
}

int32_t Notifier::FileExists(const char* fileName) const {
  TypeNotifyEvent event{TARVO_EVENT_FILE_EXISTS, fileName, 0, 0};
  return Deliver(event);
}

}  // namespace tarvo
