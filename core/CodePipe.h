// Hands the code file from the matcher to the compressor while both run: the
// matcher appends to the file and publishes how far it has written; the
// compressor, on a second thread, reads behind it. Deflating in parallel
// hides most of the level-9 compression time behind the matcher.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace tarvo {

class CodePipe {
 public:
  // Producer side.
  void Published(uint64_t size) {
    std::lock_guard lock(mutex_);
    published_ = size;
    ready_.notify_one();
  }
  void Close() { End(false); }
  void Abort() { End(true); }

  // Consumer side: waits until more than `have` bytes are published or the
  // producer has ended; returns the published size, or nothing when aborted.
  struct Range {
    uint64_t size;
    bool closed;
    bool aborted;
  };
  Range WaitBeyond(uint64_t have) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return published_ > have || closed_; });
    return {published_, closed_, aborted_};
  }

 private:
  void End(bool aborted) {
    std::lock_guard lock(mutex_);
    closed_ = true;
    aborted_ = aborted;
    ready_.notify_one();
  }

  std::mutex mutex_;
  std::condition_variable ready_;
  uint64_t published_ = 0;
  bool closed_ = false;
  bool aborted_ = false;
};

}  // namespace tarvo
