// The list of the files (never the folders) of the folder chosen in the tree,
// and the user's choices among them: the marked files, in marking order, and
// the original file. Marks and the original are full paths, so they outlive
// a change of folder. The rows themselves live in CDirViewModel.
#pragma once

#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QTreeView>
#include <memory>
#include <vector>

#include "browser/DirViewFile.h"
#include "browser/DirViewModel.h"
#include "browser/ShellFolder.h"

class QFileSystemWatcher;

class CDirView : public QTreeView {
  Q_OBJECT

 public:
  // Sort keys are the columns.
  static constexpr int kColName = 0;
  static constexpr int kColMark = 1;
  static constexpr int kColSize = 2;
  static constexpr int kColType = 3;
  static constexpr int kColDate = 4;

  // The type of a row dragged out of the list, with its row number.
  static constexpr char kDragMimeType[] = "application/x-mendivar-dirview-row";

  explicit CDirView(QWidget* pParent = nullptr);
  ~CDirView() override;

  bool Initialize();
  // Lists the folder's files; the folder becomes the current one. With
  // ppError a failure is stored there instead of being thrown.
  void LoadFolder(const QString& path, std::unique_ptr<CInterfaceException>* ppError = nullptr);
  // The current folder again, offering Retry on failure.
  void Reload();
  // The current folder again after it changed on disk: the highlighted rows
  // and the focused row stay where the user left them (the marks and the
  // original always do). A failure is left to the tree's next visit.
  void Refollow();
  // Key 1 switches marked-in-front; another key becomes the sort key, and
  // with bToggle the current key's direction is reversed.
  void Sort(int key, bool bToggle);
  void ToggleMark(int index);
  // A second choice of the same file removes the choice.
  void SetOriginal(int index);
  void ClearMarks(bool bUpdateTexts);
  void ClearOriginal(bool bUpdateTexts);
  // Refreshes every row's mark column from the marks and the original.
  void UpdateMarkTexts();
  QString GetFullPath(int index) const;
  void Release();
  // Negative when a goes first.
  int CompareFileItems(const CDirViewFile& a, const CDirViewFile& b) const;

  bool IsConstruct() const { return m_bConstruct; }
  // Clears the original and the marks and lists the folder again.
  void SetConstruct(bool bConstruct);
  int GetSortKey() const { return m_nSortKey; }
  int GetSortDirection() const { return m_nSortDirection; }
  bool IsMarkedInFront() const { return m_bMarkedInFront; }
  const QString& GetOriginal() const { return m_strOriginal; }
  const QStringList& GetMarks() const { return m_Marks; }
  // Whether the file may be marked in the current mode (by its ".mvr").
  bool IsMarkable(const QString& fullPath) const;
  // The folder shown, or null.
  const CShellFolder* GetCurrentFolder() const { return m_pCurrentFolder.get(); }

  int GetItemCount() const { return m_pModel->rowCount(); }
  const CDirViewFile* RecordOf(int index) const { return m_pModel->File(index); }
  int IndexOf(const QString& fullPath) const { return m_pModel->RowOf(fullPath); }
  // What a row shows in a column.
  QString ItemText(int index, int column) const;
  // Highlighted rows in list order; the focused one if it is highlighted, else -1.
  std::vector<int> GetHighlighted() const;
  int GetFocusedHighlighted() const;
  // The focused row (-1 when none), and giving a row the focus without
  // changing the highlight; highlighting one row more or less.
  int GetFocusedRow() const;
  void SetFocusedRow(int index);
  void SetHighlighted(int index, bool bHighlighted);
  void SetSingleSelection(bool bSingle);
  void SetDragAllowed(bool bAllowed);

 signals:
  void keyDown(QKeyEvent* event, bool* pbHandled);
  // The marks, the original or the rows changed: what the commands may do
  // has changed with them.
  void marksChanged();
  // The highlighted rows changed.
  void highlightChanged();
  void rowDoubleClicked(int index);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  void LoadOrThrow(const QString& path);
  QString MarkText(const QString& fullPath) const;
  void SetMarkText(int index);
  void SortRows();

  CDirViewModel* m_pModel;
  int m_nSortKey = kColName;
  bool m_bMarkedInFront = false;
  int m_nSortDirection = 1;
  QString m_strOriginal;
  QStringList m_Marks;      // in marking order
  QSet<QString> m_MarkSet;  // the same, to be looked up while sorting
  std::unique_ptr<CShellFolder> m_pCurrentFolder;
  bool m_bConstruct = true;
  bool m_bDragAllowed = false;
  QFileSystemWatcher* m_pWatcher;
  // A burst of changes (an unpacked archive) is followed once.
  QTimer m_RefollowTimer;
};
