// The processing engine: runs the jobs of its task array one after another on
// a worker thread and turns every event of the run into a hook call on the
// thread that started it (see TarvoMsgHandler.h for the relay).
//
// A GUI derives from CTarvoEngine, overrides the hooks, fills the task array
// and calls Construct or Reconstruct, then keeps its event loop running. The
// worker waits for each hook to return (or for ResumeProcessing). Hooks may
// delete the engine, most usefully in OnFinishedProcessing. Deleting an
// engine mid-run is allowed too: no hook runs once the destructor has begun,
// the core is told to stop at its next checkpoint, and the destructor waits
// for the worker to leave.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "TarvoEngineApi.h"
#include "TarvoMsgHandler.h"
#include "TarvoTaskArray.h"
#include "TarvoTaskEntry.h"
#include "TarvoTypes.h"

namespace tarvo {
class SuspendedThread;
}

class TARVOENGINE_API CTarvoEngine : public CTarvoMsgHandler {
 public:
  enum CTarvoMode { modeIdle = 0, modeConstruct = 1, modeReconstruct = 2 };

  CTarvoEngine();
  ~CTarvoEngine() override;

  const CTarvoRuntimeClass* GetRuntimeClass() const override;
  static const CTarvoRuntimeClass classCTarvoEngine;

  // Start a run over the task array: create the window, a worker held back
  // until OnStartProcessing has returned, then let it go. False, with nothing
  // started and no hook called, when a run is still active or its window
  // still present, or the window or thread cannot be made.
  bool Construct();
  bool Reconstruct();

  bool IsProcessing() const;
  bool IsValid() const;
  CTarvoMode GetTarvoMode() const { return m_eMode; }
  int GetCurrentEntry() const { return m_nCurrentEntry; }
  // Result of the entry processed last; kept after the run.
  E_TARVO_ERROR GetErrorStatus() const { return m_eErrorStatus; }
  // Not to be changed while a run is active.
  const CTarvoTaskArray& GetEntries() const { return m_Entries; }
  CTarvoTaskArray* GetEntryArrayPtr() { return &m_Entries; }

  // The argument is not consulted: full paths are always recorded.
  void SaveFullPath(bool) { m_bFullPathSaved = true; }
  bool IsFullPathSaved() const { return m_bFullPathSaved; }
  // Carried to the core, which does not use it; no range check.
  void SetConstructionSpeed(int32_t speed) { m_lConstructionSpeed = speed; }
  int32_t GetConstructionSpeed() const { return m_lConstructionSpeed; }

  // The lock around the end-of-run state (thread, mode, current entry).
  // Never hold it across a wait for the run to end: the worker takes it last.
  void BeginClassDataAccess() const { m_DataLock.lock(); }
  void EndClassDataAccess() const { m_DataLock.unlock(); }

 protected:
  // What DoConstruct hands the core for the entry: the engine's settings,
  // and the entry's construction when it is not the standard one.
  S_TARVO_CONSTRUCT_OPTIONS ConstructOptions(const CTarvoTaskEntry& entry) const;
  E_TARVO_ERROR DoConstruct(int nEntry);
  E_TARVO_ERROR DoReconstruct(int nEntry);
  // The worker's body.
  static unsigned ThreadProc(void* pEngine);

  const MessageMap* GetMessageMap() const override;
  void OnNotifyProgressReport(const char* name, uint32_t done, uint32_t total) override;
  void OnNotifyFileExists(const char* name) override;

  // The hooks, all called on the thread that started the run.
  virtual void OnStartFile(int nEntry);
  virtual void OnFinishedFile(int nEntry);
  virtual void OnStartProcessing();
  // After the window is gone; the engine may be deleted here.
  virtual void OnFinishedProcessing();
  // The core asks before overwriting; call CancelProcessing to keep the file
  // (that also ends the run).
  virtual void OnFileExists(int nEntry);
  virtual void OnProgressReport(int nEntry, uint32_t done, uint32_t total);
  // Nonzero ends the run, 0 goes on with the next entry.
  virtual int OnTarvoError(int nEntry, E_TARVO_ERROR error);

  intptr_t OnTarvoErrorMsg(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTarvoStartFile(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTarvoFinishedFile(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTarvoFinished(uintptr_t wParam, intptr_t lParam);

  static const MessageMapEntry messageEntries[];
  static const MessageMap messageMap;

  CTarvoTaskArray m_Entries;
  std::atomic<bool> m_bFullPathSaved{true};
  std::atomic<int32_t> m_lConstructionSpeed{43};

 private:
  bool StartRun(CTarvoMode mode);
  void WorkThroughEntries();
  void EndRun();

  mutable std::recursive_mutex m_DataLock;
  std::unique_ptr<tarvo::SuspendedThread> m_pThread;  // kept until joined
  std::atomic<bool> m_bThreadRegistered{false};       // from a start to the worker's end of run
  std::atomic<CTarvoMode> m_eMode{modeIdle};
  std::atomic<E_TARVO_ERROR> m_eErrorStatus{TARVO_OK};
  std::atomic<int> m_nCurrentEntry{-1};
  std::atomic<bool> m_bDestroying{false};
};
