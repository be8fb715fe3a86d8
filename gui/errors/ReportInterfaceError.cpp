#include "ReportInterfaceError.h"

#include <QApplication>
#include <QMessageBox>

#include "ErrorTexts.h"

namespace etext = qorvex::errors::text;

namespace {


QMessageBox::StandardButton Show(QWidget* pParent, const QString& text,
                                 QMessageBox::StandardButtons buttons, unsigned nHelpId) {
  QWidget* parent = pParent != nullptr ? pParent : QApplication::activeWindow();
  QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text, buttons,
                  parent);
  box.setProperty(kHelpIdProperty, nHelpId);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

bool ReportInterfaceError(const CInterfaceException& e, QWidget* pParent) {
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
  if (e.m_bRetry == 0) {
    Show(pParent, text, QMessageBox::Ok, e.m_nHelpId);
    return true;
  }
  return Show(pParent, text, QMessageBox::Retry | QMessageBox::Cancel, e.m_nHelpId) !=
         QMessageBox::Retry;
}
