#include "Compress.h"

#include <zlib.h>

#include <new>
#include <vector>

namespace tarvo {
namespace {

struct DeflateStream {
  z_stream zs{};
  bool live = false;
  ~DeflateStream() {
    if (live) deflateEnd(&zs);
  }
};

}  // namespace

CompressOutcome CompressCode(const PosixFile& codeFile, CodePipe& pipe, PosixFile& deltaFile) {
  // deflate's output does not depend on how its input and output are cut into
  // pieces, so reading whatever has been published gives the same bytes as
  // compressing the finished file.
  constexpr size_t kInSize = 1 << 17, kOutSize = 1 << 17;
  std::vector<uint8_t> in, out;
  try {
    in.resize(kInSize);
    out.resize(kOutSize);
  } catch (const std::bad_alloc&) {  // on the compressor's thread: nothing else would catch it
    return CompressOutcome::kNoMemory;
  }
  DeflateStream d;
  const int init = deflateInit(&d.zs, 9);
  if (init == Z_MEM_ERROR) return CompressOutcome::kNoMemory;
  if (init != Z_OK) return CompressOutcome::kWriteFailed;
  d.live = true;

  try {
    uint64_t offset = 0;
    for (;;) {
      const CodePipe::Range r = pipe.WaitBeyond(offset);
      if (r.aborted) return CompressOutcome::kAborted;
      const bool last = r.closed;
      // Everything published is read before the stream is finished.
      do {
        size_t got = 0;
        try {
          got = codeFile.ReadAt(in.data(), std::min<uint64_t>(kInSize, r.size - offset), offset);
        } catch (const CFileException&) {
          return CompressOutcome::kReadFailed;
        }
        offset += got;
        const int flush = (last && offset >= r.size) ? Z_FINISH : Z_NO_FLUSH;
        d.zs.next_in = in.data();
        d.zs.avail_in = static_cast<uInt>(got);
        int rc;
        do {
          d.zs.next_out = out.data();
          d.zs.avail_out = static_cast<uInt>(kOutSize);
          rc = deflate(&d.zs, flush);
          if (rc == Z_STREAM_ERROR) return CompressOutcome::kWriteFailed;
          deltaFile.Write(out.data(), kOutSize - d.zs.avail_out);
        } while (d.zs.avail_out == 0);
        if (flush == Z_FINISH) return rc == Z_STREAM_END ? CompressOutcome::kDone : CompressOutcome::kWriteFailed;
        if (got == 0) return CompressOutcome::kReadFailed;  // the file is shorter than what was published
      } while (offset < r.size);
    }
  } catch (const CFileException&) {
    return CompressOutcome::kWriteFailed;
  }
}

}  // namespace tarvo
