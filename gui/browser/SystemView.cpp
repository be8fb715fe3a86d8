#include "browser/SystemView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <new>
#include <vector>

#include "browser/BrowserTexts.h"
#include "browser/QorvexResources.h"
#include "errors/ReportInterfaceError.h"
#include "errors/WaitCursor.h"

namespace btext = qorvex::browser::text;

namespace {

constexpr unsigned kFolderListing = CShellFolder::kEnumFolders | CShellFolder::kEnumIncludeHidden;

// Children order: the same item first by identifier, then by name ignoring case.
int CompareChildren(const CShellFolder& parent, const CShellFolder& a, const CShellFolder& b) {
  const int byId = parent.CompareIDs(a.GetItemName(), b.GetItemName());
  if (byId == 0 || (parent.GetAttributes() & CShellFolder::kAttrFileSystem) == 0) return byId;
  const int byName = a.GetDisplayName().compare(b.GetDisplayName(), Qt::CaseInsensitive);
  return byName != 0 ? byName : byId;
}

}  // namespace

CSystemView::CSystemView(QWidget* pParent) : QTreeWidget(pParent) {
  QorvexInitResources();
  setObjectName(QStringLiteral("systemView"));
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformRowHeights(true);
  // Long names widen the column and the tree scrolls sideways, as a folder tree does.
  header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);
  connect(this, &QTreeWidget::itemExpanded, this, &CSystemView::OnItemExpanded);
  connect(this, &QTreeWidget::itemCollapsed, this, &CSystemView::OnItemCollapsed);
}

CSystemView::~CSystemView() { Release(); }

CSystemViewFolder* CSystemView::RecordOf(const QTreeWidgetItem* pItem) {
  if (pItem == nullptr) return nullptr;
  return reinterpret_cast<CSystemViewFolder*>(pItem->data(0, Qt::UserRole).value<quintptr>());
}

void CSystemView::SetRecord(QTreeWidgetItem* pItem, std::unique_ptr<CSystemViewFolder> record) {
  pItem->setText(0, record->GetDisplayName());
  pItem->setIcon(0, record->GetIcon(false));
  pItem->setToolTip(0, record->GetPath());
  pItem->setChildIndicatorPolicy((record->GetAttributes() & CShellFolder::kAttrHasSubfolder) != 0
                                     ? QTreeWidgetItem::ShowIndicator
                                     : QTreeWidgetItem::DontShowIndicatorWhenChildless);
  pItem->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(record.get())));
  m_Records[pItem] = std::move(record);
}

bool CSystemView::Initialize() {
  Release();
  try {
    auto root = std::make_unique<CSystemViewFolder>(this);
    auto* item = new QTreeWidgetItem();
    SetRecord(item, std::move(root));
    addTopLevelItem(item);
  } catch (const CInterfaceException&) {
    return false;
  }
  return true;
}

void CSystemView::ExpandVisually(QTreeWidgetItem* pItem) {
  const bool programmatic = m_bProgrammatic;
  m_bProgrammatic = true;
  pItem->setExpanded(true);
  m_bProgrammatic = programmatic;
}

void CSystemView::OpenPath(const QString& path) {
  QTreeWidgetItem* item = topLevelItem(0);
  if (item == nullptr) return;
  const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    std::unique_ptr<CInterfaceException> error;
    Expand(item, &error);
    if (error) break;
    QTreeWidgetItem* next = nullptr;
    for (int i = 0; i < item->childCount() && next == nullptr; ++i) {
      if (RecordOf(item->child(i))->GetItemName() == part) next = item->child(i);
    }
    if (next == nullptr) break;
    ExpandVisually(item);
    item = next;
  }
  setCurrentItem(item);
  scrollToItem(item);
}

void CSystemView::Expand(QTreeWidgetItem* pItem, std::unique_ptr<CInterfaceException>* ppError) {
  if (ppError == nullptr) {
    ExpandOrThrow(pItem);
    return;
  }
  try {
    ExpandOrThrow(pItem);
  } catch (const CSystemViewException& e) {
    *ppError = std::make_unique<CSystemViewException>(e);
  } catch (const CShellFolderException& e) {
    *ppError = std::make_unique<CShellFolderException>(e);
  } catch (const CInterfaceException& e) {
    *ppError = std::make_unique<CInterfaceException>(e);
  }
}

