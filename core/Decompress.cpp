#include "Decompress.h"

#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "DclAdapter.h"
#include "Format.h"
#include "TarvoTypes.h"

namespace tarvo {
namespace {

BodyResult Inflate(PosixFile& in, PosixFile& out, uint64_t limit) {
  constexpr size_t kInSize = 1 << 16, kOutSize = 1 << 18;
  std::vector<uint8_t> inBuf(kInSize), outBuf(kOutSize);
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return BodyResult::Damaged;
  struct End {
    z_stream* zs;
    ~End() { inflateEnd(zs); }
  } end{&zs};

  try {
    for (;;) {
      if (zs.avail_in == 0) {
        const size_t got = in.Read(inBuf.data(), kInSize);
        if (got == 0) return BodyResult::Ok;  // no more bytes: the stream stops here
        zs.next_in = inBuf.data();
        zs.avail_in = static_cast<uInt>(got);
      }
      zs.next_out = outBuf.data();
      zs.avail_out = static_cast<uInt>(kOutSize);
      const int rc = inflate(&zs, Z_NO_FLUSH);
      const size_t produced = kOutSize - zs.avail_out;
      if (produced > limit) return BodyResult::Damaged;
      limit -= produced;
      try {
        out.Write(outBuf.data(), produced);
      } catch (const CFileException&) {
        return BodyResult::WriteFailed;
      }
      if (rc == Z_STREAM_END) return BodyResult::Ok;
      if (rc != Z_OK) return BodyResult::Ok;  // damaged stream: what came out stands
    }
  } catch (const CFileException&) {
    return BodyResult::Damaged;
  }
}

struct ExplodeIo {
  PosixFile* in;
  PosixFile* out;
  uint64_t limit;
  bool failed = false;
  bool writeFailed = false;
};

unsigned int ExplodeRead(char* buf, unsigned int* size, void* param) {
  auto* io = static_cast<ExplodeIo*>(param);
  if (io->failed) return 0;
  try {
    return static_cast<unsigned int>(io->in->Read(buf, *size));
  } catch (const CFileException&) {
    io->failed = true;
    return 0;
  }
}

void ExplodeWrite(char* buf, unsigned int* size, void* param) {
  auto* io = static_cast<ExplodeIo*>(param);
  if (io->failed) return;
  if (*size > io->limit) {
    io->failed = true;
    return;
  }
  io->limit -= *size;
  try {
    io->out->Write(buf, *size);
  } catch (const CFileException&) {
    io->failed = true;
    io->writeFailed = true;
  }
}

BodyResult Explode(PosixFile& in, PosixFile& out, uint64_t limit) {
  std::unique_ptr<char[]> work(new (std::nothrow) char[mvrcodec::kExplodeWorkArea]);
  if (!work) return BodyResult::Damaged;
  ExplodeIo io{&in, &out, limit};
  const unsigned int rc = explode(ExplodeRead, ExplodeWrite, work.get(), &io);
  if (io.writeFailed) return BodyResult::WriteFailed;
  return rc == 0 && !io.failed ? BodyResult::Ok : BodyResult::Damaged;
}

}  // namespace

uint64_t CodeStreamLimit(uint32_t originalSize, uint32_t modifiedSize) {
  const FieldWidths w = WidthsFor(originalSize, modifiedSize);
  const uint64_t perByte = 1 + w.offset + std::max(w.insertLength, w.copyLength);
  return perByte * modifiedSize + 64;
}

BodyResult UnpackBody(char version, PosixFile& deltaFile, uint64_t codeOffset, PosixFile& codeFile,
                      uint64_t limit) {
  try {
    deltaFile.Seek(codeOffset);
  } catch (const CFileException&) {
    return BodyResult::SeekFailed;
  }
  return version == kDeltaVersion1 ? Explode(deltaFile, codeFile, limit) : Inflate(deltaFile, codeFile, limit);
}

}  // namespace tarvo
