#include "DirView.h"

#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <new>

#include "QorvexResources.h"
#include "ReportInterfaceError.h"
#include "TarvoFileLib.h"

namespace {

constexpr unsigned kFileListing = CShellFolder::kEnumNonFolders | CShellFolder::kEnumIncludeHidden;

// A row owns its record. Rows order themselves by the view's rule, so that
// the model sorts them in one pass instead of the view taking them out and
// putting them back one by one.
class CDirViewItem : public QTreeWidgetItem {
 public:
  explicit CDirViewItem(std::unique_ptr<CDirViewFile> record) : m_pRecord(std::move(record)) {}
  const CDirViewFile* Record() const { return m_pRecord.get(); }
  bool operator<(const QTreeWidgetItem& other) const override {
    const auto* list = static_cast<const CDirView*>(treeWidget());
    return list != nullptr && list->CompareFileItems(this, &other) < 0;
  }

 private:
  std::unique_ptr<CDirViewFile> m_pRecord;
};

const CDirViewFile* RecordOfItem(const QTreeWidgetItem* item) {
  const auto* row = dynamic_cast<const CDirViewItem*>(item);
  return row != nullptr ? row->Record() : nullptr;
}

bool IsDeltaFileName(const QString& path) {
  static const char* const kExtensions[] = {".mvr", nullptr};
  return TFLCheckFileStdExtension(QFile::encodeName(path).constData(), kExtensions) == 0;
}

// The type name and picture of a file, from the shared MIME database.
struct FileType {
  QString name;
  QIcon icon;
};

FileType TypeOf(const QString& fullPath, bool exists) {
  static QMimeDatabase database;
  static QHash<QString, QIcon> icons;
  // Only regular files are opened to be recognised: a pipe would block.
  const QFileInfo info(fullPath);
  const QMimeType mime = database.mimeTypeForFile(
      info, exists && info.isFile() ? QMimeDatabase::MatchDefault : QMimeDatabase::MatchExtension);
  auto found = icons.find(mime.name());
  if (found == icons.end()) {
    const QIcon fallback = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    found = icons.insert(mime.name(),
                         QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName(), fallback)));
  }
  return {mime.comment(), *found};
}

