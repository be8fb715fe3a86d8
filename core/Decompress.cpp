#include "Decompress.h"

#include <unistd.h>
#include <zlib.h>

#ifdef MVR_HAVE_ISAL
#include <isa-l/igzip_lib.h>
#endif

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <vector>

#include "DclAdapter.h"
#include "Format.h"
#include "TarvoTypes.h"

namespace tarvo {
namespace {

constexpr size_t kInSize = 1 << 16, kOutSize = 1 << 18;

std::atomic<Inflater> chosen{Inflater::Fast};

BodyResult Inflate(PosixFile& in, PosixFile& out, uint64_t limit) {
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

#ifdef MVR_HAVE_ISAL
// The two header bytes the fast path takes: deflate with the 32 KiB window
// (which it always assumes), no preset dictionary, a valid check. zlib
// answers for every other header, some of which it refuses.
bool PlainHeader(const uint8_t* h) {
  return h[0] == 0x78 && (h[1] & 0x20) == 0 && (h[0] * 256u + h[1]) % 31 == 0;
}

// True when the whole stream came out: the deflate data ended cleanly
// within the limit and every byte reached the code file. The trailer and
// whatever follows it are never read, as zlib's answer ignores them too.
// False leaves the code file to be rewritten from the start.
bool InflateFast(PosixFile& in, PosixFile& out, uint64_t limit) {
  std::vector<uint8_t> inBuf(kInSize), outBuf(kOutSize);
  auto state = std::make_unique<inflate_state>();
  uint8_t header[2];
  if (in.Read(header, 2) != 2 || !PlainHeader(header)) return false;
  isal_inflate_init(state.get());
  state->crc_flag = ISAL_DEFLATE;
  bool end = false;
  for (;;) {
    if (state->avail_in == 0 && !end) {
      const size_t got = in.Read(inBuf.data(), kInSize);
      end = got == 0;
      state->next_in = inBuf.data();
      state->avail_in = static_cast<uint32_t>(got);
    }
    state->next_out = outBuf.data();
    state->avail_out = static_cast<uint32_t>(kOutSize);
    // Past an error the fast inflater's output need not be zlib's, and at a
    // cut it holds back bytes that zlib gives out: zlib decides both.
    if (isal_inflate(state.get()) < 0) return false;
    const size_t produced = kOutSize - state->avail_out;
    if (produced > limit) return false;
    limit -= produced;
    out.Write(outBuf.data(), produced);
    if (state->block_state == ISAL_BLOCK_FINISH) return true;
    if (end && produced == 0) return false;  // the stream stops short
  }
}

BodyResult InflateFastOrZlib(PosixFile& in, PosixFile& out, uint64_t codeOffset, uint64_t limit) {
  try {
    if (InflateFast(in, out, limit)) return BodyResult::Ok;
  } catch (const CFileException&) {
    // A failed read or write: zlib meets it again, at its own place.
  }
  if (::ftruncate(out.Descriptor(), 0) != 0) return BodyResult::WriteFailed;
  try {
    out.Seek(0);
  } catch (const CFileException&) {
    return BodyResult::WriteFailed;
  }
  try {
    in.Seek(codeOffset);
  } catch (const CFileException&) {
    return BodyResult::SeekFailed;
  }
  return Inflate(in, out, limit);
}
#endif

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

bool FastInflaterBuilt() {
#ifdef MVR_HAVE_ISAL
  return true;
#else
  return false;
#endif
}

void ChooseInflater(Inflater inflater) { chosen.store(inflater); }

Inflater ChosenInflater() { return chosen.load(); }

BodyResult UnpackBody(char version, PosixFile& deltaFile, uint64_t codeOffset, PosixFile& codeFile,
                      uint64_t limit) {
  return UnpackBody(version, deltaFile, codeOffset, codeFile, limit, ChosenInflater());
}

BodyResult UnpackBody(char version, PosixFile& deltaFile, uint64_t codeOffset, PosixFile& codeFile,
                      uint64_t limit, Inflater inflater) {
  try {
    deltaFile.Seek(codeOffset);
  } catch (const CFileException&) {
    return BodyResult::SeekFailed;
  }
  if (version == kDeltaVersion1) return Explode(deltaFile, codeFile, limit);
#ifdef MVR_HAVE_ISAL
  if (inflater == Inflater::Fast) return InflateFastOrZlib(deltaFile, codeFile, codeOffset, limit);
#else
  (void)inflater;
#endif
  return Inflate(deltaFile, codeFile, limit);
}

}  // namespace tarvo
