// The hidden window of an engine: the target that the core's notifications
// are sent to, with the cancel and overwrite flags.
//
// The window belongs to the thread that calls CreateMsgHandler, which must
// run a Qt event loop. A message sent from any other thread is queued to
// that loop and the sender waits until the handler has run and answered;
// a message sent from the owning thread runs its handler at once. Messages
// are routed through a message map, a table from message number to member
// function that derived classes extend. The object itself is created, used
// and destroyed on the owning thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "TarvoEngineApi.h"
#include "TarvoObject.h"
#include "TarvoTypes.h"
#include "platform/MessageWindow.h"

namespace tarvo {
class MessageWindow;
}

inline constexpr uint32_t WM_TARVO_NOTIFY = platform::kWmUser + 101;
inline constexpr uint32_t WM_TARVO_ERROR = platform::kWmUser + 102;
inline constexpr uint32_t WM_TARVO_STARTFILE = platform::kWmUser + 103;
inline constexpr uint32_t WM_TARVO_FINISHEDFILE = platform::kWmUser + 104;
inline constexpr uint32_t WM_TARVO_FINISHED = platform::kWmUser + 105;

class TARVOENGINE_API CTarvoMsgHandler : public CTarvoObject {
 public:
  using MessageHandlerFn = intptr_t (CTarvoMsgHandler::*)(uintptr_t wParam, intptr_t lParam);
  struct MessageMapEntry {
    uint32_t nMessage;
    MessageHandlerFn pfnHandler;
  };
  struct MessageMap {
    const MessageMap* pBaseMap;
    const MessageMapEntry* pEntries;
    std::size_t nCount;
  };

  CTarvoMsgHandler();
  ~CTarvoMsgHandler() override;
  CTarvoMsgHandler(const CTarvoMsgHandler&) = delete;
  CTarvoMsgHandler& operator=(const CTarvoMsgHandler&) = delete;

  const CTarvoRuntimeClass* GetRuntimeClass() const override;
  static const CTarvoRuntimeClass classCTarvoMsgHandler;

  // Creates the window on the calling thread. False when a window is still
  // present or no Qt application object exists to run its event loop.
  bool CreateMsgHandler();
  // Clears the cancel flag and destroys the window: a sender waiting for an
  // answer gets 1 at once, and so does every later send. Destroying a window
  // from inside one of its own handlers is allowed.
  bool DestroyMsgHandler();
  bool IsMsgHandlerPresent() const;

  virtual void CancelProcessing() { m_bCanceled = true; }
  bool IsCanceled() const { return m_bCanceled; }
  // Answers the message being handled at this moment with 0, so that its
  // sender goes on while the handler is still running (for instance while it
  // shows a dialog); the handler's own result is then dropped. Does nothing
  // when the current message came from the owning thread itself.
  void ResumeProcessing() const;

  // The argument is not consulted: the flag is only ever switched on.
  void NotifyOverwrite(bool) { m_bNotifyOverwrite = true; }
  bool ShouldNotifyOverwrite() const { return m_bNotifyOverwrite; }


 protected:
  // Routes one message through the message map; unknown messages answer 0.
  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The core's notification target, pointing at the current window. A
  // destroyed window stays the target until the next CreateMsgHandler, so
  // that a core call still running is told to stop instead of being let go
  // without anyone listening.
  S_TARVO_NOTIFY_INFO* GetNotifyInfoPtr();
  // Sends to this object's window from any thread; 1 when there is none.
  intptr_t SendToWindow(uint32_t message, uintptr_t wParam, intptr_t lParam);

  virtual const MessageMap* GetMessageMap() const;
  intptr_t OnTarvoNotify(uintptr_t wParam, intptr_t lParam);
  virtual void OnNotifyProgressReport(const char* name, uint32_t done, uint32_t total);
  virtual void OnNotifyFileExists(const char* name);

  // Hooks may delete the object that calls them. A handler keeps a watch
  // across every hook call and touches nothing of the object once it reports
  // the object gone.
  class LifeWatch {
   public:
    explicit LifeWatch(const CTarvoMsgHandler& handler) : m_pAlive(handler.m_pAlive) {}
    bool Gone() const { return !*m_pAlive; }

   private:
    std::shared_ptr<const bool> m_pAlive;
  };
  // Start of destruction: no hook runs from here on and the window answers
  // every send, waiting or later, with 1.
  void BeginDestruction();

  S_TARVO_NOTIFY_INFO m_NotifyInfo;
  std::atomic<bool> m_bCanceled{false};
  bool m_bNotifyOverwrite = true;

  static const MessageMapEntry messageEntries[];
  static const MessageMap messageMap;

 private:
  std::unique_ptr<tarvo::MessageWindow> m_pWindow;
  std::shared_ptr<bool> m_pAlive;
};
