#include "Compress.h"

#include <zlib.h>

#include <memory>
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

bool CompressCode(PosixFile& codeFile, PosixFile& deltaFile) {
  // deflate's output does not depend on how its input and output are cut into
  // pieces, so large buffers give the same bytes with fewer calls.
  constexpr size_t kInSize = 1 << 18, kOutSize = 1 << 18;
  std::vector<uint8_t> in(kInSize), out(kOutSize);
  DeflateStream d;
  if (deflateInit(&d.zs, 9) != Z_OK) return false;
  d.live = true;

  try {
    codeFile.Seek(0);
    int flush = Z_NO_FLUSH;
    int rc = Z_OK;
    do {
      const size_t got = codeFile.Read(in.data(), kInSize);
      if (got < kInSize) flush = Z_FINISH;
      d.zs.next_in = in.data();
      d.zs.avail_in = static_cast<uInt>(got);
      do {
        d.zs.next_out = out.data();
        d.zs.avail_out = static_cast<uInt>(kOutSize);
        rc = deflate(&d.zs, flush);
        if (rc == Z_STREAM_ERROR) return false;
        deltaFile.Write(out.data(), kOutSize - d.zs.avail_out);
      } while (d.zs.avail_out == 0);
    } while (flush != Z_FINISH);
    return rc == Z_STREAM_END;
  } catch (const CFileException&) {
    return false;
  }
}

}  // namespace tarvo
