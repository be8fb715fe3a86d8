#include "TarvoEngine.h"

#include <exception>

#include "SuspendedThread.h"

const CTarvoRuntimeClass CTarvoEngine::classCTarvoEngine = {"CTarvoEngine", kTarvoNoSchema, nullptr,
                                                            &CTarvoMsgHandler::classCTarvoMsgHandler, kTarvoNoSchema};

CTarvoEngine::CTarvoEngine() = default;

CTarvoEngine::~CTarvoEngine() {
  // No forced termination: the worker is told to stop (every send it makes
  // from now on is answered "cancel" without a hook, and the core hears the
  // same at its next checkpoint) and is waited for.
  m_bDestroying = true;
  m_bCanceled = true;
  BeginDestruction();
  m_pThread.reset();
}

const CTarvoRuntimeClass* CTarvoEngine::GetRuntimeClass() const { return &classCTarvoEngine; }

bool CTarvoEngine::Construct() { return StartRun(modeConstruct); }

bool CTarvoEngine::Reconstruct() { return StartRun(modeReconstruct); }

bool CTarvoEngine::StartRun(CTarvoMode mode) {
  // A worker still registered, or still waiting for the answer to its last
  // message (the window goes only then), cannot be joined from here without
  // waiting for ourselves.
  if (IsProcessing() || IsMsgHandlerPresent()) return false;
  m_pThread.reset();  // the previous run's worker, done or about to be
  if (!CreateMsgHandler()) return false;
  try {
    m_pThread = std::make_unique<tarvo::SuspendedThread>([this] { ThreadProc(this); });
  } catch (const std::exception&) {
    // Without a worker the window would block every later start; a cancel
    // that was pending stays pending.
    const bool canceled = m_bCanceled;
    DestroyMsgHandler();
    m_bCanceled = canceled;
    return false;
  }
  {
    const std::lock_guard lock(m_DataLock);
    m_eMode = mode;
    m_bThreadRegistered = true;
  }
  const LifeWatch watch(*this);
  OnStartProcessing();
  if (watch.Gone()) return true;
  m_pThread->Resume();
  return true;
}

bool CTarvoEngine::IsProcessing() const { return m_bThreadRegistered; }

bool CTarvoEngine::IsValid() const {
  const std::lock_guard lock(m_DataLock);
  if (!m_bThreadRegistered) return m_eMode == modeIdle && m_nCurrentEntry == -1;
  return m_eMode == modeConstruct || m_eMode == modeReconstruct;
}
