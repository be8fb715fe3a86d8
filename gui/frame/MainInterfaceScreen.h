// The Main Interface screen as the frame drives it: CMainInterfaceDialog
// seen through CMainScreen. Lives as long as the dialog (its child).
#pragma once

#include <QObject>

#include "process/MainScreen.h"

class CMainFrame;
class CMainInterfaceDialog;

class CMainInterfaceScreen : public QObject, public CMainScreen {
  Q_OBJECT

 public:
  explicit CMainInterfaceScreen(CMainInterfaceDialog* pDialog);

  CMainInterfaceDialog* Dialog() const { return m_pDialog; }

  QWidget* Widget() override;
  bool IsConstructMode() const override;
  void SetConstructFlag(bool construct) override;
  bool IsMultiple() const override;
  void SetSingleFileMode() override;
  void SetMultipleFilesMode() override;
  QString InputField() const override;
  QString OriginalField() const override;
  QString OutputField() const override;
  void SetInputField(const QString& text) override;
  void SetOriginalField(const QString& text) override;
  void SetOutputField(const QString& text) override;
  void SetRecordedOutputField(const QString& text) override;
  bool IsOutputFieldRecorded() const override;
  void AcceptRecordedOutputField() override;
  bool IsRecordedOutputFieldAccepted() const override;
  int SelectionCount() const override;
  CTarvoTaskEntry* SelectionEntry(int row) override;
  void RemoveAllSelections() override;
  bool IsDirViewFocused() const override;
  int DirItemCount() const override;
  QStringList HighlightedPaths() const override;
  QStringList HighlightedTexts() const override;
  bool HasFocusedHighlighted() const override;
  void ClearHighlight() override;
  bool HighlightItemByText(const QString& text) override;
  int MarkedCount() const override;
  bool HasOriginal() const override;
  void MarkHighlighted() override;
  void ChooseOriginal() override;
  void ReverseMarks() override;
  void ClearMarks() override;
  void ClearOriginal() override;
  void AddMarkedFiles() override;
  int SortKey() const override;
  void SetSortKey(int key) override;
  bool MarkedInFront() const override;
  void ToggleMarkedInFront() override;
  bool SortAscending() const override;
  void ReverseSortOrder() override;
  void Refresh() override;
  bool IsTreeFocused() const override;
  bool IsTreeSelectionExpanded() const override;
  void ToggleTreeSelection() override;
  void PeriodicUpdate() override;
  void ReleaseForExit() override;
  void RestoreFocus() override;
  unsigned HelpContext() const override;

 private:
  CMainInterfaceDialog* m_pDialog;
};

// The Main Interface for the frame (CMainFrame::ScreenFactory): the dialog
// with its context menus routed through the frame. A browser part that
// cannot start has said so, and the frame is then closed.
CMainScreen* CreateMainInterface(CMainFrame* pFrame, QWidget* pParent, const QString& startFolder = QString());
