#include "frame/MainInterfaceScreen.h"

#include <QApplication>
#include <QMenu>

#include "errors/ReportInterfaceError.h"
#include "frame/FrameTexts.h"
#include "frame/MainFrame.h"
#include "help/HelpContexts.h"
#include "mainview/MainInterfaceDialog.h"

namespace ftext = qorvex::frame::text;

namespace {

// The directory view's sort columns for the menu's keys Name, Size, Type, Date.
constexpr int kSortColumns[] = {CDirView::kColName, CDirView::kColSize, CDirView::kColType, CDirView::kColDate};

}  // namespace

CMainInterfaceScreen::CMainInterfaceScreen(CMainInterfaceDialog* pDialog) : QObject(pDialog), m_pDialog(pDialog) {}

QWidget* CMainInterfaceScreen::Widget() { return m_pDialog; }
bool CMainInterfaceScreen::IsConstructMode() const { return m_pDialog->GetDirView()->IsConstruct(); }
void CMainInterfaceScreen::SetConstructFlag(bool construct) { m_pDialog->GetDirView()->SetConstruct(construct); }
bool CMainInterfaceScreen::IsMultiple() const { return m_pDialog->IsMultiple(); }
void CMainInterfaceScreen::SetSingleFileMode() { m_pDialog->SetSingleFileMode(); }
void CMainInterfaceScreen::SetMultipleFilesMode() { m_pDialog->SetMultipleFilesMode(); }
QString CMainInterfaceScreen::InputField() const { return m_pDialog->GetInputField()->text(); }
QString CMainInterfaceScreen::OriginalField() const { return m_pDialog->GetOriginalField()->text(); }
QString CMainInterfaceScreen::OutputField() const { return m_pDialog->GetOutputField()->text(); }
void CMainInterfaceScreen::SetInputField(const QString& text) { m_pDialog->GetInputField()->setText(text); }
void CMainInterfaceScreen::SetOriginalField(const QString& text) { m_pDialog->GetOriginalField()->setText(text); }
void CMainInterfaceScreen::SetOutputField(const QString& text) { m_pDialog->SetOutputField(text); }
void CMainInterfaceScreen::SetRecordedOutputField(const QString& text) { m_pDialog->SetRecordedOutputField(text); }
bool CMainInterfaceScreen::IsOutputFieldRecorded() const { return m_pDialog->IsOutputFieldRecorded(); }
void CMainInterfaceScreen::AcceptRecordedOutputField() { m_pDialog->AcceptRecordedOutputField(); }
bool CMainInterfaceScreen::IsRecordedOutputFieldAccepted() const { return m_pDialog->IsRecordedOutputFieldAccepted(); }
int CMainInterfaceScreen::SelectionCount() const { return m_pDialog->GetSelectionList()->GetRowCount(); }
CTarvoTaskEntry* CMainInterfaceScreen::SelectionEntry(int row) { return m_pDialog->GetSelectionList()->GetEntry(row); }
void CMainInterfaceScreen::RemoveAllSelections() { m_pDialog->RemoveAllRows(); }
bool CMainInterfaceScreen::IsDirViewFocused() const { return m_pDialog->HasFocusIn(m_pDialog->GetDirView()); }
int CMainInterfaceScreen::DirItemCount() const { return m_pDialog->GetDirView()->GetItemCount(); }

QStringList CMainInterfaceScreen::HighlightedPaths() const {
  QStringList paths;
  for (int i : m_pDialog->GetDirView()->GetHighlighted()) paths << m_pDialog->GetDirView()->GetFullPath(i);
  return paths;
}

QStringList CMainInterfaceScreen::HighlightedTexts() const {
  QStringList texts;
  const CDirView* view = m_pDialog->GetDirView();
  for (int i : view->GetHighlighted()) texts << view->ItemText(i, CDirView::kColName);
  return texts;
}

bool CMainInterfaceScreen::HasFocusedHighlighted() const { return m_pDialog->GetDirView()->GetFocusedHighlighted() >= 0; }
void CMainInterfaceScreen::ClearHighlight() { m_pDialog->GetDirView()->clearSelection(); }

bool CMainInterfaceScreen::HighlightItemByText(const QString& text) {
  CDirView* view = m_pDialog->GetDirView();
  for (int i = 0; i < view->GetItemCount(); ++i) {
    if (view->ItemText(i, CDirView::kColName) != text) continue;
    view->SetHighlighted(i, true);
    view->SetFocusedRow(i);
    return true;
  }
  return false;
}

int CMainInterfaceScreen::MarkedCount() const { return static_cast<int>(m_pDialog->GetDirView()->GetMarks().size()); }
bool CMainInterfaceScreen::HasOriginal() const { return !m_pDialog->GetDirView()->GetOriginal().isEmpty(); }
void CMainInterfaceScreen::MarkHighlighted() { m_pDialog->MarkHighlighted(-1); }
void CMainInterfaceScreen::ChooseOriginal() { m_pDialog->ChooseOriginal(-1); }
void CMainInterfaceScreen::ReverseMarks() { m_pDialog->ReverseMarks(); }
void CMainInterfaceScreen::ClearMarks() { m_pDialog->GetDirView()->ClearMarks(true); }
void CMainInterfaceScreen::ClearOriginal() { m_pDialog->GetDirView()->ClearOriginal(true); }
void CMainInterfaceScreen::AddMarkedFiles() { m_pDialog->AddFilesForProcessing(); }

int CMainInterfaceScreen::SortKey() const {
  const int column = m_pDialog->GetDirView()->GetSortKey();
  for (int key = 0; key < 4; ++key) {
    if (kSortColumns[key] == column) return key;
  }
  return 0;
}

