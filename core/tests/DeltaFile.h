// Reading back a difference file in tests: header, names, inflated code.
#pragma once

#include <zlib.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "TarvoTypes.h"
#include "TestSupport.h"

namespace testsupport {

struct ParsedDelta {
  TypeHeadDeltaFile header;
  std::string originalName, modifiedName;
  Bytes body;  // compressed
  Bytes code;  // inflated
};

inline Bytes Inflate(const Bytes& in) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) throw std::runtime_error("inflateInit");
  Bytes out;
  uint8_t buf[65536];
  zs.next_in = const_cast<Bytef*>(in.data());
  zs.avail_in = static_cast<uInt>(in.size());
  int rc;
  do {
    zs.next_out = buf;
    zs.avail_out = sizeof buf;
    rc = inflate(&zs, Z_NO_FLUSH);
    out.insert(out.end(), buf, buf + (sizeof buf - zs.avail_out));
  } while (rc == Z_OK);
  inflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("bad zlib stream");
  return out;
}

inline ParsedDelta Parse(const Bytes& file) {
  if (file.size() < kDeltaHeaderSize) throw std::runtime_error("short file");
  ParsedDelta d;
  std::memcpy(&d.header, file.data(), kDeltaHeaderSize);
  size_t at = kDeltaHeaderSize;
  d.originalName.assign(reinterpret_cast<const char*>(file.data()) + at, d.header.wReferenceNameLength);
  at += d.header.wReferenceNameLength;
  d.modifiedName.assign(reinterpret_cast<const char*>(file.data()) + at, d.header.wTargetNameLength);
  at += d.header.wTargetNameLength;
  d.body.assign(file.begin() + static_cast<long>(at), file.end());
  d.code = Inflate(d.body);
  return d;
}

// CRC of the whole file with its first four bytes taken as zero.
inline uint32_t FileCrc(Bytes file) {
  std::memset(file.data(), 0, 4);
  return static_cast<uint32_t>(crc32(0, file.data(), static_cast<uInt>(file.size())));
}

inline uint32_t Crc(const Bytes& b) { return static_cast<uint32_t>(crc32(0, b.data(), static_cast<uInt>(b.size()))); }

}  // namespace testsupport
