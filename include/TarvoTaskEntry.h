// One job of the processing engine: a construction (original + modified file
// give a difference file) or a reconstruction (original + difference file
// give the modified file). Names are kept exactly as given; a size of
// kTflUnknownSize means unknown, and sums of sizes skip it.
//
// The output name also carries where it came from: taken from a difference
// file (which may come from a stranger) or typed or accepted by the user.
// Only the user's names may replace what is there.
//
// A construction also carries how the core builds the difference file: its
// matcher and compressor (TARVO_MATCHER_*, TARVO_COMPRESSOR_*), standard
// unless chosen otherwise. Reconstructions ignore them.
#pragma once

#include <cstdint>
#include <string>

#include "TarvoEngineApi.h"
#include "TarvoFileLib.h"
#include "TarvoObject.h"
#include "TarvoTypes.h"

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
  // without, the stored size stays what it was. An output name set here is
  // the user's.
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

  // Whether the output name was taken from the difference file. The core
  // then puts it beside the difference file and never replaces anything
  // under it unless the user said yes (AcceptRecordedOutput).
  bool IsOutputRecorded() const { return m_bOutputRecorded; }
  void SetOutputRecorded(bool bRecorded) {
    m_bOutputRecorded = bRecorded;
    m_bRecordedReplaceAccepted = false;
  }
  // The user said yes to replacing what has the recorded name: the core may
  // then replace that entry in that folder (a link as the link itself, its
  // target untouched), never write through it. The name stays a recorded
  // one. Cleared with the name.
  void AcceptRecordedOutput() { m_bRecordedReplaceAccepted = m_bOutputRecorded; }
  bool IsRecordedOutputAccepted() const { return m_bRecordedReplaceAccepted; }
  // For a recorded output: where the core would create it, when something
  // already has that name (a file, a folder, a link even if it leads
  // nowhere), so that the user can be asked first. Empty for a typed output,
  // for a refused name and when the name is free.
  std::string RecordedOutputInUse() const;

  int32_t GetMatcher() const { return m_lMatcher; }
  int32_t GetCompressor() const { return m_lCompressor; }
  // False, with the entry unchanged, for a value the core has no name for.
  bool SetMatcher(int32_t matcher);
  bool SetCompressor(int32_t compressor);
  // Both standard: the core is called exactly as before the choice existed.
  bool HasStandardConstruction() const;

  // Construction: the output becomes the existing file's name plus ".mvr".
  bool CompleteDeltaOutput();
  // Reconstruction: reference name, output name and output size from the
  // difference file's header, the names where the core will look for and
  // create them (TarvoRecordedOriginalPath, TarvoRecordedTargetPath); the
  // output is then a recorded one. A recorded output name the core refuses
  // is kept as recorded, so that the job fails with the core's own answer.
  // False, with the entry unchanged, when the existing file is missing or
  // not a difference file.
  bool CompleteTargetOutput();
  // Whether the reference and existing files and the output's folder exist.
  bool ValidateExistingFiles() const;
  bool OutputExists() const;

 protected:
  // Three names: existing, reference, output; under the later schema the
  // matcher and the compressor follow as 32-bit numbers. An entry with the
  // standard construction keeps the first schema, so that lists without a
  // choice read back in the versions that predate it. Unknown numbers are
  // badFormat. Read outside ReadObject (no class names the schema), an
  // entry is taken to be in the first schema. The sizes and the origin of
  // the output name are not archived: a loaded entry's output counts as the
  // user's, as it did before the origin was known.
  void Serialize(CTarvoArchive& ar) override;
  uint16_t GetArchiveSchema() const override;

 private:
  std::string m_strReferenceFile;
  std::string m_strExistingFile;
  std::string m_strOutputFile;
  uint32_t m_dwExistingFileSize = kTflUnknownSize;
  uint32_t m_dwOutputFileSize = kTflUnknownSize;
  uint32_t m_dwReferenceFileSize = kTflUnknownSize;
  bool m_bOutputRecorded = false;
  bool m_bRecordedReplaceAccepted = false;
  int32_t m_lMatcher = TARVO_MATCHER_STANDARD;
  int32_t m_lCompressor = TARVO_COMPRESSOR_STANDARD;
};
