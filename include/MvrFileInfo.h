// Reads and tests the header and recorded names of a difference file. Cheap:
// at most 578 bytes are read and no checksum is computed; whether the file is
// intact is for reconstruction's checksums to say.
#pragma once

#include <string>

#include "TarvoTypes.h"

#if defined(MVRFILEINFO_BUILD)
#define MVRFILEINFO_API __attribute__((visibility("default")))
#else
#define MVRFILEINFO_API
#endif

class MVRFILEINFO_API CDeltaFileInfo {
 public:
  CDeltaFileInfo();
  virtual ~CDeltaFileInfo();

  // 1 when the file starts with a valid header and names, else 0.
  int PrepareInfo(const char* fileName);
  // The same on a block in memory that starts with the header.
  int PrepareInfo(const void* data, int size);

  int IsDeltaFileValid() const { return m_bValid; }
  unsigned long GetReferenceFileSize() const { return m_Header.dwReferenceFileSize; }
  unsigned long GetReferenceFileCheckSum() const { return m_Header.dwReferenceFileCheckSum; }
  const std::string& GetReferenceFileName() const { return m_strReferenceFileName; }
  unsigned long GetTargetFileSize() const { return m_Header.dwTargetFileSize; }
  unsigned long GetTargetFileCheckSum() const { return m_Header.dwTargetFileCheckSum; }
  const std::string& GetTargetFileName() const { return m_strTargetFileName; }
  unsigned long GetCodeOffset() const { return m_dwCodeOffset; }
  const TypeHeadDeltaFile& GetHeader() const { return m_Header; }

  // Bytes read from a file: the header and room for two names of 261 bytes.
  static constexpr int kReadSize = 578;

 private:
  int m_bValid = 0;
  uint32_t m_dwCodeOffset = 0;
  TypeHeadDeltaFile m_Header{};
  std::string m_strTargetFileName;
  std::string m_strReferenceFileName;
};

// Name of the library as hosts look up its strings (string 1 is "mvr").
inline constexpr char kMvrFileInfoModule[] = "MvrFileInfo";
