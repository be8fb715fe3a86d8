// Runs CompressCode on its own thread for the life of the object. Leaving
// the scope without Finish() aborts the compressor and waits for it, so no
// path out of a construction leaves the thread running.
#pragma once

#include <thread>

#include "CodePipe.h"
#include "Compress.h"

namespace tarvo {

class BackgroundCompression {
 public:
  BackgroundCompression(const PosixFile& codeFile, PosixFile& deltaFile)
      : thread_([this, &codeFile, &deltaFile] { ok_ = CompressCode(codeFile, pipe_, deltaFile); }) {}
  ~BackgroundCompression() {
    if (thread_.joinable()) {
      pipe_.Abort();
      thread_.join();
    }
  }
  BackgroundCompression(const BackgroundCompression&) = delete;
  BackgroundCompression& operator=(const BackgroundCompression&) = delete;

  CodePipe& Pipe() { return pipe_; }

  // Ends the input and waits; true when the stream was written completely.
  bool Finish() {
    pipe_.Close();
    thread_.join();
    return ok_;
  }

 private:
  CodePipe pipe_;
  bool ok_ = false;
  std::thread thread_;  // last: starts once the members it uses exist
};

}  // namespace tarvo
