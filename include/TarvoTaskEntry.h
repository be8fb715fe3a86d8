// One job of the processing engine: a construction (original + modified file
// give a difference file) or a reconstruction (original + difference file
// give the modified file). Names are kept exactly as given; a size of
// kTflUnknownSize means unknown, and sums of sizes skip it.
#pragma once

#include <cstdint>
#include <string>

#include "TarvoEngineApi.h"
#include "TarvoFileLib.h"
#include "TarvoObject.h"

class TARVOENGINE_API CTarvoTaskEntry : public CTarvoObject {
 public:
  CTarvoTaskEntry();
  // Null arguments leave their name empty; only the existing file is measured.
  CTarvoTaskEntry(const char* reference, const char* existing, const char* output);
  ~CTarvoTaskEntry() override;
  CTarvoTaskEntry(const CTarvoTaskEntry&) = default;
  CTarvoTaskEntry& operator=(const CTarvoTaskEntry&) = default;

  const CTarvoRuntimeClass* GetRuntimeClass() const override;
  static const CTarvoRuntimeClass classCTarvoTaskEntry;
  static CTarvoObject* CreateObject();

  // A null name is stored as empty. With bGetSize the file is measured now;
  // without, the stored size stays what it was.
  void SetReferenceFile(const char* name, bool bGetSize);
  void SetExistingFile(const char* name, bool bGetSize);
  void SetOutputFile(const char* name, bool bGetSize);
  void SetOutputFileSize(uint32_t size) { m_dwOutputFileSize = size; }

  const std::string& GetReferenceFile() const { return m_strReferenceFile; }
  const std::string& GetExistingFile() const { return m_strExistingFile; }
  const std::string& GetOutputFile() const { return m_strOutputFile; }
  uint32_t GetReferenceFileSize() const { return m_dwReferenceFileSize; }
  uint32_t GetExistingFileSize() const { return m_dwExistingFileSize; }
  uint32_t GetOutputFileSize() const { return m_dwOutputFileSize; }

  // Construction: the output becomes the existing file's name plus ".mvr".
  bool CompleteDeltaOutput();
  // Reconstruction: reference name, output name and output size from the
  // difference file's header. False, with the entry unchanged, when the
  // existing file is missing or not a difference file.
  bool CompleteTargetOutput();
  // Whether the reference and existing files and the output's folder exist.
  bool ValidateExistingFiles() const;
  bool OutputExists() const;

 protected:
  // Three names: existing, reference, output. The sizes are not archived.
  void Serialize(CTarvoArchive& ar) override;

 private:
  std::string m_strReferenceFile;
  std::string m_strExistingFile;
  std::string m_strOutputFile;
  uint32_t m_dwExistingFileSize = kTflUnknownSize;
  uint32_t m_dwOutputFileSize = kTflUnknownSize;
  uint32_t m_dwReferenceFileSize = kTflUnknownSize;
};
