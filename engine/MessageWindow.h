// The hidden window of a message handler: a platform message window owned by
// the thread that creates it. A send from another thread waits until the
// owner's event loop has run its handler; a send from the owner runs the
// handler at once. Once closed, every send is answered with 1 without a handler.
#pragma once

#include <cstdint>
#include <memory>
#include <thread>

#include "SendChannel.h"
#include "platform/MessageWindow.h"

class QSocketNotifier;

namespace tarvo {

class MessageWindow final : public platform::IMessageWindow {
 public:
  // A window owned by the calling thread, or null when it cannot be made.
  static std::unique_ptr<MessageWindow> Create(MessageHandler handler);
  // Closes first; on the owner's thread, like everything but Send.
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void AnswerEarly(intptr_t result) { m_channel->AnswerEarly(result); }
  void Close() { m_channel->Close(); }
  bool IsClosed() const { return m_channel->IsClosed(); }

 private:
  explicit MessageWindow(std::shared_ptr<SendChannel> channel);

  const std::thread::id m_owner;
  const std::shared_ptr<SendChannel> m_channel;
  std::unique_ptr<QSocketNotifier> m_watcher;
};

}  // namespace tarvo
