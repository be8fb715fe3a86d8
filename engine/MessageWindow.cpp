#include "MessageWindow.h"

#include <QSocketNotifier>

namespace tarvo {

std::unique_ptr<MessageWindow> MessageWindow::Create(MessageHandler handler) {
  auto channel = std::make_shared<SendChannel>(std::move(handler));
  if (channel->WakeUp().Descriptor() < 0) return nullptr;
  return std::unique_ptr<MessageWindow>(new MessageWindow(std::move(channel)));
}

MessageWindow::MessageWindow(std::shared_ptr<SendChannel> channel)
    : m_owner(std::this_thread::get_id()),
      m_channel(std::move(channel)),
      m_watcher(std::make_unique<QSocketNotifier>(m_channel->WakeUp().Descriptor(), QSocketNotifier::Read)) {
  // The handler may destroy this window and its watcher; the copy keeps the
  // channel alive until the dispatch is over.
  QObject::connect(m_watcher.get(), &QSocketNotifier::activated, [channel = m_channel] {
    const std::shared_ptr<SendChannel> keep = channel;
    keep->DispatchQueued();
  });
}

MessageWindow::~MessageWindow() {
  m_channel->Close();
  // Before the descriptor can go with the channel.
  m_watcher.reset();
}

intptr_t MessageWindow::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // The handler may destroy this window; the channel outlives the call.
  const std::shared_ptr<SendChannel> channel = m_channel;
  if (std::this_thread::get_id() == m_owner) return channel->CallDirectly(message, wParam, lParam);
  return channel->SendAndWait(message, wParam, lParam);
}

}  // namespace tarvo
