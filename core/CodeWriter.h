// Encodes matcher output as code-stream records into the temporary code file.
#pragma once

#include <vector>

#include "CodePipe.h"
#include "Format.h"
#include "Matcher.h"
#include "Notify.h"
#include "PosixFile.h"

namespace tarvo {

class CodeWriter final : public MatcherSink {
 public:
  CodeWriter(PosixFile& codeFile, CodePipe& pipe, uint32_t originalSize, uint32_t modifiedSize,
             const Notifier& notifier, const char* progressName)
      : file_(codeFile),
        pipe_(pipe),
        widths_(WidthsFor(originalSize, modifiedSize)),
        marker_(originalSize),
        notifier_(notifier),
        progressName_(progressName) {
    buf_.reserve(kBufferSize);
  }

  void Insert(const uint8_t* data, uint32_t length) override {
    uint8_t head[8];
    PutLE(head, marker_, widths_.offset);
    PutLE(head + widths_.offset, length, widths_.insertLength);
    Put(head, widths_.offset + widths_.insertLength);
    Put(data, length);
  }

  void Copy(uint32_t offset, uint32_t length) override {
    uint8_t rec[8];
    PutLE(rec, offset, widths_.offset);
    PutLE(rec + widths_.offset, length, widths_.copyLength);
    Put(rec, widths_.offset + widths_.copyLength);
  }

  bool Checkpoint(uint32_t done, uint32_t total) override {
    return notifier_.Progress(progressName_, done, total) != 0;
  }

  // Writes what is buffered and tells the compressor.
  void Flush() {
    if (buf_.empty()) return;
    file_.Write(buf_.data(), buf_.size());
    written_ += buf_.size();
    buf_.clear();
    pipe_.Published(written_);
  }

 private:
  static constexpr size_t kBufferSize = 1 << 17;

  void Put(const void* data, size_t size) {
    auto p = static_cast<const uint8_t*>(data);
    while (size > 0) {
      const size_t n = std::min(size, kBufferSize - buf_.size());
      buf_.insert(buf_.end(), p, p + n);
      p += n;
      size -= n;
      if (buf_.size() == kBufferSize) Flush();
    }
  }

  PosixFile& file_;
  CodePipe& pipe_;
  std::vector<uint8_t> buf_;
  uint64_t written_ = 0;
  FieldWidths widths_;
  uint32_t marker_;
  const Notifier& notifier_;
  const char* progressName_;
};

}  // namespace tarvo
