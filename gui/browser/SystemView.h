// The folder tree of the Main Interface, rooted at "/". Listing a folder's
// subfolders keeps the items that still exist (and whether they were open),
// drops the ones that went away and adds the new ones.
#pragma once

#include <QTreeWidget>
#include <memory>
#include <unordered_map>

#include "browser/SystemViewFolder.h"

class CSystemView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CSystemView(QWidget* pParent = nullptr);
  ~CSystemView() override;

  // Puts the root item in; false when the root cannot be read.
  bool Initialize();
  // Opens the tree down to `path` (as far as it exists) and selects it.
  void OpenPath(const QString& path);

  // Lists the item's subfolders again. With ppError the failure is stored
  // there instead of being thrown.
  void Expand(QTreeWidgetItem* pItem, std::unique_ptr<CInterfaceException>* ppError = nullptr);
  void Collapse(QTreeWidgetItem* pItem);
  // Relists every open subfolder of the item, recursively.
  void ReopenOpenSubfolders(QTreeWidgetItem* pItem);
  void Refresh();
  // The record of the selected item, or null.
  CSystemViewFolder* GetCurrentFolder() const;
  static CSystemViewFolder* RecordOf(const QTreeWidgetItem* pItem);
  void Release();

 signals:
  // An item (and so its record) is about to be deleted.
  void itemAboutToBeDeleted(QTreeWidgetItem* pItem);

 protected:
  // A right click on an item selects it and asks for the tree's menu.
  void contextMenuEvent(QContextMenuEvent* event) override;

 signals:
  void contextMenuRequested(const QPoint& globalPos);

 private slots:
  void OnItemExpanded(QTreeWidgetItem* pItem);
  void OnItemCollapsed(QTreeWidgetItem* pItem);

 private:
  void ExpandOrThrow(QTreeWidgetItem* pItem);
  void SetRecord(QTreeWidgetItem* pItem, std::unique_ptr<CSystemViewFolder> record);
  void DeleteItem(QTreeWidgetItem* pItem);
  void ExpandVisually(QTreeWidgetItem* pItem);

  std::unordered_map<const QTreeWidgetItem*, std::unique_ptr<CSystemViewFolder>> m_Records;
  bool m_bProgrammatic = false;  // expansions of ours, not the user's
};
