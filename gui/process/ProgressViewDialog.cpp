#include "process/ProgressViewDialog.h"

#include <QApplication>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

#include "errors/MessageBox.h"
#include "help/HelpContexts.h"
#include "help/HelpWindow.h"
#include "process/ProcessHost.h"
#include "process/ProcessTexts.h"
#include "process/ProcessView.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"

namespace ptext = qorvex::process::text;

namespace {

constexpr char kControlIdProperty[] = "mvrControlId";

}  // namespace

CProgressViewDialog::CProgressViewDialog(CProcessHost* pHost, QWidget* parent) : QWidget(parent), m_pHost(pHost) {
  setObjectName(QStringLiteral("CProgressViewDialog"));
  setAutoFillBackground(true);
  m_pCancel = new QPushButton(ptext::Tr(ptext::kCancelButton), this);
  m_pCancel->setProperty(kControlIdProperty, kCancelId);
  m_pCancel->setWhatsThis(ptext::Tr(ptext::kCancelNote));
  m_pMainInterface = new QPushButton(ptext::Tr(ptext::kMainInterfaceButton), this);
  m_pMainInterface->setProperty(kControlIdProperty, kMainInterfaceId);
  m_pMainInterface->setDefault(true);
  m_pMainInterface->setWhatsThis(ptext::Tr(ptext::kMainInterfaceNote));
  m_pList = new CProcessView(this);
  m_pList->setProperty(kControlIdProperty, kListId);
  m_pList->setWhatsThis(ptext::Tr(ptext::kListNote));
  m_pList->setAccessibleName(ptext::Tr(ptext::kStatusListName));
  // The buttons keep their size at the two ends of the top row; the list
  // takes the rest of the screen.
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_pCancel);
  buttons->addStretch(1);
  buttons->addWidget(m_pMainInterface);
  auto* screen = new QVBoxLayout(this);
  screen->addLayout(buttons);
  screen->addWidget(m_pList, 1);
  setTabOrder(m_pList, m_pCancel);
  setTabOrder(m_pCancel, m_pMainInterface);

  connect(m_pCancel, &QPushButton::clicked, this, &CProgressViewDialog::OnCancel);
  connect(m_pMainInterface, &QPushButton::clicked, this, &CProgressViewDialog::OnMainInterface);
  connect(qApp, &QApplication::focusChanged, this, &CProgressViewDialog::OnFocusChanged);
}

CProgressViewDialog::~CProgressViewDialog() {
  // The children go after this; their focus changes are no concern of ours.
  disconnect(qApp, nullptr, this, nullptr);
}

bool CProgressViewDialog::Initialize() {
  if (!m_pList->Initialize()) return false;
  m_pList->setFocus();
  m_bNotReady = false;
  return true;
}

void CProgressViewDialog::OnCancel() {
  QWidget* parent = m_pHost != nullptr ? m_pHost->HostWindow() : window();
  const QList<QPersistentModelIndex> rows = m_pList->HighlightedRows();
  if (rows.isEmpty()) return;
  if (qorvex::MessageBox(parent, qorvex::LoadString(qorvex::ids::kCancelSessions), QMessageBox::Question,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return;
  }
  if (m_pList->CancelRows(rows) == 0) {
    qorvex::MessageBox(parent, CProcessView::SessionsEndedText(), QMessageBox::Information);
  }
}

void CProgressViewDialog::OnMainInterface() {
  if (m_pHost != nullptr) m_pHost->SwitchToScreen(0, false);
}

void CProgressViewDialog::PeriodicUpdate() {
  m_pCancel->setEnabled(!m_pList->selectedItems().isEmpty() || m_pList->GetCurrentSession() != nullptr);
}

void CProgressViewDialog::OnFocusChanged(QWidget* old, QWidget* now) {
  if (old != nullptr && isAncestorOf(old) && (now == nullptr || !isAncestorOf(now))) m_pLastFocus = old;
}

void CProgressViewDialog::RestoreFocus() {
  if (m_pLastFocus != nullptr && m_pLastFocus->isEnabled()) {
    m_pLastFocus->setFocus();
  } else {
    m_pList->setFocus();
  }
}

unsigned CProgressViewDialog::HelpContextAt(const QWidget* child) const {
  for (const QWidget* w = child; w != nullptr && w != this; w = w->parentWidget()) {
    const QVariant id = w->property(kControlIdProperty);
    if (id.isValid()) {
      const int control = id.toInt() == kMainInterfaceId ? kMainInterfaceHelpId : id.toInt();
      return qorvex::help::ForControl(static_cast<unsigned>(control));
    }
  }
  return qorvex::help::ForTemplate(kTemplateId);
}

unsigned CProgressViewDialog::HelpContext() const {
  QWidget* focus = QApplication::focusWidget();
  return HelpContextAt(focus != nullptr && isAncestorOf(focus) ? focus : nullptr);
}

void CProgressViewDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_F1:
      if (event->modifiers() == Qt::NoModifier) {
        CHelpWindow::ShowContext(HelpContext());
        return;
      }
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        OnMainInterface();
        return;
      }
      break;
    default:
      break;
  }
  QWidget::keyPressEvent(event);
}
