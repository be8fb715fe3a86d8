// The queue between a message window and the threads that send to it, with
// the answers going back. Shared by the window, its wake-up watcher and any
// dispatch in progress, so that a handler can destroy its window without
// pulling the channel from under its own feet.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "WakeUpFd.h"

namespace tarvo {

using MessageHandler = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

class SendChannel {
 public:
  // The answer of a closed channel: "cancel" to the core, "stop" to the engine.
  static constexpr intptr_t kClosedAnswer = 1;

  explicit SendChannel(MessageHandler handler);
  SendChannel(const SendChannel&) = delete;
  SendChannel& operator=(const SendChannel&) = delete;

  // Raised for every queued send; the owner watches it in its event loop.
  const WakeUpFd& WakeUp() const { return m_wakeUp; }

  // Any thread but the owner's: queue the message, wake the owner, wait for the answer.
  intptr_t SendAndWait(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The owner's thread: run the handler at once.
  intptr_t CallDirectly(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The owner's thread, when woken: run the handlers of the queued sends in
  // order and answer each unless it was answered early.
  void DispatchQueued();

  // Answers the send being handled now with `result`, leaving its handler running.
  void AnswerEarly(intptr_t result);
  // Answers every waiting send, and every later one, with kClosedAnswer.
  void Close();
  bool IsClosed() const;

 private:
  struct PendingSend {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool answered = false;
    intptr_t result = 0;
  };
  using PendingPtr = std::shared_ptr<PendingSend>;

  bool DispatchOne();
  void Answer(PendingSend& send, intptr_t result);  // with the mutex held
  void Restore(const PendingPtr& previous);        // with the mutex held

  const WakeUpFd m_wakeUp;
  const MessageHandler m_handler;
  mutable std::mutex m_mutex;
  std::condition_variable m_answered;
  std::deque<PendingPtr> m_queue;
  // The cross-thread send whose handler runs now and has not been answered.
  PendingPtr m_current;
  bool m_closed = false;
};

}  // namespace tarvo
