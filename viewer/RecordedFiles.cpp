#include "RecordedFiles.h"

#include <cstddef>
#include <cstring>

#include "TarvoTypes.h"

namespace mvrview {

namespace {

// Field positions come from the one definition of the header; the values
// are little-endian whatever the machine.
constexpr std::size_t kMagicAt = offsetof(TypeHeadDeltaFile, chMagic);
constexpr std::size_t kModifiedSizeAt = offsetof(TypeHeadDeltaFile, dwTargetFileSize);
constexpr std::size_t kOriginalSizeAt = offsetof(TypeHeadDeltaFile, dwReferenceFileSize);
constexpr std::size_t kModifiedNameLengthAt = offsetof(TypeHeadDeltaFile, wTargetNameLength);
constexpr std::size_t kOriginalNameLengthAt = offsetof(TypeHeadDeltaFile, wReferenceNameLength);
static_assert(kDeltaHeaderSize + 2 * kMaxStoredNameLength == kViewerReadSize);

uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

std::size_t Le16(const unsigned char* p) {
  return static_cast<std::size_t>(p[0]) | static_cast<std::size_t>(p[1]) << 8;
}

}  // namespace

bool ParseRecordedFiles(const unsigned char* data, std::size_t size, RecordedFiles* files) {
  if (data == nullptr || size < kDeltaHeaderSize) return false;
  // The magic's last byte is also the header length, where the names start.
  if (std::memcmp(data + kMagicAt, kDeltaMagic, sizeof kDeltaMagic) != 0) return false;
  const std::size_t originalLength = Le16(data + kOriginalNameLengthAt);
  const std::size_t modifiedLength = Le16(data + kModifiedNameLengthAt);
  if (originalLength > kMaxStoredNameLength || modifiedLength > kMaxStoredNameLength) return false;
  if (kDeltaHeaderSize + originalLength + modifiedLength > size) return false;

  // The original's name is stored first, although its fields come second.
  const char* names = reinterpret_cast<const char*>(data) + kDeltaHeaderSize;
  files->originalSize = Le32(data + kOriginalSizeAt);
  files->modifiedSize = Le32(data + kModifiedSizeAt);
  files->originalName.assign(names, originalLength);
  files->modifiedName.assign(names + originalLength, modifiedLength);
  return true;
}

}  // namespace mvrview
