// The worker thread of a run. It reaches the hooks only through its sends to
// the window, each of which waits until the owning thread has handled it.
#include <cstddef>

#include "TarvoCore.h"
#include "TarvoEngine.h"

namespace {

constexpr uint32_t kStandardConstructOptionsSize = offsetof(S_TARVO_CONSTRUCT_OPTIONS, lMatcher);
static_assert(kStandardConstructOptionsSize == 20);
// An entry's choice of matcher and compressor: the engine fills no further.
constexpr uint32_t kChoiceConstructOptionsSize = offsetof(S_TARVO_CONSTRUCT_OPTIONS, dwReserved);

}  // namespace

unsigned CTarvoEngine::ThreadProc(void* pEngine) {
  auto* engine = static_cast<CTarvoEngine*>(pEngine);
  engine->WorkThroughEntries();
  engine->EndRun();
  return 0;
}

void CTarvoEngine::WorkThroughEntries() {
  const CTarvoMode mode = m_eMode;
  if (mode != modeConstruct && mode != modeReconstruct) return;
  // The size is read anew after every entry.
  for (int i = 0; i < m_Entries.GetSize(); ++i) {
    if (m_bCanceled) return;
    m_nCurrentEntry = i;
    SendToWindow(WM_TARVO_STARTFILE, 0, 0);
    // The engine is being destroyed: no hook would hear of this entry, and
    // the core would only be told to stop.
    if (m_bDestroying) return;
    const E_TARVO_ERROR result = mode == modeConstruct ? DoConstruct(i) : DoReconstruct(i);
    m_eErrorStatus = result;
    SendToWindow(WM_TARVO_FINISHEDFILE, 0, 0);
    switch (result) {
      case TARVO_OK:
      case TARVO_ERR_OVERWRITE_REFUSED:  // the hook kept the file; its cancel decides the rest
        break;
      case TARVO_ERR_CANCELLED:
        return;
      default:
        if (SendToWindow(WM_TARVO_ERROR, 0, 0) != 0) return;
        break;
    }
  }
}

void CTarvoEngine::EndRun() {
  {
    const std::lock_guard lock(m_DataLock);
    m_nCurrentEntry = -1;
    m_eMode = modeIdle;
    m_bThreadRegistered = false;
  }
  // The last touch of the engine: once this is answered the hook may delete it.
  SendToWindow(WM_TARVO_FINISHED, 0, 0);
}

S_TARVO_CONSTRUCT_OPTIONS CTarvoEngine::ConstructOptions(const CTarvoTaskEntry& entry) const {
  S_TARVO_CONSTRUCT_OPTIONS options{};
  // A standard entry passes the record without the choice, exactly what the
  // core got before there was one.
  options.dwSize = entry.HasStandardConstruction() ? kStandardConstructOptionsSize : kChoiceConstructOptionsSize;
  options.lConstructionSpeed = m_lConstructionSpeed;
  options.bFullReferencePath = m_bFullPathSaved ? 1 : 0;
  options.bFullTargetPath = m_bFullPathSaved ? 1 : 0;
  options.bNotifyOverwrite = 1;
  if (!entry.HasStandardConstruction()) {
    options.lMatcher = entry.GetMatcher();
    options.lCompressor = entry.GetCompressor();
  }
  return options;
}

E_TARVO_ERROR CTarvoEngine::DoConstruct(int nEntry) {
  const CTarvoTaskEntry& entry = m_Entries[nEntry];
  const S_TARVO_CONSTRUCT_OPTIONS options = ConstructOptions(entry);
  return ConstructDeltaFile(entry.GetReferenceFile().c_str(), entry.GetExistingFile().c_str(),
                            entry.GetOutputFile().c_str(), GetNotifyInfoPtr(), &options);
}

E_TARVO_ERROR CTarvoEngine::DoReconstruct(int nEntry) {
  const CTarvoTaskEntry& entry = m_Entries[nEntry];
  S_TARVO_RECONSTRUCT_OPTIONS options{};
  options.dwSize = sizeof options;
  options.bNotifyOverwrite = 1;
  // A name taken from the difference file gets the core's rule for recorded
  // names: beside the difference file, and nothing there is replaced unless
  // the user said yes, and then only the entry itself.
  options.bRecordedTargetName = entry.IsOutputRecorded() ? 1 : 0;
  options.bReplaceRecorded = entry.IsRecordedOutputAccepted() ? 1 : 0;
  const std::string& output = entry.GetOutputFile();
  // A recorded name with a NUL in it cannot travel as a C string; without a
  // name the core reads the whole one from the file and refuses it there.
  const bool cut = options.bRecordedTargetName != 0 && output.find('\0') != std::string::npos;
  return ReconstructTargetFile(entry.GetReferenceFile().c_str(), entry.GetExistingFile().c_str(),
                               cut ? "" : output.c_str(), GetNotifyInfoPtr(), &options);
}
