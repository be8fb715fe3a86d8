// Difference files put together by hand, with valid checksums, for the
// reader's tests: any code stream, either version, any trailing bytes.
#pragma once

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "DclAdapter.h"
#include "MvrCodec.h"
#include "TarvoTypes.h"
#include "TestSupport.h"

namespace testsupport {

struct Crafted {
  Bytes code;                   // the code stream
  uint32_t originalSize = 0;
  uint32_t modifiedSize = 0;
  uint32_t originalCrc = 0;
  uint32_t modifiedCrc = 0;
  std::string originalName = "o";
  std::string modifiedName = "m";
  char version = '2';
  int level = 9;
  Bytes trailing;               // after the compressed body
};

inline Bytes Implode(const Bytes& data) {
  struct S {
    const Bytes* in;
    size_t at;
    Bytes out;
  } s{&data, 0, {}};
  auto rd = [](char* buf, unsigned int* size, void* p) -> unsigned int {
    auto* st = static_cast<S*>(p);
    const size_t n = std::min<size_t>(*size, st->in->size() - st->at);
    std::memcpy(buf, st->in->data() + st->at, n);
    st->at += n;
    return static_cast<unsigned int>(n);
  };
  auto wr = [](char* buf, unsigned int* size, void* p) {
    auto* st = static_cast<S*>(p);
    st->out.insert(st->out.end(), buf, buf + *size);
  };
  std::vector<char> work(mvrcodec::kImplodeWorkArea);
  unsigned type = mvrcodec::kDclBinary, dict = 4096;
  if (implode(rd, wr, work.data(), &s, &type, &dict) != 0) throw std::runtime_error("implode");
  return s.out;
}

inline Bytes Deflate(const Bytes& data, int level) {
  Bytes out(compressBound(static_cast<uLong>(data.size())));
  uLongf n = out.size();
  if (compress2(out.data(), &n, data.data(), static_cast<uLong>(data.size()), level) != Z_OK)
    throw std::runtime_error("compress2");
  out.resize(n);
  return out;
}

// Seals a file: sets the size and the whole-file checksum of its version.
inline void Seal(Bytes& file) {
  TypeHeadDeltaFile h;
  std::memcpy(&h, file.data(), sizeof h);
  h.dwDeltaFileSize = static_cast<uint32_t>(file.size());
  h.dwDeltaCheckSum = 0;
  std::memcpy(file.data(), &h, sizeof h);
  h.dwDeltaCheckSum = MvrChecksum(file[43], 0, file.data(), file.size());
  std::memcpy(file.data(), &h, sizeof h);
}

inline Bytes Build(const Crafted& c) {
  TypeHeadDeltaFile h{};
  std::memcpy(h.chMagic, "mvr8", 4);
  std::memcpy(h.chSignature, "Lumenfold#000002", 16);
  h.chSignature[15] = c.version;
  h.dwTargetFileSize = c.modifiedSize;
  h.dwReferenceFileSize = c.originalSize;
  h.dwTargetFileCheckSum = c.modifiedCrc;
  h.dwReferenceFileCheckSum = c.originalCrc;
  h.wReferenceNameLength = static_cast<uint16_t>(c.originalName.size());
  h.wTargetNameLength = static_cast<uint16_t>(c.modifiedName.size());
  h.dwCodeOffset = static_cast<uint32_t>(56 + c.originalName.size() + c.modifiedName.size());
  Bytes file(sizeof h);
  std::memcpy(file.data(), &h, sizeof h);
  file.insert(file.end(), c.originalName.begin(), c.originalName.end());
  file.insert(file.end(), c.modifiedName.begin(), c.modifiedName.end());
  const Bytes body = c.version == '1' ? Implode(c.code) : Deflate(c.code, c.level);
  file.insert(file.end(), body.begin(), body.end());
  file.insert(file.end(), c.trailing.begin(), c.trailing.end());
  Seal(file);
  return file;
}

// A crafted file for this original whose stream rebuilds `modified`.
inline Crafted For(const Bytes& original, const Bytes& modified, Bytes code, char version = '2') {
  Crafted c;
  c.code = std::move(code);
  c.version = version;
  c.originalSize = static_cast<uint32_t>(original.size());
  c.modifiedSize = static_cast<uint32_t>(modified.size());
  c.originalCrc = MvrChecksum(version, 0, original.data(), original.size());
  c.modifiedCrc = MvrChecksum(version, 0, modified.data(), modified.size());
  return c;
}

}  // namespace testsupport
