#include "errors/ReportInterfaceError.h"

#include <QMessageBox>

#include "errors/ErrorTexts.h"

namespace etext = qorvex::errors::text;

namespace {

QMessageBox::StandardButton Show(QWidget* pParent, const QString& text, QMessageBox::StandardButtons buttons,
                                 unsigned nHelpId) {
  return qorvex::MessageBox(pParent, text, QMessageBox::Critical, buttons, nHelpId);
}

bool Report(const CInterfaceException& e, QWidget* pParent, bool bOfferRetry) {
  if (e.m_bInternal != 0) {
    Show(pParent, etext::Tr(etext::kInternalHead) + e.m_strMessage + etext::Tr(etext::kInternalAdvice), QMessageBox::Ok, e.m_nHelpId);
    return true;
  }
  if (e.m_hResult == kHrCancelledByUser) return true;

  QString text;
  if (const auto* folder = dynamic_cast<const CShellFolderException*>(&e)) {
    if (!folder->m_strObjectName.isEmpty())
      text = folder->m_strObjectName + etext::Tr(etext::kNotAccessible);
  }
  text += e.m_strMessage;
  if (e.m_bRetry == 0 || !bOfferRetry) {
    Show(pParent, text, QMessageBox::Ok, e.m_nHelpId);
    return true;
  }
  return Show(pParent, text, QMessageBox::Retry | QMessageBox::Cancel, e.m_nHelpId) !=
         QMessageBox::Retry;
}

}  // namespace

bool ReportInterfaceError(const CInterfaceException& e, QWidget* pParent) { return Report(e, pParent, true); }

void ReportInterfaceErrorOnce(const CInterfaceException& e, QWidget* pParent) { Report(e, pParent, false); }

bool RunWithRetry(QWidget* pParent, const std::function<void()>& operation) {
  for (;;) {
    try {
      operation();
      return true;
    } catch (const CInterfaceException& e) {
      if (Report(e, pParent, true)) return false;
    }
  }
}
