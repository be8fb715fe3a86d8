#include "TarvoMsgHandler.h"

#include <QCoreApplication>
#include <iterator>

#include "MessageWindow.h"

const CTarvoRuntimeClass CTarvoMsgHandler::classCTarvoMsgHandler = {"CTarvoMsgHandler", kTarvoNoSchema, nullptr,
                                                                    &CTarvoObject::classCTarvoObject, kTarvoNoSchema};

const CTarvoMsgHandler::MessageMapEntry CTarvoMsgHandler::messageEntries[] = {
    {WM_TARVO_NOTIFY, &CTarvoMsgHandler::OnTarvoNotify},
};
const CTarvoMsgHandler::MessageMap CTarvoMsgHandler::messageMap = {nullptr, messageEntries,
                                                                   std::size(messageEntries)};

CTarvoMsgHandler::CTarvoMsgHandler() : m_pAlive(std::make_shared<bool>(true)) {
  m_NotifyInfo.dwMethod = TARVO_NOTIFY_WINDOW;
  m_NotifyInfo.hWnd = nullptr;
  m_NotifyInfo.nMessage = WM_TARVO_NOTIFY;
  m_NotifyInfo.wParam = 0;
}

CTarvoMsgHandler::~CTarvoMsgHandler() { BeginDestruction(); }

const CTarvoRuntimeClass* CTarvoMsgHandler::GetRuntimeClass() const { return &classCTarvoMsgHandler; }

bool CTarvoMsgHandler::CreateMsgHandler() {
  if (IsMsgHandlerPresent() || QCoreApplication::instance() == nullptr) return false;
  auto window = tarvo::MessageWindow::Create(
      [this](uint32_t message, uintptr_t wParam, intptr_t lParam) { return WindowProc(message, wParam, lParam); });
  if (window == nullptr) return false;
  m_pWindow = std::move(window);
  return true;
}

bool CTarvoMsgHandler::DestroyMsgHandler() {
  m_bCanceled = false;
  if (!IsMsgHandlerPresent()) return false;
  // Closed, not freed: a core call may still hold the window as its target.
  m_pWindow->Close();
  return true;
}

bool CTarvoMsgHandler::IsMsgHandlerPresent() const { return m_pWindow != nullptr && !m_pWindow->IsClosed(); }

void CTarvoMsgHandler::ResumeProcessing() const {
  if (m_pWindow != nullptr) m_pWindow->AnswerEarly(0);
}

intptr_t CTarvoMsgHandler::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->pBaseMap) {
    for (std::size_t i = 0; i < map->nCount; ++i) {
      if (map->pEntries[i].nMessage == message) return (this->*map->pEntries[i].pfnHandler)(wParam, lParam);
    }
  }
  return 0;
}

S_TARVO_NOTIFY_INFO* CTarvoMsgHandler::GetNotifyInfoPtr() {
  m_NotifyInfo.hWnd = m_pWindow.get();
  return &m_NotifyInfo;
}

intptr_t CTarvoMsgHandler::SendToWindow(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  platform::IMessageWindow* window = m_pWindow.get();
  return window != nullptr ? window->Send(message, wParam, lParam) : tarvo::SendChannel::kClosedAnswer;
}

const CTarvoMsgHandler::MessageMap* CTarvoMsgHandler::GetMessageMap() const { return &messageMap; }

intptr_t CTarvoMsgHandler::OnTarvoNotify(uintptr_t, intptr_t lParam) {
  const auto* event = reinterpret_cast<const TypeNotifyEvent*>(lParam);
  const LifeWatch watch(*this);
  if (event != nullptr) {
    switch (event->nKind) {
      case TARVO_EVENT_PROGRESS:
        OnNotifyProgressReport(event->pszFileName, event->dwDone, event->dwTotal);
        break;
      case TARVO_EVENT_FILE_EXISTS:
        if (m_bNotifyOverwrite) OnNotifyFileExists(event->pszFileName);
        break;
      default:
        break;
    }
  }
  if (watch.Gone()) return tarvo::SendChannel::kClosedAnswer;
  return m_bCanceled ? 1 : 0;
}

void CTarvoMsgHandler::OnNotifyProgressReport(const char*, uint32_t, uint32_t) {}

void CTarvoMsgHandler::OnNotifyFileExists(const char*) {}

void CTarvoMsgHandler::BeginDestruction() {
  *m_pAlive = false;
  if (m_pWindow != nullptr) m_pWindow->Close();
}
