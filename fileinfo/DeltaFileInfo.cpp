#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "MvrFileInfo.h"
#include "platform/RegularFile.h"

CDeltaFileInfo::CDeltaFileInfo() = default;
CDeltaFileInfo::~CDeltaFileInfo() = default;

int CDeltaFileInfo::PrepareInfo(const char* fileName) {
  if (fileName == nullptr) return 0;
  // Only a regular file can be a difference file; a FIFO or a device must
  // not hold the caller up.
  const int fd = platform::OpenRegularFile(fileName);
  if (fd < 0) return 0;
  unsigned char buf[kReadSize];
  size_t got = 0;
  bool failed = false;
  while (got < sizeof buf) {
    const ssize_t n = ::read(fd, buf + got, sizeof buf - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed = n < 0;
      break;
    }
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  if (failed || got < kDeltaMinFileSize) return 0;
  // Only the bytes actually read are offered, so names that run past the
  // end of a short file are rejected instead of read from stale memory.
  return PrepareInfo(buf, static_cast<int>(got));
}

int CDeltaFileInfo::PrepareInfo(const void* data, int size) {
  if (data == nullptr || size < 0) return 0;
  const auto* p = static_cast<const unsigned char*>(data);
  const size_t have = static_cast<size_t>(size);
  // The header copy is taken before any test, as far as the block reaches.
  m_Header = TypeHeadDeltaFile{};
  std::memcpy(&m_Header, p, std::min(have, kDeltaHeaderSize));
  if (have < kDeltaHeaderSize) return 0;
  if (p[4] != 'm' || p[5] != 'v' || p[6] != 'r') return 0;
  if (p[7] != kDeltaHeaderSize) return 0;

  const size_t refLen = m_Header.wReferenceNameLength, tgtLen = m_Header.wTargetNameLength;
  if (refLen > kMaxStoredNameLength || kDeltaHeaderSize + refLen > have) return 0;
  m_strReferenceFileName.assign(reinterpret_cast<const char*>(p) + kDeltaHeaderSize, refLen);
  if (tgtLen > kMaxStoredNameLength || kDeltaHeaderSize + refLen + tgtLen > have) return 0;
  m_strTargetFileName.assign(reinterpret_cast<const char*>(p) + kDeltaHeaderSize + refLen, tgtLen);

  m_dwCodeOffset = static_cast<uint32_t>(kDeltaHeaderSize + refLen + tgtLen);
  m_bValid = 1;
  return 1;
}

// The library's string table.
extern "C" __attribute__((visibility("default"))) const char* MvrFileInfo_GetString(unsigned id) {
  return id == 1 ? "mvr" : nullptr;
}