int SignOf(qint64 value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

CDirView::CDirView(QWidget* pParent) : QTreeWidget(pParent) {
  QorvexInitResources();
  setObjectName(QStringLiteral("dirView"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSortingEnabled(false);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setDragDropMode(QAbstractItemView::DragOnly);
  header()->setSectionsClickable(true);
  header()->setStretchLastSection(false);
  connect(header(), &QHeaderView::sectionClicked, this, [this](int column) { Sort(column, true); });
  m_pWatcher = new QFileSystemWatcher(this);
  m_RefollowTimer.setSingleShot(true);
  m_RefollowTimer.setInterval(100);
  connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, &m_RefollowTimer, qOverload<>(&QTimer::start));
  connect(&m_RefollowTimer, &QTimer::timeout, this, &CDirView::Refollow);
}

CDirView::~CDirView() = default;

bool CDirView::Initialize() {
  m_strOriginal.clear();
  m_Marks.clear();
  m_MarkSet.clear();
  setColumnCount(5);
  auto* head = new QTreeWidgetItem();
  head->setText(kColName, QStringLiteral("Name"));
  head->setIcon(kColMark, QIcon(QStringLiteral(":/Qorvex/bitmaps/144.png")));
  head->setToolTip(kColMark, QStringLiteral("Marked files"));
  head->setText(kColSize, QStringLiteral("Size"));
  head->setText(kColType, QStringLiteral("Type"));
  head->setText(kColDate, QStringLiteral("Modified"));
  head->setTextAlignment(kColMark, Qt::AlignCenter);
  head->setTextAlignment(kColSize, Qt::AlignRight | Qt::AlignVCenter);
  setHeaderItem(head);

  const QFontMetrics metrics(font());
  const int pad = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
  setColumnWidth(kColName, metrics.horizontalAdvance(QStringLiteral("A_Very_Long_File_Name.EXT")) + pad + 20);
  setColumnWidth(kColMark, 36);
  setColumnWidth(kColSize, metrics.horizontalAdvance(QStringLiteral("1234567890")) + pad);
  setColumnWidth(kColType, metrics.horizontalAdvance(QStringLiteral("A_Some_File_Type File")) + pad);
  setColumnWidth(kColDate, metrics.horizontalAdvance(QStringLiteral("28/28/8888 02:59 PM")) + pad);
  header()->setSortIndicatorShown(true);
  header()->setSortIndicator(m_nSortKey, Qt::AscendingOrder);
  return true;
}

bool CDirView::IsMarkable(const QString& fullPath) const { return IsDeltaFileName(fullPath) != m_bConstruct; }

QString CDirView::MarkText(const QString& fullPath) const {
  if (!m_strOriginal.isEmpty() && fullPath == m_strOriginal) return QStringLiteral("ORG");
  if (m_MarkSet.contains(fullPath)) return m_bConstruct ? QStringLiteral("Mod") : QStringLiteral("Dif");
  return IsMarkable(fullPath) ? QStringLiteral("+") : QString();
}

void CDirView::SetMarkText(int index) {
  QTreeWidgetItem* row = topLevelItem(index);
  if (row == nullptr) throw CDirViewException(CDirViewException::kListControl, 0, 0);
  row->setText(kColMark, MarkText(RecordOfItem(row)->GetFullPath()));
}

void CDirView::UpdateMarkTexts() {
  for (int i = 0; i < topLevelItemCount(); ++i) SetMarkText(i);
}

void CDirView::LoadFolder(const QString& path, std::unique_ptr<CInterfaceException>* ppError) {
  try {
    try {
      LoadOrThrow(path);
    } catch (const CDirViewException&) {
      throw;
    } catch (const CShellFolderException& e) {
      CDirViewException mapped(1, e.m_hResult, e.m_nKind);
      mapped.m_strObjectName = e.m_strObjectName;
      throw mapped;
    } catch (const CShellMallocException& e) {
      throw CDirViewException(CDirViewException::kNoAllocator, e.m_hResult, 0);
    } catch (const std::bad_alloc&) {
      throw CDirViewException(3, kHrOutOfMemory, 0);
    }
  } catch (const CDirViewException& e) {
    emit marksChanged();
    if (ppError == nullptr) throw;
    *ppError = std::make_unique<CDirViewException>(e);
    return;
  }
  emit marksChanged();
}

void CDirView::LoadOrThrow(const QString& path) {
  clear();
  m_pCurrentFolder.reset();
  if (const QStringList watched = m_pWatcher->directories(); !watched.isEmpty()) m_pWatcher->removePaths(watched);
  m_RefollowTimer.stop();
  m_pCurrentFolder = CShellFolder::FromPath(path);
  CShellFolder& folder = *m_pCurrentFolder;
  folder.EnumObjects(kFileListing);
  QList<QTreeWidgetItem*> rows;
  QString name;
  const QLocale locale;
  while (folder.Next(&name)) {
    if ((folder.GetChildAttributes(name) & CShellFolder::kAttrFolder) != 0) continue;
    auto record = std::make_unique<CDirViewFile>(folder.GetPath(), name, folder.GetChildDisplayName(name),
                                                 folder.GetChildPath(name));
    const FileType type = TypeOf(record->GetFullPath(), record->Exists());
    auto* row = new CDirViewItem(std::move(record));
    const CDirViewFile* file = row->Record();
    row->setText(kColName, file->GetDisplayName());
    row->setIcon(kColName, type.icon);
    row->setText(kColMark, MarkText(file->GetFullPath()));
    row->setTextAlignment(kColMark, Qt::AlignCenter);
    if (file->Exists()) {
      row->setText(kColSize, QString::number(file->GetSize()));
      row->setText(kColDate, locale.toString(file->GetLastWriteTime(), QLocale::ShortFormat));
    }
    row->setTextAlignment(kColSize, Qt::AlignRight | Qt::AlignVCenter);
    row->setText(kColType, type.name);
    rows.append(row);
  }
  addTopLevelItems(rows);
  m_pWatcher->addPath(folder.GetPath());
  Sort(m_nSortKey, false);
  if (QTreeWidgetItem* first = topLevelItem(0)) {
    setCurrentItem(first);
    first->setSelected(true);
  }
}

void CDirView::Reload() {
  if (m_pCurrentFolder == nullptr) return;
  const QString path = m_pCurrentFolder->GetPath();
  for (;;) {
    std::unique_ptr<CInterfaceException> error;
    LoadFolder(path, &error);
    if (!error || ReportInterfaceError(*error, this)) return;
  }
}

void CDirView::Refollow() {
  if (m_pCurrentFolder == nullptr) return;
  const QString path = m_pCurrentFolder->GetPath();
  QStringList highlighted;
  for (int row : GetHighlighted()) highlighted << GetFullPath(row);
  const QString focused = currentItem() != nullptr ? GetFullPath(indexOfTopLevelItem(currentItem())) : QString();
  std::unique_ptr<CInterfaceException> error;
  LoadFolder(path, &error);
  if (error) return;
  const int focusedRow = IndexOf(focused);
  if (focusedRow < 0 && highlighted.isEmpty()) return;
  clearSelection();
  if (focusedRow >= 0) setCurrentItem(topLevelItem(focusedRow), 0, QItemSelectionModel::NoUpdate);
  for (const QString& file : highlighted) {
    if (QTreeWidgetItem* row = topLevelItem(IndexOf(file))) row->setSelected(true);
  }
}

void CDirView::Sort(int key, bool bToggle) {
  if (bToggle && key != kColMark && key == m_nSortKey) m_nSortDirection = -m_nSortDirection;
  if (key == kColMark) {
    m_bMarkedInFront = !m_bMarkedInFront;
  } else {
    m_nSortKey = key;
  }
  header()->setSortIndicator(m_nSortKey, m_nSortDirection > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
  if (topLevelItemCount() > 0) SortRows();
}

void CDirView::SortRows() {
  // Always "ascending": the direction is part of CompareFileItems, because
  // the marked-in-front order does not turn round with it.
  sortItems(m_nSortKey, Qt::AscendingOrder);
  header()->setSortIndicator(m_nSortKey, m_nSortDirection > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
  if (QTreeWidgetItem* focused = currentItem()) scrollToItem(focused);
}

int CDirView::CompareFileItems(const QTreeWidgetItem* a, const QTreeWidgetItem* b) const {
  const CDirViewFile* fa = RecordOfItem(a);
  const CDirViewFile* fb = RecordOfItem(b);
  if (fa == nullptr || fb == nullptr) return -1;
  if (m_bMarkedInFront) {
    const QString& pa = fa->GetFullPath();
    const QString& pb = fb->GetFullPath();
    if (!m_strOriginal.isEmpty() && pa == m_strOriginal) return -1;
    if (!m_strOriginal.isEmpty() && pb == m_strOriginal) return 1;
    const bool ma = m_MarkSet.contains(pa);
    const bool mb = m_MarkSet.contains(pb);
    if (ma != mb) return ma ? -1 : 1;
    const bool ka = fa->IsDeltaFile() != m_bConstruct;
    const bool kb = fb->IsDeltaFile() != m_bConstruct;
    if (ka != kb) return ka ? -1 : 1;
  }
  // The record's own numbers, not the shown texts: a file that cannot be
  // looked at has size 0 and time 0.
  if (m_nSortKey == kColSize) {
    const qint64 sa = fa->GetSize();
    const qint64 sb = fb->GetSize();
    if (sa != sb) return SignOf(sa - sb) * m_nSortDirection;
  } else if (m_nSortKey == kColDate) {
    const qint64 ta = fa->GetLastWriteSeconds();
    const qint64 tb = fb->GetLastWriteSeconds();
    if (ta != tb) return SignOf(ta - tb) * m_nSortDirection;
  }
  const int column = m_nSortKey == kColType ? kColType : kColName;
  return SignOf(a->text(column).compare(b->text(column), Qt::CaseInsensitive)) * m_nSortDirection;
}

void CDirView::ToggleMark(int index) {
  const QString path = GetFullPath(index);
  if (topLevelItem(index) == nullptr) throw CDirViewException(CDirViewException::kListControl, 0, 0);
  // A file of the other kind would be queued as a job that cannot work
  // (a difference file of a difference file, a text file to rebuild from).
  if (!IsMarkable(path)) return;
  if (!m_strOriginal.isEmpty() && path == m_strOriginal) ClearOriginal(true);
  if (!m_MarkSet.contains(path)) {
    m_Marks.append(path);
    m_MarkSet.insert(path);
  } else {
    m_Marks.removeAll(path);
    m_MarkSet.remove(path);
  }
  SetMarkText(index);
  emit marksChanged();
}

void CDirView::SetOriginal(int index) {
  if (topLevelItem(index) == nullptr) throw CDirViewException(CDirViewException::kListControl, 0, 0);
  const QString path = GetFullPath(index);
  m_Marks.removeAll(path);
  m_MarkSet.remove(path);
  if (path != m_strOriginal) {
    ClearOriginal(true);
    m_strOriginal = path;
  } else {
    m_strOriginal.clear();
  }
  SetMarkText(index);
  emit marksChanged();
}

void CDirView::ClearMarks(bool bUpdateTexts) {
  const QStringList marks = m_Marks;
  m_Marks.clear();
  m_MarkSet.clear();
  if (!marks.isEmpty()) emit marksChanged();
  if (!bUpdateTexts) return;
  for (const QString& path : marks) {
    const int index = IndexOf(path);
    if (index >= 0) SetMarkText(index);
  }
}

void CDirView::ClearOriginal(bool bUpdateTexts) {
  const QString original = m_strOriginal;
  m_strOriginal.clear();
  if (original.isEmpty()) return;
  emit marksChanged();
  if (!bUpdateTexts) return;
  const int index = IndexOf(original);
  if (index >= 0) SetMarkText(index);
}

void CDirView::SetConstruct(bool bConstruct) {
  m_bConstruct = bConstruct;
  ClearOriginal(false);
  ClearMarks(false);
  Reload();
}

QString CDirView::GetFullPath(int index) const {
  const CDirViewFile* file = RecordOf(index);
  return file != nullptr ? file->GetFullPath() : QString();
}

const CDirViewFile* CDirView::RecordOf(int index) const { return RecordOfItem(topLevelItem(index)); }

int CDirView::IndexOf(const QString& fullPath) const {
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (GetFullPath(i) == fullPath) return i;
  }
  return -1;
}

void CDirView::Release() {
  clear();
  m_pCurrentFolder.reset();
}

std::vector<int> CDirView::GetHighlighted() const {
  std::vector<int> rows;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (topLevelItem(i)->isSelected()) rows.push_back(i);
  }
  return rows;
}

int CDirView::GetFocusedHighlighted() const {
  QTreeWidgetItem* focused = currentItem();
  return focused != nullptr && focused->isSelected() ? indexOfTopLevelItem(focused) : -1;
}

void CDirView::SetSingleSelection(bool bSingle) {
  setSelectionMode(bSingle ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
  if (bSingle && selectedItems().size() > 1) {
    QTreeWidgetItem* focused = currentItem();
    clearSelection();
    if (focused != nullptr) focused->setSelected(true);
  }
}

void CDirView::SetDragAllowed(bool bAllowed) { m_bDragAllowed = bAllowed; }

void CDirView::keyPressEvent(QKeyEvent* event) {
  bool handled = false;
  emit keyDown(event, &handled);
  if (!handled) QTreeWidget::keyPressEvent(event);
}

void CDirView::startDrag(Qt::DropActions /*supportedActions*/) {
  if (!m_bDragAllowed) return;
  QTreeWidgetItem* row = currentItem();
  if (row == nullptr) return;
  const int index = indexOfTopLevelItem(row);
  auto* payload = new QMimeData();
  payload->setData(QLatin1String(kDragMimeType), QByteArray::number(index));
  // The picture that follows the cursor: the row's icon and name.
  const QFontMetrics metrics(font());
  const QString name = row->text(kColName);
  QPixmap image(metrics.horizontalAdvance(name) + 24, std::max(metrics.height(), 16) + 4);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.drawPixmap(2, (image.height() - 16) / 2, row->icon(kColName).pixmap(16, 16));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(22, 0, image.width() - 22, image.height()), Qt::AlignVCenter, name);
  }
  auto* drag = new QDrag(this);
  drag->setMimeData(payload);
  drag->setPixmap(image);
  drag->setHotSpot(QPoint(8, image.height() / 2));
  drag->exec(Qt::CopyAction);
}
