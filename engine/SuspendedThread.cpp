#include "SuspendedThread.h"

namespace tarvo {

SuspendedThread::SuspendedThread(std::function<void()> body)
    : m_body(std::move(body)), m_thread(&SuspendedThread::Run, this) {}

SuspendedThread::~SuspendedThread() {
  Resume();
  m_thread.join();
}

void SuspendedThread::Resume() {
  const std::lock_guard lock(m_mutex);
  m_bResumed = true;
  m_resumed.notify_all();
}

void SuspendedThread::Run() {
  {
    std::unique_lock lock(m_mutex);
    m_resumed.wait(lock, [this] { return m_bResumed; });
  }
  m_body();
}

}  // namespace tarvo
