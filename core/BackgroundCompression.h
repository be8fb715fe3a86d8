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
      : thread_([this, &codeFile, &deltaFile] { outcome_ = CompressCode(codeFile, pipe_, deltaFile); }) {}
  ~BackgroundCompression() {
    if (thread_.joinable()) {
      pipe_.Abort();
      thread_.join();
    }
  }
  BackgroundCompression(const BackgroundCompression&) = delete;
  BackgroundCompression& operator=(const BackgroundCompression&) = delete;

  CodePipe& Pipe() { return pipe_; }

  // Ends the input and waits for the stream to be written.
  CompressOutcome Finish() {
    pipe_.Close();
    thread_.join();
    return outcome_;
  }

 private:
  CodePipe pipe_;
  CompressOutcome outcome_ = CompressOutcome::kAborted;
  std::thread thread_;  // last: starts once the members it uses exist
};

}  // namespace tarvo
