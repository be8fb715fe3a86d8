// Encodes matcher output as code-stream records into the temporary code file.
#pragma once

#include "Format.h"
#include "Matcher.h"
#include "Notify.h"
#include "PosixFile.h"

namespace tarvo {

class CodeWriter final : public MatcherSink {
 public:
  CodeWriter(PosixFile& codeFile, uint32_t originalSize, uint32_t modifiedSize,
             const Notifier& notifier, const char* progressName)
      : out_(codeFile, 1 << 18),
        widths_(WidthsFor(originalSize, modifiedSize)),
        marker_(originalSize),
        notifier_(notifier),
        progressName_(progressName) {}

  void Insert(const uint8_t* data, uint32_t length) override {
    uint8_t head[8];
    PutLE(head, marker_, widths_.offset);
    PutLE(head + widths_.offset, length, widths_.insertLength);
    out_.Put(head, widths_.offset + widths_.insertLength);
    out_.Put(data, length);
  }

  void Copy(uint32_t offset, uint32_t length) override {
    uint8_t rec[8];
    PutLE(rec, offset, widths_.offset);
    PutLE(rec + widths_.offset, length, widths_.copyLength);
    out_.Put(rec, widths_.offset + widths_.copyLength);
  }

  bool Checkpoint(uint32_t done, uint32_t total) override {
    return notifier_.Progress(progressName_, done, total) != 0;
  }

  void Finish() { out_.Flush(); }

 private:
  BufferedWriter out_;
  FieldWidths widths_;
  uint32_t marker_;
  const Notifier& notifier_;
  const char* progressName_;
};

}  // namespace tarvo
