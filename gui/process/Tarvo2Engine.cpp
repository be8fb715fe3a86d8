#include "process/Tarvo2Engine.h"

#include "errors/InterfaceException.h"
#include "errors/MessageBox.h"
#include "errors/ReportInterfaceError.h"
#include "platform/StringTable.h"
#include "process/ProcessTexts.h"
#include "process/ProcessView.h"
#include "TarvoCore.h"

namespace ptext = qorvex::process::text;

namespace {

// A status-row failure is reported where the framework would have: at the
// edge of the event handler, so the run goes on.
template <typename Fn>
void Guarded(CProcessView* view, Fn&& fn) {
  try {
    fn();
  } catch (const CInterfaceException& e) {
    ReportInterfaceError(e, view != nullptr ? view->window() : nullptr);
  }
}

}  // namespace

CTarvo2Engine::CTarvo2Engine(CProcessView* pView) : m_pView(pView) {}

CTarvo2Engine::~CTarvo2Engine() = default;

QString CTarvo2Engine::DisplayName(int nEntry) const {
  const CTarvoTaskEntry* entry = GetEntries().GetAt(nEntry);
  if (entry == nullptr) return {};
  const std::string& name =
      GetTarvoMode() == modeConstruct ? entry->GetExistingFile() : entry->GetOutputFile();
  return QString::fromLocal8Bit(name.c_str());
}

void CTarvo2Engine::OnStartFile(int nEntry) {
  m_dwCurrentDone = 0;
  m_dwCurrentSize = 0;
  const QString name = DisplayName(nEntry);
  Guarded(m_pView, [&] { m_pView->SetFileName(this, name); });
  m_strCurrentFileName = name;
  m_bChanged = 1;
}

void CTarvo2Engine::OnFinishedFile(int) {
  m_dwCurrentDone = 0;
  m_dwCurrentSize = 0;
  Guarded(m_pView, [&] { m_pView->SetFileProgress(this, 0, 0); });
  m_strCurrentFileName.clear();
  m_bChanged = 1;
}

void CTarvo2Engine::OnStartProcessing() {
  m_dwOverallDone = 0;
  m_dwOverallTotal = 0;
  m_strCurrentFileName.clear();
  m_bChanged = 0;
  const bool construct = GetTarvoMode() == modeConstruct;
  const CTarvoTaskArray& entries = GetEntries();
  for (int i = 0; i < entries.GetSize(); ++i) {
    const uint32_t size = construct ? entries[i].GetExistingFileSize() : entries[i].GetOutputFileSize();
    if (size != kTflUnknownSize) m_dwOverallTotal += size;
  }
}

void CTarvo2Engine::OnFinishedProcessing() {
  CProcessView* view = m_pView;
  view->SetEnded();
  // Deletes this engine; nothing of it may be touched afterwards.
  Guarded(view, [&] { view->EndSession(this); });
}

void CTarvo2Engine::OnFileExists(int) {}

void CTarvo2Engine::OnProgressReport(int, uint32_t done, uint32_t total) {
  m_bChanged = 1;
  if (m_dwCurrentSize == 0) m_dwCurrentSize = total;
  m_dwOverallDone += done - m_dwCurrentDone;
  m_dwCurrentDone = done;
  Guarded(m_pView, [&] {
    m_pView->SetFileProgress(this, done, total);
    m_pView->SetTotalProgress(this, m_dwOverallDone, m_dwOverallTotal);
  });
}

QString CTarvo2Engine::ErrorQuestion(int nEntry, E_TARVO_ERROR eError, bool* pAsksToContinue) const {
  char text[256];
  if (platform::LoadModuleString(kTarvoCoreModule, kTarvoMessageBase + static_cast<unsigned>(eError), text,
                                 sizeof text) == 0) {
    if (pAsksToContinue != nullptr) *pAsksToContinue = false;
    return {};
  }
  const bool more = nEntry < GetEntries().GetSize() - 1;
  if (pAsksToContinue != nullptr) *pAsksToContinue = more;
  QString message = ptext::Tr(ptext::kErrorIn) + DisplayName(nEntry) + QStringLiteral(":\n\n") +
                    QString::fromLocal8Bit(text);
  if (more) message += ptext::Tr(ptext::kContinue);
  return message;
}

int CTarvo2Engine::OnTarvoError(int nEntry, E_TARVO_ERROR eError) {
  QWidget* owner = m_pView != nullptr ? m_pView->window() : nullptr;
  bool more = false;
  const QString message = ErrorQuestion(nEntry, eError, &more);
  if (message.isEmpty()) {
    qorvex::MessageBox(owner, ptext::Tr(ptext::kNoCoreTexts), QMessageBox::Critical);
    return 0;
  }
  const unsigned helpId = kTarvoMessageBase + static_cast<unsigned>(eError);
  if (!more) {
    qorvex::MessageBox(owner, message, QMessageBox::Critical, QMessageBox::Ok, helpId);
    return 0;
  }
  return qorvex::MessageBox(owner, message, QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No,
                            helpId) == QMessageBox::No
             ? 1
             : 0;
}
