#include "TarvoTaskEntry.h"

#include "ClassRegistry.h"
#include "MvrFileInfo.h"
#include "TarvoArchive.h"
#include "platform/Files.h"

const CTarvoRuntimeClass CTarvoTaskEntry::classCTarvoTaskEntry = {
    "CTarvoTaskEntry", 2, &CTarvoTaskEntry::CreateObject, &CTarvoObject::classCTarvoObject};

namespace {

const bool registered = tarvo::RegisterSerialClass(&CTarvoTaskEntry::classCTarvoTaskEntry);

const char* OrEmpty(const char* name) { return name != nullptr ? name : ""; }

void SetName(std::string& stored, uint32_t& size, const char* name, bool bGetSize) {
  stored = OrEmpty(name);
  if (bGetSize) size = TFLGetFileSize(stored.c_str());
}

bool Exists(const std::string& name) { return !name.empty() && platform::FileExists(name.c_str()); }

}  // namespace

CTarvoTaskEntry::CTarvoTaskEntry() = default;

CTarvoTaskEntry::CTarvoTaskEntry(const char* reference, const char* existing, const char* output) {
  if (reference != nullptr) SetReferenceFile(reference, false);
  if (existing != nullptr) SetExistingFile(existing, true);
  if (output != nullptr) SetOutputFile(output, false);
}

CTarvoTaskEntry::~CTarvoTaskEntry() = default;

const CTarvoRuntimeClass* CTarvoTaskEntry::GetRuntimeClass() const { return &classCTarvoTaskEntry; }

CTarvoObject* CTarvoTaskEntry::CreateObject() { return new CTarvoTaskEntry; }

void CTarvoTaskEntry::SetReferenceFile(const char* name, bool bGetSize) {
  SetName(m_strReferenceFile, m_dwReferenceFileSize, name, bGetSize);
}

void CTarvoTaskEntry::SetExistingFile(const char* name, bool bGetSize) {
  SetName(m_strExistingFile, m_dwExistingFileSize, name, bGetSize);
}

void CTarvoTaskEntry::SetOutputFile(const char* name, bool bGetSize) {
  SetName(m_strOutputFile, m_dwOutputFileSize, name, bGetSize);
}

bool CTarvoTaskEntry::CompleteDeltaOutput() {
  m_strOutputFile = m_strExistingFile + ".mvr";
  return true;
}

bool CTarvoTaskEntry::CompleteTargetOutput() {
  CDeltaFileInfo info;
  info.PrepareInfo(m_strExistingFile.c_str());
  if (info.IsDeltaFileValid() == 0) return false;
  m_strReferenceFile = info.GetReferenceFileName();
  m_strOutputFile = info.GetTargetFileName();
  m_dwOutputFileSize = static_cast<uint32_t>(info.GetTargetFileSize());
  return true;
}

bool CTarvoTaskEntry::ValidateExistingFiles() const {
  if (!Exists(m_strReferenceFile) || !Exists(m_strExistingFile)) return false;
  const std::string folder = TFLGetFileDir(TFLGetFullFileName(m_strOutputFile.c_str()).c_str());
  return Exists(folder);
}

bool CTarvoTaskEntry::OutputExists() const { return Exists(m_strOutputFile); }

void CTarvoTaskEntry::Serialize(CTarvoArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_strExistingFile << m_strReferenceFile << m_strOutputFile;
    return;
  }
  // Read whole before anything changes, so a short archive leaves the entry as it was.
  std::string existing, reference, output;
  ar >> existing >> reference >> output;
  m_strExistingFile = std::move(existing);
  m_strReferenceFile = std::move(reference);
  m_strOutputFile = std::move(output);
}
