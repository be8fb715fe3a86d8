// The queue of jobs of the Multiple Files mode: one row per job, owning its
// task entry. The output name (first column) can be edited in place.
#pragma once

#include <QTreeWidget>
#include <memory>

#include "errors/InterfaceException.h"
#include "TarvoTaskEntry.h"

class CSelectionList : public QTreeWidget {
  Q_OBJECT

 public:
  // Pictures of a row, by resource number.
  static constexpr int kIconReady = 151;
  static constexpr int kIconOutputExists = 147;
  static constexpr int kIconFilesMissing = 149;

  explicit CSelectionList(QWidget* pParent = nullptr);
  ~CSelectionList() override;

  bool Initialize();
  // Construct or Reconstruct column headers.
  void SetHeaderMode(bool bConstruct);
  bool GetHeaderMode() const { return m_bConstructHeaders; }
  // The row takes the entry. Refused list operations throw CSelectionListException.
  void AddRow(std::unique_ptr<CTarvoTaskEntry> pEntry);
  void RemoveRow(int index);
  void RemoveAll();
  void RemoveHighlighted();
  void SetOutput(int index, const QString& name);
  int GetRowCount() const { return topLevelItemCount(); }
  CTarvoTaskEntry* GetEntry(int index) const;
  // Which of the three pictures the row shows.
  int GetIconId(int index) const;
  // The end of an edit of a row's output name: the checks and questions of
  // a typed name. True when the row took the name.
  bool EndLabelEdit(int index, const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void commitData(QWidget* editor) override;
  using QTreeWidget::edit;
  // Whatever column was clicked, the output name is what gets edited.
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

 private:
  void ShowRow(QTreeWidgetItem* pRow);

  bool m_bConstructHeaders = false;
};