void CMainInterfaceScreen::SetSortKey(int key) {
  if (key >= 0 && key < 4) m_pDialog->GetDirView()->Sort(kSortColumns[key], false);
}

bool CMainInterfaceScreen::MarkedInFront() const { return m_pDialog->GetDirView()->IsMarkedInFront(); }
void CMainInterfaceScreen::ToggleMarkedInFront() { m_pDialog->GetDirView()->Sort(CDirView::kColMark, false); }
bool CMainInterfaceScreen::SortAscending() const { return m_pDialog->GetDirView()->GetSortDirection() > 0; }

void CMainInterfaceScreen::ReverseSortOrder() {
  CDirView* view = m_pDialog->GetDirView();
  view->Sort(view->GetSortKey(), true);
}

void CMainInterfaceScreen::Refresh() {
  RunWithRetry(m_pDialog, [this] {
    m_pDialog->GetSystemView()->Refresh();
    if (const CSystemViewFolder* folder = m_pDialog->GetSystemView()->GetCurrentFolder()) {
      m_pDialog->GetDirView()->LoadFolder(folder->GetPath());
    }
  });
}

bool CMainInterfaceScreen::IsTreeFocused() const { return m_pDialog->HasFocusIn(m_pDialog->GetSystemView()); }

bool CMainInterfaceScreen::IsTreeSelectionExpanded() const {
  const QTreeWidgetItem* item = m_pDialog->GetSystemView()->currentItem();
  return item != nullptr && item->isExpanded();
}

void CMainInterfaceScreen::ToggleTreeSelection() { m_pDialog->ToggleTreeSelection(); }
void CMainInterfaceScreen::PeriodicUpdate() { m_pDialog->PeriodicUpdate(); }
void CMainInterfaceScreen::ReleaseForExit() { m_pDialog->ReleaseForExit(); }
void CMainInterfaceScreen::RestoreFocus() { m_pDialog->setFocus(); }

unsigned CMainInterfaceScreen::HelpContext() const {
  const std::pair<const QWidget*, unsigned> controls[] = {
      {m_pDialog->GetSystemView(), 1005},    {m_pDialog->GetDirView(), 1006},
      {m_pDialog->GetSelectionList(), 1024}, {m_pDialog->GetInputField(), 1034},
      {m_pDialog->GetOriginalField(), 1035}, {m_pDialog->GetOutputField(), 1033}};
  for (const QWidget* w = QApplication::focusWidget(); w != nullptr && w != m_pDialog; w = w->parentWidget()) {
    for (const auto& [control, id] : controls) {
      if (w == control) return qorvex::help::ForControl(id);
    }
  }
  return qorvex::help::ForTemplate(130);
}

CMainScreen* CreateMainInterface(CMainFrame* pFrame, QWidget* pParent, const QString& startFolder) {
  auto* dialog = new CMainInterfaceDialog(pParent);
  CQorvexActions* actions = pFrame->Actions();
  dialog->SetContextMenus(actions->DirViewMenu(), actions->TreeMenu());
  for (QMenu* menu : {actions->DirViewMenu(), actions->TreeMenu()}) {
    QObject::connect(menu, &QMenu::aboutToShow, pFrame, &CMainFrame::UpdateCommands);
  }
  // The notes of Context Help (Shift+F1, then a click).
  dialog->GetSystemView()->setWhatsThis(
      ftext::Tr(ftext::kTreeNote));
  dialog->GetDirView()->setWhatsThis(ftext::Tr(ftext::kDirViewNote));
  dialog->GetSelectionList()->setWhatsThis(ftext::Tr(ftext::kSelectionListNote));
  dialog->GetInputField()->setWhatsThis(
      ftext::Tr(ftext::kInputNote));
  dialog->GetOriginalField()->setWhatsThis(ftext::Tr(ftext::kOriginalNote));
  dialog->GetOutputField()->setWhatsThis(
      ftext::Tr(ftext::kOutputNote));
  // The toolbar follows the user's choices at once, not only at the next tick.
  for (CDropField* field : {dialog->GetInputField(), dialog->GetOriginalField(), dialog->GetOutputField()}) {
    QObject::connect(field, &QLineEdit::textChanged, pFrame, &CMainFrame::UpdateCommands);
  }
  QObject::connect(dialog->GetDirView(), &CDirView::highlightChanged, pFrame, &CMainFrame::UpdateCommands);
  QObject::connect(dialog->GetDirView(), &CDirView::marksChanged, pFrame, &CMainFrame::UpdateCommands);
  QAbstractItemModel* rows = dialog->GetSelectionList()->model();
  QObject::connect(rows, &QAbstractItemModel::rowsInserted, pFrame, &CMainFrame::UpdateCommands);
  QObject::connect(rows, &QAbstractItemModel::rowsRemoved, pFrame, &CMainFrame::UpdateCommands);
  QObject::connect(qApp, &QApplication::focusChanged, pFrame, &CMainFrame::UpdateCommands);
  // Open or Collapse, as the selected folder is.
  QObject::connect(dialog->GetSystemView(), &QTreeWidget::itemExpanded, pFrame, &CMainFrame::UpdateCommands);
  QObject::connect(dialog->GetSystemView(), &QTreeWidget::itemCollapsed, pFrame, &CMainFrame::UpdateCommands);
  QObject::connect(dialog->GetSystemView(), &QTreeWidget::currentItemChanged, pFrame, &CMainFrame::UpdateCommands);
  if (!dialog->Initialize(startFolder)) QMetaObject::invokeMethod(pFrame, &CMainFrame::close, Qt::QueuedConnection);
  return new CMainInterfaceScreen(dialog);
}
