#include "SendChannel.h"

namespace tarvo {

SendChannel::SendChannel(MessageHandler handler) : m_handler(std::move(handler)) {}

intptr_t SendChannel::SendAndWait(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const auto send = std::make_shared<PendingSend>(PendingSend{message, wParam, lParam});
  std::unique_lock lock(m_mutex);
  if (m_closed) return kClosedAnswer;
  m_queue.push_back(send);
  m_wakeUp.Raise();
  m_answered.wait(lock, [&] { return send->answered; });
  return send->result;
}

intptr_t SendChannel::CallDirectly(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  PendingPtr previous;
  {
    const std::lock_guard lock(m_mutex);
    if (m_closed) return kClosedAnswer;
    // Nobody waits for this one, so an early answer has nothing to answer.
    previous = std::exchange(m_current, nullptr);
  }
  const intptr_t result = m_handler(message, wParam, lParam);
  const std::lock_guard lock(m_mutex);
  Restore(previous);
  return result;
}

void SendChannel::DispatchQueued() {
  m_wakeUp.Lower();
  while (DispatchOne()) {
  }
}

bool SendChannel::DispatchOne() {
  PendingPtr send, previous;
  {
    const std::lock_guard lock(m_mutex);
    if (m_closed || m_queue.empty()) return false;
    send = std::move(m_queue.front());
    m_queue.pop_front();
    previous = std::exchange(m_current, send);
  }
  const intptr_t result = m_handler(send->message, send->wParam, send->lParam);
  const std::lock_guard lock(m_mutex);
  if (!send->answered) Answer(*send, result);
  Restore(previous);
  return true;
}

void SendChannel::AnswerEarly(intptr_t result) {
  const std::lock_guard lock(m_mutex);
  if (m_current == nullptr) return;
  Answer(*m_current, result);
  m_current = nullptr;
}

void SendChannel::Close() {
  const std::lock_guard lock(m_mutex);
  m_closed = true;
  for (const PendingPtr& send : m_queue) Answer(*send, kClosedAnswer);
  m_queue.clear();
  if (m_current != nullptr && !m_current->answered) Answer(*m_current, kClosedAnswer);
  m_current = nullptr;
}

bool SendChannel::IsClosed() const {
  const std::lock_guard lock(m_mutex);
  return m_closed;
}

void SendChannel::Answer(PendingSend& send, intptr_t result) {
  send.result = result;
  send.answered = true;
  m_answered.notify_all();
}

void SendChannel::Restore(const PendingPtr& previous) {
  // An outer handler's send is current again unless it has been answered
  // meanwhile (early, or by Close) - then nothing is.
  m_current = previous != nullptr && !previous->answered && !m_closed ? previous : nullptr;
}

}  // namespace tarvo
