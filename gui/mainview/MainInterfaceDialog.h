// The Main Interface screen: the folder tree and the file list above, and
// below either the three fields of one job (Single File mode) or the
// selection list of queued jobs (Multiple Files mode). The main window hosts
// it, drives its modes and commands, and calls PeriodicUpdate on its timer.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "browser/DirView.h"
#include "browser/SystemView.h"
#include "mainview/DropField.h"
#include "mainview/MainInterfaceLayout.h"
#include "mainview/SelectionList.h"
#include "mainview/SplitterBar.h"

class QLabel;
class QMenu;

class CMainInterfaceDialog : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 130;
  static constexpr int kIdTreeSplitter = 1028;  // moves horizontally
  static constexpr int kIdListSplitter = 1026;  // moves vertically

  explicit CMainInterfaceDialog(QWidget* pParent = nullptr);
  ~CMainInterfaceDialog() override;

  // Builds the tree, the file list and the selection list, and opens the
  // tree at the user's home folder. On failure the message is shown and
  // false returned: the program then closes.
  bool Initialize(const QString& startFolder = QString());
  // The menus a right click on the file list or on a folder opens; they
  // belong to the main window, which runs and enables their commands.
  void SetContextMenus(QMenu* pDirViewMenu, QMenu* pTreeMenu);

  // Commands of the main window, as the menu gives them. Index -1: the
  // highlighted files (mark), the focused highlighted file (original).
  void MarkHighlighted(int index);
  void ChooseOriginal(int index);
  void AddFilesForProcessing();
  // Sets the Output field; only in Single File mode. The name is the user's.
  void SetOutputField(const QString& text);
  // The same with a name taken from a difference file, which stays a
  // recorded one until the user edits the field.
  void SetRecordedOutputField(const QString& text);
  bool IsOutputFieldRecorded() const { return m_bOutputRecorded; }
  // The user said Yes to replacing what has the recorded name.
  void AcceptRecordedOutputField() { m_bOutputAccepted = m_bOutputRecorded; }
  bool IsRecordedOutputFieldAccepted() const { return m_bOutputRecorded && m_bOutputAccepted; }
  void SetSingleFileMode();
  void SetMultipleFilesMode();
  // The Construct and Reconstruct commands: the mode, an empty selection
  // list and empty fields.
  void SetConstructMode(bool bConstruct);
  // The main window's timer tick while this screen is shown.
  void PeriodicUpdate();
  // At exit: empties the selection list and releases the browser.
  void ReleaseForExit();
  // Empties the selection list, showing a failure; false if there was one.
  bool RemoveAllRows();

  // Reverse Selection: every markable file of the list but the original.
  void ReverseMarks();
  // Open/Collapse of the tree's menu: the selected folder.
  void ToggleTreeSelection();

  // Whether the part holds the keyboard focus of this screen. The menu bar,
  // an open menu or another window do not count: they have the focus only
  // while the user picks a command that acts on the part left behind.
  bool HasFocusIn(const QWidget* pPart) const;

  bool IsMultiple() const { return m_bMultiple; }
  bool IsExiting() const { return m_bExiting; }
  CSystemView* GetSystemView() const { return m_pSystemView; }
  CDirView* GetDirView() const { return m_pDirView; }
  CSelectionList* GetSelectionList() const { return m_pSelectionList; }
  CDropField* GetInputField() const { return m_pInputField; }
  CDropField* GetOriginalField() const { return m_pOriginalField; }
  CDropField* GetOutputField() const { return m_pOutputField; }
  int GetTreeWidth() const { return m_LayoutInput.treeWidth; }
  int GetListHeight() const { return m_LayoutInput.listHeight; }

  // A splitter bar's drop, its ghost's top-left corner in global coordinates.
  void OnSplitterDrop(int nId, const QPoint& topLeft);

  // Lays the parts out again after a change of mode or of a bar.
  void Layout();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void ComputeMetrics();
  void SetModeLabels(bool bConstruct);
  void FillFromMarks();
  void LoadTreeFolder();
  void OnDirViewKey(QKeyEvent* event, bool* pbHandled);
  void OnDirViewDoubleClick(int index);
  void OnDirViewMenu(const QPoint& pos);
  void OnTreeMenu(const QPoint& globalPos);
  void OnDrop(CDropField* pField, int index);
  void ShowDeltaFormatError(const QString& path);

  CSystemView* m_pSystemView;
  CDirView* m_pDirView;
  CSelectionList* m_pSelectionList;
  QLabel* m_pInputLabel;
  QLabel* m_pOriginalLabel;
  QLabel* m_pOutputLabel;
  QLabel* m_pSeparatorLabel;  // "--" or "+"
  QLabel* m_pEqualsLabel;
  CDropField* m_pInputField;
  CDropField* m_pOriginalField;
  CDropField* m_pOutputField;
  CSplitterBar* m_pTreeSplitter = nullptr;
  CSplitterBar* m_pListSplitter = nullptr;
  QMenu* m_pDirViewMenu = nullptr;
  QMenu* m_pTreeMenu = nullptr;

  bool m_bMultiple = false;
  bool m_bOutputRecorded = false;  // the Output field holds a name from a difference file
  bool m_bOutputAccepted = false;  // and the user said Yes to replacing what has it
  bool m_bNotReady = true;
  bool m_bExiting = false;
  int m_nLastShownMode = -1;  // 1 Construct, 0 Reconstruct, -1 none yet
  QTreeWidgetItem* m_pLoadedItem = nullptr;    // the tree item whose folder is shown
  QTreeWidgetItem* m_pPreviousItem = nullptr;  // the one shown before it
  QPointer<QWidget> m_pLastFocus;

  CMainInterfaceLayout* m_pLayout;
  SMainLayoutInput m_LayoutInput;
};
