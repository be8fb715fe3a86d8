// An eventfd that any thread raises to wake the thread that watches it. A
// sender touches nothing of Qt this way: only the owner's socket notifier
// does, on the owner's thread.
#pragma once

namespace tarvo {

class WakeUpFd {
 public:
  WakeUpFd();
  ~WakeUpFd();
  WakeUpFd(const WakeUpFd&) = delete;
  WakeUpFd& operator=(const WakeUpFd&) = delete;

  // Negative when no descriptor could be made.
  int Descriptor() const { return m_fd; }
  void Raise() const;
  // Takes back every raise so far.
  void Lower() const;

 private:
  int m_fd;
};

}  // namespace tarvo
