#include "TarvoArchive.h"

#include <cstring>

namespace {

// Length prefixes of strings and counts.
constexpr uint8_t kLongStringByte = 0xFF;
constexpr uint16_t kWideStringMarker = 0xFFFE;
constexpr uint16_t kLongerLengthWord = 0xFFFF;

}  // namespace

CTarvoArchiveException::CTarvoArchiveException(Cause cause, const char* what)
    : std::runtime_error(what), m_cause(cause) {}

CTarvoArchiveException::~CTarvoArchiveException() = default;

CTarvoArchive::CTarvoArchive() : m_bStoring(true) {}

CTarvoArchive::CTarvoArchive(std::vector<uint8_t> data)
    : m_bStoring(false), m_data(std::move(data)), m_loadMap{{nullptr, nullptr, kTarvoNoSchema}} {}

CTarvoArchive::~CTarvoArchive() = default;

void CTarvoArchive::Write(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  m_data.insert(m_data.end(), bytes, bytes + size);
}

void CTarvoArchive::WriteByte(uint8_t value) { m_data.push_back(value); }

void CTarvoArchive::WriteWord(uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  Write(bytes, sizeof bytes);
}

void CTarvoArchive::WriteDWord(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  Write(bytes, sizeof bytes);
}

void CTarvoArchive::Read(void* data, std::size_t size) {
  if (size > m_data.size() - m_nReadPos) {
    throw CTarvoArchiveException(CTarvoArchiveException::endOfFile, "archive ends inside a value");
  }
  if (size != 0) std::memcpy(data, m_data.data() + m_nReadPos, size);
  m_nReadPos += size;
}

uint8_t CTarvoArchive::ReadByte() {
  uint8_t value;
  Read(&value, 1);
  return value;
}

uint16_t CTarvoArchive::ReadWord() {
  uint8_t b[2];
  Read(b, sizeof b);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint32_t CTarvoArchive::ReadDWord() {
  uint8_t b[4];
  Read(b, sizeof b);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

void CTarvoArchive::WriteString(const std::string& value) {
  const std::size_t n = value.size();
  if (n > UINT32_MAX) {
    throw CTarvoArchiveException(CTarvoArchiveException::badFormat, "string too long for an archive");
  }
  if (n < kLongStringByte) {
    WriteByte(static_cast<uint8_t>(n));
  } else if (n < kWideStringMarker) {
    // 0xFFFE itself would read back as the wide-string marker.
    WriteByte(kLongStringByte);
    WriteWord(static_cast<uint16_t>(n));
  } else {
    WriteByte(kLongStringByte);
    WriteWord(kLongerLengthWord);
    WriteDWord(static_cast<uint32_t>(n));
  }
  Write(value.data(), n);
}

std::string CTarvoArchive::ReadString() {
  uint32_t n = ReadByte();
  if (n == kLongStringByte) {
    n = ReadWord();
    if (n == kWideStringMarker) {
      throw CTarvoArchiveException(CTarvoArchiveException::badFormat, "wide-character strings are not read");
    }
    if (n == kLongerLengthWord) n = ReadDWord();
  }
  // Checked before allocating, so a damaged length cannot ask for gigabytes.
  if (n > m_data.size() - m_nReadPos) {
    throw CTarvoArchiveException(CTarvoArchiveException::endOfFile, "archive ends inside a string");
  }
  std::string value(reinterpret_cast<const char*>(m_data.data() + m_nReadPos), n);
  m_nReadPos += n;
  return value;
}

void CTarvoArchive::WriteCount(uint32_t count) {
  if (count < kLongerLengthWord) {
    WriteWord(static_cast<uint16_t>(count));
  } else {
    WriteWord(kLongerLengthWord);
    WriteDWord(count);
  }
}

uint32_t CTarvoArchive::ReadCount() {
  const uint16_t count = ReadWord();
  return count != kLongerLengthWord ? count : ReadDWord();
}
