// A thread that is created first and started later, so that everything that
// can fail about making it has failed before the caller commits to a run.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tarvo {

class SuspendedThread {
 public:
  // Throws std::system_error when no thread can be made.
  explicit SuspendedThread(std::function<void()> body);
  // Lets a thread that never was resumed run its body, and joins it.
  ~SuspendedThread();
  SuspendedThread(const SuspendedThread&) = delete;
  SuspendedThread& operator=(const SuspendedThread&) = delete;

  void Resume();

 private:
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_resumed;
  bool m_bResumed = false;
  std::function<void()> m_body;
  std::thread m_thread;  // last: it starts running in the constructor
};

}  // namespace tarvo
