// The engine's message map: every message of the worker becomes a hook call
// on the thread that owns the window.
#include <iterator>

#include "TarvoEngine.h"

const CTarvoMsgHandler::MessageMapEntry CTarvoEngine::messageEntries[] = {
    {WM_TARVO_ERROR, static_cast<MessageHandlerFn>(&CTarvoEngine::OnTarvoErrorMsg)},
    {WM_TARVO_STARTFILE, static_cast<MessageHandlerFn>(&CTarvoEngine::OnTarvoStartFile)},
    {WM_TARVO_FINISHEDFILE, static_cast<MessageHandlerFn>(&CTarvoEngine::OnTarvoFinishedFile)},
    {WM_TARVO_FINISHED, static_cast<MessageHandlerFn>(&CTarvoEngine::OnTarvoFinished)},
};
const CTarvoMsgHandler::MessageMap CTarvoEngine::messageMap = {&CTarvoMsgHandler::messageMap, messageEntries,
                                                               std::size(messageEntries)};

const CTarvoMsgHandler::MessageMap* CTarvoEngine::GetMessageMap() const { return &messageMap; }

// The handlers return without touching the engine after a hook, which may have deleted it.

intptr_t CTarvoEngine::OnTarvoErrorMsg(uintptr_t, intptr_t) { return OnTarvoError(m_nCurrentEntry, m_eErrorStatus); }

intptr_t CTarvoEngine::OnTarvoStartFile(uintptr_t, intptr_t) {
  OnStartFile(m_nCurrentEntry);
  return 0;
}

intptr_t CTarvoEngine::OnTarvoFinishedFile(uintptr_t, intptr_t) {
  OnFinishedFile(m_nCurrentEntry);
  return 0;
}

intptr_t CTarvoEngine::OnTarvoFinished(uintptr_t, intptr_t) {
  DestroyMsgHandler();
  OnFinishedProcessing();
  return 0;
}

void CTarvoEngine::OnNotifyProgressReport(const char*, uint32_t done, uint32_t total) {
  OnProgressReport(m_nCurrentEntry, done, total);
}

void CTarvoEngine::OnNotifyFileExists(const char*) { OnFileExists(m_nCurrentEntry); }

void CTarvoEngine::OnStartFile(int) {}
void CTarvoEngine::OnFinishedFile(int) {}
void CTarvoEngine::OnStartProcessing() {}
void CTarvoEngine::OnFinishedProcessing() {}
void CTarvoEngine::OnFileExists(int) {}
void CTarvoEngine::OnProgressReport(int, uint32_t, uint32_t) {}
int CTarvoEngine::OnTarvoError(int, E_TARVO_ERROR) { return 0; }
