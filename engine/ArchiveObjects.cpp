// Object references of CTarvoArchive. Classes and objects share one index
// space, counted from 1 in the order of their first appearance (0 is null);
// a class under a second schema takes an index of its own.
// A word below 0x7FFF is an object index; with the high bit set it is a class
// index followed by a new object; 0xFFFF introduces a new class (schema,
// name length, name) followed by a new object; 0x7FFF announces a 32-bit
// tag of the same meaning, with 0x80000000 as the class bit.
#include <cstring>
#include <memory>
#include <utility>

#include "ClassRegistry.h"
#include "TarvoArchive.h"
#include "TarvoObject.h"

namespace {

constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint32_t kMaxMapIndex = 0x7FFFFFFEu;
constexpr uint16_t kMaxClassNameLength = 64;

[[noreturn]] void Fail(CTarvoArchiveException::Cause cause, const char* what) {
  throw CTarvoArchiveException(cause, what);
}

}  // namespace

uint32_t CTarvoArchive::NextMapIndex() {
  if (m_nMapCount > kMaxMapIndex) Fail(CTarvoArchiveException::badIndex, "too many objects in one archive");
  return m_nMapCount++;
}

void CTarvoArchive::WriteIndexTag(uint32_t index, bool isClass) {
  if (index < kBigObjectTag) {
    WriteWord(static_cast<uint16_t>(isClass ? (kClassTag | index) : index));
  } else {
    WriteWord(kBigObjectTag);
    WriteDWord(isClass ? (kBigClassTag | index) : index);
  }
}

void CTarvoArchive::WriteObject(const CTarvoObject* object) {
  if (object == nullptr) {
    WriteWord(kNullTag);
    return;
  }
  if (const auto seen = m_storeMap.find(object); seen != m_storeMap.end()) {
    WriteIndexTag(seen->second, false);
    return;
  }
  const CTarvoRuntimeClass* cls = object->GetRuntimeClass();
  const uint16_t schema = object->GetArchiveSchema();
  if (const auto seen = m_storeClasses.find({cls, schema}); seen != m_storeClasses.end()) {
    WriteIndexTag(seen->second, true);
  } else {
    const std::size_t length = std::strlen(cls->m_lpszClassName);
    WriteWord(kNewClassTag);
    WriteWord(schema);
    WriteWord(static_cast<uint16_t>(length));
    Write(cls->m_lpszClassName, length);
    m_storeClasses.emplace(std::pair{cls, schema}, NextMapIndex());
  }
  m_storeMap.emplace(object, NextMapIndex());
  // Storing only reads the object; the one virtual serves both directions.
  const_cast<CTarvoObject*>(object)->Serialize(*this);
}

std::size_t CTarvoArchive::ReadClassRecord() {
  const uint16_t schema = ReadWord();
  const uint16_t length = ReadWord();
  if (length >= kMaxClassNameLength) Fail(CTarvoArchiveException::badClass, "class name too long");
  char name[kMaxClassNameLength];
  Read(name, length);
  const CTarvoRuntimeClass* cls = tarvo::FindSerialClass(std::string_view(name, length));
  if (cls == nullptr) Fail(CTarvoArchiveException::badClass, "unknown class in archive");
  if (!cls->ReadsSchema(schema)) Fail(CTarvoArchiveException::badSchema, "archive written with another schema");
  NextMapIndex();
  m_loadMap.push_back({cls, nullptr, schema});
  return m_loadMap.size() - 1;
}

CTarvoObject* CTarvoArchive::ReadObject(const CTarvoRuntimeClass* expected, bool* pCreated) {
  if (pCreated != nullptr) *pCreated = false;
  const uint16_t tag = ReadWord();
  const uint32_t obTag = tag == kBigObjectTag
                             ? ReadDWord()
                             : static_cast<uint32_t>(tag & kClassTag) << 16 | static_cast<uint32_t>(tag & 0x7FFFu);

  if ((obTag & kBigClassTag) == 0) {
    if (obTag == kNullTag) return nullptr;
    if (obTag >= m_loadMap.size() || m_loadMap[obTag].pObject == nullptr) {
      Fail(CTarvoArchiveException::badIndex, "reference to no object read before");
    }
    CTarvoObject* object = m_loadMap[obTag].pObject;
    if (expected != nullptr && !object->IsKindOf(expected)) {
      Fail(CTarvoArchiveException::badClass, "object of an unexpected class");
    }
    return object;
  }

  std::size_t classIndex = obTag & ~kBigClassTag;
  if (tag == kNewClassTag) {
    classIndex = ReadClassRecord();
  } else if (classIndex == 0 || classIndex >= m_loadMap.size() || m_loadMap[classIndex].pClass == nullptr) {
    Fail(CTarvoArchiveException::badIndex, "reference to no class read before");
  }
  const CTarvoRuntimeClass* cls = m_loadMap[classIndex].pClass;
  const uint16_t schema = m_loadMap[classIndex].wSchema;
  if (expected != nullptr && !cls->IsDerivedFrom(expected)) {
    Fail(CTarvoArchiveException::badClass, "object of an unexpected class");
  }
  std::unique_ptr<CTarvoObject> object(cls->CreateObject());
  if (object == nullptr) Fail(CTarvoArchiveException::badClass, "class cannot be created from an archive");
  const uint32_t index = NextMapIndex();
  m_loadMap.push_back({nullptr, object.get(), kTarvoNoSchema});
  // An object may read objects of its own; each sees its own schema.
  const uint16_t outerSchema = std::exchange(m_wObjectSchema, schema);
  try {
    object->Serialize(*this);
  } catch (...) {
    m_wObjectSchema = outerSchema;
    m_loadMap[index].pObject = nullptr;
    throw;
  }
  m_wObjectSchema = outerSchema;
  if (pCreated != nullptr) *pCreated = true;
  return object.release();
}
