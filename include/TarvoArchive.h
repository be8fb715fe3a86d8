// A byte archive in the classic application-framework layout, so that task
// lists written by the original program read back unchanged: little-endian
// numbers; strings as a length prefix (one byte below 255, else 0xFF and a
// 16-bit length, else 0xFF 0xFFFF and a 32-bit length) and the characters;
// counts as 16 bits, or 0xFFFF and 32 bits; object references that name the
// class and its schema the first time the class appears and refer back by
// index afterwards. Malformed input throws CTarvoArchiveException; nothing is
// allocated beyond what the input actually holds. An archive that has thrown
// is not read any further (its back references may name discarded objects).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "TarvoEngineApi.h"
#include "TarvoObject.h"

class TARVOENGINE_API CTarvoArchiveException : public std::runtime_error {
 public:
  enum Cause {
    endOfFile,  // the data ends inside a value
    badClass,   // unknown class, class without factory, or not the class expected
    badSchema,  // the class is known but was written with another schema
    badIndex,   // a reference to nothing read before, or to the wrong kind of thing
    badFormat,  // a value this archive does not accept (see the readers)
  };
  CTarvoArchiveException(Cause cause, const char* what);
  ~CTarvoArchiveException() override;
  Cause GetCause() const { return m_cause; }

 private:
  Cause m_cause;
};

class TARVOENGINE_API CTarvoArchive {
 public:
  // A storing archive; GetData() gives what has been written so far.
  CTarvoArchive();
  // A loading archive over `data`.
  explicit CTarvoArchive(std::vector<uint8_t> data);
  ~CTarvoArchive();
  CTarvoArchive(const CTarvoArchive&) = delete;
  CTarvoArchive& operator=(const CTarvoArchive&) = delete;

  bool IsStoring() const { return m_bStoring; }
  bool IsLoading() const { return !m_bStoring; }
  const std::vector<uint8_t>& GetData() const { return m_data; }
  // Loading: every byte has been read.
  bool IsAtEnd() const { return m_nReadPos == m_data.size(); }

  void Write(const void* data, std::size_t size);
  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);
  void WriteDWord(uint32_t value);
  void Read(void* data, std::size_t size);
  uint8_t ReadByte();
  uint16_t ReadWord();
  uint32_t ReadDWord();

  void WriteString(const std::string& value);
  // Strings in the wide-character form (length marker 0xFFFE) are badFormat.
  std::string ReadString();
  void WriteCount(uint32_t count);
  uint32_t ReadCount();

  // Null, a back reference to an object written before, or the object itself
  // (preceded by its class the first time the class appears under the
  // object's schema: objects of one class under two schemas name the class
  // twice).
  void WriteObject(const CTarvoObject* object);
  // The next object reference: null, an object read before, or a new object
  // that the caller then owns (*pCreated tells which). Throws badClass when
  // the object is not an `expected` (null: any class), badSchema when its
  // class does not read the schema it was written with.
  CTarvoObject* ReadObject(const CTarvoRuntimeClass* expected, bool* pCreated = nullptr);
  // While ReadObject has a new object read itself: the schema its class was
  // written with. kTarvoNoSchema anywhere else.
  uint16_t GetObjectSchema() const { return m_wObjectSchema; }

  CTarvoArchive& operator<<(const std::string& value) {
    WriteString(value);
    return *this;
  }
  CTarvoArchive& operator>>(std::string& value) {
    value = ReadString();
    return *this;
  }

 private:
  // What a load index stands for: a class, or an object (null when its
  // loading failed, so that a later reference to it is rejected).
  struct LoadedRef {
    const CTarvoRuntimeClass* pClass;
    CTarvoObject* pObject;
    uint16_t wSchema;  // a class's: the schema it was written with
  };

  void WriteIndexTag(uint32_t index, bool isClass);
  uint32_t NextMapIndex();
  // The load index of the class read.
  std::size_t ReadClassRecord();

  bool m_bStoring;
  std::vector<uint8_t> m_data;
  std::size_t m_nReadPos = 0;
  uint32_t m_nMapCount = 1;  // index 0 stands for null
  std::unordered_map<const CTarvoObject*, uint32_t> m_storeMap;
  std::map<std::pair<const CTarvoRuntimeClass*, uint16_t>, uint32_t> m_storeClasses;
  std::vector<LoadedRef> m_loadMap;
  uint16_t m_wObjectSchema = kTarvoNoSchema;
};
