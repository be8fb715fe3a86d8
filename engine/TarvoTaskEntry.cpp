#include "TarvoTaskEntry.h"

#include <sys/stat.h>

#include "ClassRegistry.h"
#include "MvrFileInfo.h"
#include "TarvoArchive.h"
#include "TarvoCore.h"
#include "platform/Files.h"

namespace {

// The three names only, as every version wrote them.
constexpr uint16_t kNamesSchema = 2;
// The names, then the matcher and the compressor.
constexpr uint16_t kChoiceSchema = 3;

}  // namespace

const CTarvoRuntimeClass CTarvoTaskEntry::classCTarvoTaskEntry = {
    "CTarvoTaskEntry", kChoiceSchema, &CTarvoTaskEntry::CreateObject, &CTarvoObject::classCTarvoObject, kNamesSchema};

namespace {

const bool registered = tarvo::RegisterSerialClass(&CTarvoTaskEntry::classCTarvoTaskEntry);

const char* OrEmpty(const char* name) { return name != nullptr ? name : ""; }

void SetName(std::string& stored, uint32_t& size, const char* name, bool bGetSize) {
  stored = OrEmpty(name);
  if (bGetSize) size = TFLGetFileSize(stored.c_str());
}

bool KnownMatcher(int32_t m) { return m == TARVO_MATCHER_STANDARD || m == TARVO_MATCHER_THOROUGH; }
bool KnownCompressor(int32_t c) {
  return c == TARVO_COMPRESSOR_STANDARD || c == TARVO_COMPRESSOR_FAST || c == TARVO_COMPRESSOR_STRONGEST;
}

bool Exists(const std::string& name) { return !name.empty() && platform::FileExists(name.c_str()); }

// One of the core's rules for recorded names, as a string; empty when refused.
// The name travels with its length, so the rule sees a NUL in it and
// refuses the name, as the core does.
std::string Resolved(size_t (*rule)(const char*, const char*, size_t, char*, size_t), const std::string& delta,
                     const std::string& recorded) {
  std::string path(rule(delta.c_str(), recorded.data(), recorded.size(), nullptr, 0), '\0');
  if (path.empty()) return path;
  rule(delta.c_str(), recorded.data(), recorded.size(), path.data(), path.size() + 1);
  return path;
}

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
  m_bOutputRecorded = false;
  m_bRecordedReplaceAccepted = false;
}

bool CTarvoTaskEntry::SetMatcher(int32_t matcher) {
  if (!KnownMatcher(matcher)) return false;
  m_lMatcher = matcher;
  return true;
}

bool CTarvoTaskEntry::SetCompressor(int32_t compressor) {
  if (!KnownCompressor(compressor)) return false;
  m_lCompressor = compressor;
  return true;
}

bool CTarvoTaskEntry::HasStandardConstruction() const {
  return m_lMatcher == TARVO_MATCHER_STANDARD && m_lCompressor == TARVO_COMPRESSOR_STANDARD;
}

bool CTarvoTaskEntry::CompleteDeltaOutput() {
  m_strOutputFile = m_strExistingFile + ".mvr";
  return true;
}

bool CTarvoTaskEntry::CompleteTargetOutput() {
  CDeltaFileInfo info;
  info.PrepareInfo(m_strExistingFile.c_str());
  if (info.IsDeltaFileValid() == 0) return false;
  const std::string original = info.GetReferenceFileName();
  const std::string target = info.GetTargetFileName();
  std::string reference = Resolved(&TarvoRecordedOriginalPath, m_strExistingFile, original);
  std::string output = Resolved(&TarvoRecordedTargetPath, m_strExistingFile, target);
  m_strReferenceFile = reference.empty() ? original : std::move(reference);
  // A refused name stays as recorded and marked as such: shown as it is,
  // never asked about, and the core refuses it again when the job runs
  // (as it would a name that only became unsafe since), which reports it
  // like any other failed job.
  m_strOutputFile = output.empty() ? target : std::move(output);
  m_bOutputRecorded = true;
  m_bRecordedReplaceAccepted = false;
  m_dwOutputFileSize = static_cast<uint32_t>(info.GetTargetFileSize());
  return true;
}

bool CTarvoTaskEntry::ValidateExistingFiles() const {
  if (!Exists(m_strReferenceFile) || !Exists(m_strExistingFile)) return false;
  const std::string folder = TFLGetFileDir(TFLGetFullFileName(m_strOutputFile.c_str()).c_str());
  return Exists(folder);
}

// A dangling link counts: the start asks about it and the core will not
// create a file through it, so the row must not show the output as new.
bool CTarvoTaskEntry::OutputExists() const {
  struct stat st {};
  return !m_strOutputFile.empty() && ::lstat(m_strOutputFile.c_str(), &st) == 0;
}

std::string CTarvoTaskEntry::RecordedOutputInUse() const {
  if (!m_bOutputRecorded) return {};
  std::string path = Resolved(&TarvoRecordedTargetPath, m_strExistingFile, m_strOutputFile);
  struct stat st {};
  // The core takes any entry under the name as taken, a link that leads
  // nowhere included: lstat, not stat.
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return {};
  return path;
}

uint16_t CTarvoTaskEntry::GetArchiveSchema() const {
  return HasStandardConstruction() ? kNamesSchema : kChoiceSchema;
}

void CTarvoTaskEntry::Serialize(CTarvoArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_strExistingFile << m_strReferenceFile << m_strOutputFile;
    if (GetArchiveSchema() == kChoiceSchema) {
      ar.WriteDWord(static_cast<uint32_t>(m_lMatcher));
      ar.WriteDWord(static_cast<uint32_t>(m_lCompressor));
    }
    return;
  }
  // Read whole before anything changes, so a short or damaged archive leaves
  // the entry as it was.
  std::string existing, reference, output;
  ar >> existing >> reference >> output;
  int32_t matcher = TARVO_MATCHER_STANDARD;
  int32_t compressor = TARVO_COMPRESSOR_STANDARD;
  if (ar.GetObjectSchema() == kChoiceSchema) {
    matcher = static_cast<int32_t>(ar.ReadDWord());
    compressor = static_cast<int32_t>(ar.ReadDWord());
    if (!KnownMatcher(matcher) || !KnownCompressor(compressor)) {
      throw CTarvoArchiveException(CTarvoArchiveException::badFormat, "unknown construction in a task entry");
    }
  }
  m_strExistingFile = std::move(existing);
  m_strReferenceFile = std::move(reference);
  m_strOutputFile = std::move(output);
  m_bOutputRecorded = false;
  m_bRecordedReplaceAccepted = false;
  m_lMatcher = matcher;
  m_lCompressor = compressor;
}
