#include "RecordDecoder.h"

#include "Format.h"

namespace tarvo {
namespace {

uint32_t Field(RecordInput& in, unsigned width) {
  uint8_t b[4] = {0, 0, 0, 0};
  in.Read(b, width);
  return GetLE(b, width);
}

}  // namespace

DecodeResult DecodeRecords(RecordInput& in, uint64_t streamSize, uint32_t originalSize,
                           uint32_t modifiedSize, RecordOutput& out) {
  const FieldWidths w = WidthsFor(originalSize, modifiedSize);
  const uint32_t step = modifiedSize / 32;
  uint64_t written = 0, mark = 0, remaining = streamSize;
  while (remaining != 0) {
    if (written > mark) {
      mark = written + step;
      if (out.Checkpoint(written)) return {DecodeStatus::Cancelled, written};
    }
    // A stream that ends inside a record is damaged; so is one whose records
    // would consume nothing (both sizes 0) and so never end.
    if (remaining < w.offset || w.offset + w.insertLength == 0) return {DecodeStatus::Damaged, written};
    const uint32_t offset = Field(in, w.offset);
    remaining -= w.offset;
    if (offset >= originalSize) {  // an insert; any value from the size up marks one
      if (remaining < w.insertLength) return {DecodeStatus::Damaged, written};
      const uint32_t length = Field(in, w.insertLength);
      remaining -= w.insertLength;
      if (remaining < length || length > modifiedSize - written) return {DecodeStatus::Damaged, written};
      remaining -= length;
      out.Insert(in, length);
      written += length;
    } else {
      if (remaining < w.copyLength) return {DecodeStatus::Damaged, written};
      const uint32_t length = Field(in, w.copyLength);
      remaining -= w.copyLength;
      if (uint64_t{offset} + length > originalSize || length > modifiedSize - written) {
        return {DecodeStatus::Damaged, written};
      }
      out.Copy(offset, length);
      written += length;
    }
  }
  return {DecodeStatus::Ok, written};
}

}  // namespace tarvo
