// A stand-in for the Main Interface screen until the real one is hosted: the
// three fields and a plain selection list, with no browser. Single File jobs
// can be typed in; Multiple Files jobs are queued by AddSelection.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "MainScreen.h"
#include "TarvoTaskEntry.h"

class QLabel;
class QLineEdit;
class QTreeWidget;

class CMainScreenPlaceholder : public QWidget, public CMainScreen {
  Q_OBJECT

 public:
  explicit CMainScreenPlaceholder(QWidget* parent = nullptr);
  ~CMainScreenPlaceholder() override;

  void AddSelection(const CTarvoTaskEntry& entry);

  QWidget* Widget() override { return this; }
  bool IsConstructMode() const override { return m_bConstruct; }
  void SetConstructFlag(bool construct) override;
  bool IsMultiple() const override { return m_bMultiple; }
  void SetSingleFileMode() override;
  void SetMultipleFilesMode() override;
  QString InputField() const override;
  QString OriginalField() const override;
  QString OutputField() const override;
  void SetInputField(const QString& text) override;
  void SetOriginalField(const QString& text) override;
  void SetOutputField(const QString& text) override;
  int SelectionCount() const override { return static_cast<int>(m_Entries.size()); }
  CTarvoTaskEntry* SelectionEntry(int row) override;
  void RemoveAllSelections() override;
  bool IsDirViewFocused() const override { return false; }
  int DirItemCount() const override { return 0; }
  QStringList HighlightedPaths() const override { return {}; }
  QStringList HighlightedTexts() const override { return {}; }
  bool HasFocusedHighlighted() const override { return false; }
  bool HighlightItemByText(const QString&) override { return false; }
  int MarkedCount() const override { return 0; }
  bool HasOriginal() const override { return false; }
  void MarkHighlighted() override {}
  void ChooseOriginal() override {}
  void ReverseMarks() override {}
  void ClearMarks() override {}
  void ClearOriginal() override {}
  void AddMarkedFiles() override {}
  int SortKey() const override { return m_nSortKey; }
  void SetSortKey(int key) override { m_nSortKey = key; }
  bool MarkedInFront() const override { return m_bMarkedInFront; }
  void ToggleMarkedInFront() override { m_bMarkedInFront = !m_bMarkedInFront; }
  bool SortAscending() const override { return m_bAscending; }
  void ReverseSortOrder() override { m_bAscending = !m_bAscending; }
  void Refresh() override {}
  bool IsTreeFocused() const override { return false; }
  bool IsTreeSelectionExpanded() const override { return false; }
  void ToggleTreeSelection() override {}
  void PeriodicUpdate() override;
  void ReleaseForExit() override { RemoveAllSelections(); }
  void RestoreFocus() override;
  unsigned HelpContext() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Layout();
  void SetLabels();

  QLabel* m_pNotice = nullptr;
  QLabel* m_pInputLabel = nullptr;
  QLabel* m_pOriginalLabel = nullptr;
  QLabel* m_pOutputLabel = nullptr;
  QLabel* m_pJoin = nullptr;
  QLineEdit* m_pInput = nullptr;
  QLineEdit* m_pOriginal = nullptr;
  QLineEdit* m_pOutput = nullptr;
  QTreeWidget* m_pList = nullptr;
  std::vector<std::unique_ptr<CTarvoTaskEntry>> m_Entries;
  bool m_bConstruct = true;
  bool m_bMultiple = false;
  int m_nSortKey = 0;
  bool m_bMarkedInFront = false;
  bool m_bAscending = true;
};