void CSystemView::ExpandOrThrow(QTreeWidgetItem* pItem) {
  CSystemViewFolder* parent = RecordOf(pItem);
  if (parent == nullptr) throw CSystemViewException(CSystemViewException::kTreeControl, 0, 0);
  for (int i = 0; i < pItem->childCount(); ++i) RecordOf(pItem->child(i))->m_nFlags &= ~CSystemViewFolder::kSeen;

  parent->EnumObjects(kFolderListing);
  QString name;
  bool anyFolder = false;
  while (parent->Next(&name)) {
    std::unique_ptr<CSystemViewFolder> record;
    try {
      record = std::make_unique<CSystemViewFolder>(this, parent, name);
    } catch (const CShellFolderException&) {
      // Gone between the listing and now, or a link to nowhere: not a folder to show.
      continue;
    }
    anyFolder = true;
    record->m_nFlags |= CSystemViewFolder::kSeen;

    QTreeWidgetItem* existing = nullptr;
    int insertAt = pItem->childCount();
    for (int i = 0; i < pItem->childCount(); ++i) {
      const CSystemViewFolder* child = RecordOf(pItem->child(i));
      if (parent->CompareIDs(child->GetItemName(), name) == 0) {
        existing = pItem->child(i);
        break;
      }
      if (insertAt == pItem->childCount() && CompareChildren(*parent, *record, *child) < 0) insertAt = i;
    }
    if (existing != nullptr) {
      record->m_nFlags |= RecordOf(existing)->m_nFlags & CSystemViewFolder::kOpen;
      SetRecord(existing, std::move(record));
    } else {
      auto* item = new QTreeWidgetItem();
      SetRecord(item, std::move(record));
      pItem->insertChild(insertAt, item);
    }
  }

  for (int i = pItem->childCount() - 1; i >= 0; --i) {
    if ((RecordOf(pItem->child(i))->m_nFlags & CSystemViewFolder::kSeen) == 0) DeleteItem(pItem->child(i));
  }
  if (!anyFolder) pItem->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
  RecordOf(pItem)->m_nFlags |= CSystemViewFolder::kOpen;
}

void CSystemView::DeleteItem(QTreeWidgetItem* pItem) {
  for (int i = pItem->childCount() - 1; i >= 0; --i) DeleteItem(pItem->child(i));
  emit itemAboutToBeDeleted(pItem);
  auto record = std::move(m_Records[pItem]);
  m_Records.erase(pItem);
  delete pItem;
}

void CSystemView::Collapse(QTreeWidgetItem* pItem) {
  if (CSystemViewFolder* record = RecordOf(pItem)) record->m_nFlags &= ~CSystemViewFolder::kOpen;
}

void CSystemView::ReopenOpenSubfolders(QTreeWidgetItem* pItem) {
  for (int i = 0; i < pItem->childCount(); ++i) {
    QTreeWidgetItem* child = pItem->child(i);
    if ((RecordOf(child)->m_nFlags & CSystemViewFolder::kOpen) == 0) continue;
    for (;;) {
      std::unique_ptr<CInterfaceException> error;
      Expand(child, &error);
      if (!error || ReportInterfaceError(*error, this)) break;
    }
    if (child->childCount() > 0) {
      ExpandVisually(child);
      ReopenOpenSubfolders(child);
    }
  }
}

void CSystemView::Refresh() {
  QTreeWidgetItem* root = topLevelItem(0);
  CSystemViewFolder* record = RecordOf(root);
  if (record == nullptr) return;
  root->setText(0, record->GetDisplayName());
  root->setIcon(0, record->GetIcon(root->isExpanded()));
  ReopenOpenSubfolders(root);
}

CSystemViewFolder* CSystemView::GetCurrentFolder() const { return RecordOf(currentItem()); }

void CSystemView::Release() {
  const bool programmatic = m_bProgrammatic;
  m_bProgrammatic = true;
  if (QTreeWidgetItem* root = topLevelItem(0)) setCurrentItem(root);
  while (topLevelItemCount() > 0) DeleteItem(topLevelItem(0));
  m_Records.clear();
  m_bProgrammatic = programmatic;
}

void CSystemView::OnItemExpanded(QTreeWidgetItem* pItem) {
  if (m_bProgrammatic) return;
  m_bProgrammatic = true;
  {
    CWaitCursor wait;
    for (;;) {
      std::unique_ptr<CInterfaceException> error;
      Expand(pItem, &error);
      if (!error) break;
      if (ReportInterfaceError(*error, this)) {
        pItem->setExpanded(false);
        m_bProgrammatic = false;
        return;
      }
    }
  }
  if (!RunWithRetry(this, [this, pItem] { ReopenOpenSubfolders(pItem); })) {
    qorvex::MessageBox(this, btext::Tr(btext::kCannotExpand), QMessageBox::NoIcon);
  }
  m_bProgrammatic = false;
}

void CSystemView::OnItemCollapsed(QTreeWidgetItem* pItem) {
  if (!m_bProgrammatic) Collapse(pItem);
}

void CSystemView::contextMenuEvent(QContextMenuEvent* event) {
  QTreeWidgetItem* item = itemAt(viewport()->mapFromGlobal(event->globalPos()));
  if (item == nullptr) return;
  setCurrentItem(item);
  emit contextMenuRequested(event->globalPos());
}
