#include "browser/DirView.h"

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

#include "browser/BrowserTexts.h"
#include "browser/QorvexResources.h"
#include "errors/ReportInterfaceError.h"
#include "TarvoFileLib.h"

namespace btext = qorvex::browser::text;

namespace {

constexpr unsigned kFileListing = CShellFolder::kEnumNonFolders | CShellFolder::kEnumIncludeHidden;

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

CDirView::CDirView(QWidget* pParent) : QTreeView(pParent) {
  QorvexInitResources();
  m_pModel = new CDirViewModel([this](const CDirViewFile& file) { return MarkText(file.GetFullPath()); }, this);
  setModel(m_pModel);
  setObjectName(QStringLiteral("dirView"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSortingEnabled(false);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setContextMenuPolicy(Qt::CustomContextMenu);
  setDragDropMode(QAbstractItemView::DragOnly);
  header()->setSectionsClickable(true);
  // The last column takes what is left, so the header has no bare end.
  header()->setStretchLastSection(true);
  connect(header(), &QHeaderView::sectionClicked, this, [this](int column) { Sort(column, true); });
  m_pWatcher = new QFileSystemWatcher(this);
  m_RefollowTimer.setSingleShot(true);
  m_RefollowTimer.setInterval(100);
  connect(m_pWatcher, &QFileSystemWatcher::directoryChanged, &m_RefollowTimer, qOverload<>(&QTimer::start));
  connect(&m_RefollowTimer, &QTimer::timeout, this, &CDirView::Refollow);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CDirView::highlightChanged);
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) emit rowDoubleClicked(index.row());
  });
}

CDirView::~CDirView() = default;

bool CDirView::Initialize() {
  m_strOriginal.clear();
  m_Marks.clear();
  m_MarkSet.clear();

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
  if (!m_strOriginal.isEmpty() && fullPath == m_strOriginal) return btext::Tr(btext::kOriginalMark);
  if (m_MarkSet.contains(fullPath)) return m_bConstruct ? btext::Tr(btext::kModifiedMark) : btext::Tr(btext::kDifferenceMark);
  return IsMarkable(fullPath) ? btext::Tr(btext::kMarkable) : QString();
}

void CDirView::SetMarkText(int index) {
  if (RecordOf(index) == nullptr) throw CDirViewException(CDirViewException::kListControl, 0, 0);
  m_pModel->MarkChanged(index);
}

void CDirView::UpdateMarkTexts() { m_pModel->MarksChanged(); }

QString CDirView::ItemText(int index, int column) const {
  return m_pModel->data(m_pModel->index(index, column)).toString();
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
  m_pModel->Clear();
  m_pCurrentFolder.reset();
  if (const QStringList watched = m_pWatcher->directories(); !watched.isEmpty()) m_pWatcher->removePaths(watched);
  m_RefollowTimer.stop();
  m_pCurrentFolder = CShellFolder::FromPath(path);
  CShellFolder& folder = *m_pCurrentFolder;
  folder.EnumObjects(kFileListing);
  std::vector<CDirViewModel::Row> rows;
  QString name;
  while (folder.Next(&name)) {
    if ((folder.GetChildAttributes(name) & CShellFolder::kAttrFolder) != 0) continue;
    auto record = std::make_unique<CDirViewFile>(folder.GetPath(), name, folder.GetChildDisplayName(name),
                                                 folder.GetChildPath(name));
    FileType type = TypeOf(record->GetFullPath(), record->Exists());
    record->SetTypeName(type.name);
    rows.push_back({std::move(record), std::move(type.icon)});
  }
  m_pModel->SetRows(std::move(rows));
  m_pWatcher->addPath(folder.GetPath());
  Sort(m_nSortKey, false);
  if (GetItemCount() > 0) {
    SetFocusedRow(0);
    SetHighlighted(0, true);
  }
}

void CDirView::Reload() {
  if (m_pCurrentFolder == nullptr) return;
  const QString path = m_pCurrentFolder->GetPath();
  RunWithRetry(this, [this, &path] { LoadFolder(path); });
}

void CDirView::Refollow() {
  if (m_pCurrentFolder == nullptr) return;
  const QString path = m_pCurrentFolder->GetPath();
  QStringList highlighted;
  for (int row : GetHighlighted()) highlighted << GetFullPath(row);
  const QString focused = GetFullPath(GetFocusedRow());
  std::unique_ptr<CInterfaceException> error;
  LoadFolder(path, &error);
  if (error) return;
  const int focusedRow = IndexOf(focused);
  if (focusedRow < 0 && highlighted.isEmpty()) return;
  clearSelection();
  if (focusedRow >= 0) SetFocusedRow(focusedRow);
  for (const QString& file : highlighted) {
    if (IndexOf(file) >= 0) SetHighlighted(IndexOf(file), true);
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
  if (GetItemCount() > 0) SortRows();
}

void CDirView::SortRows() {
  m_pModel->SortRows([this](const CDirViewFile& a, const CDirViewFile& b) { return CompareFileItems(a, b); });
  if (const QModelIndex focused = currentIndex(); focused.isValid()) scrollTo(focused);
}

int CDirView::CompareFileItems(const CDirViewFile& a, const CDirViewFile& b) const {
  const CDirViewFile* fa = &a;
  const CDirViewFile* fb = &b;
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
  const QString ta = column == kColType ? a.GetTypeName() : a.GetDisplayName();
  const QString tb = column == kColType ? b.GetTypeName() : b.GetDisplayName();
  return SignOf(ta.compare(tb, Qt::CaseInsensitive)) * m_nSortDirection;
}

void CDirView::ToggleMark(int index) {
  const QString path = GetFullPath(index);
  if (RecordOf(index) == nullptr) throw CDirViewException(CDirViewException::kListControl, 0, 0);
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
  if (RecordOf(index) == nullptr) throw CDirViewException(CDirViewException::kListControl, 0, 0);
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

void CDirView::Release() {
  m_pModel->Clear();
  m_pCurrentFolder.reset();
}

std::vector<int> CDirView::GetHighlighted() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int CDirView::GetFocusedRow() const {
  const QModelIndex focused = currentIndex();
  return focused.isValid() ? focused.row() : -1;
}

int CDirView::GetFocusedHighlighted() const {
  const int focused = GetFocusedRow();
  return focused >= 0 && selectionModel()->isRowSelected(focused, QModelIndex()) ? focused : -1;
}

void CDirView::SetFocusedRow(int index) {
  selectionModel()->setCurrentIndex(m_pModel->index(index, 0), QItemSelectionModel::NoUpdate);
}

void CDirView::SetHighlighted(int index, bool bHighlighted) {
  selectionModel()->select(m_pModel->index(index, 0), (bHighlighted ? QItemSelectionModel::Select
                                                                    : QItemSelectionModel::Deselect) |
                                                          QItemSelectionModel::Rows);
}

void CDirView::SetSingleSelection(bool bSingle) {
  setSelectionMode(bSingle ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
  if (bSingle && GetHighlighted().size() > 1) {
    const int focused = GetFocusedRow();
    clearSelection();
    if (focused >= 0) SetHighlighted(focused, true);
  }
}

void CDirView::SetDragAllowed(bool bAllowed) { m_bDragAllowed = bAllowed; }

void CDirView::keyPressEvent(QKeyEvent* event) {
  bool handled = false;
  emit keyDown(event, &handled);
  if (!handled) QTreeView::keyPressEvent(event);
}

void CDirView::startDrag(Qt::DropActions /*supportedActions*/) {
  if (!m_bDragAllowed) return;
  const int index = GetFocusedRow();
  if (index < 0) return;
  const CDirViewModel::Row* row = m_pModel->RowAt(index);
  auto* payload = new QMimeData();
  payload->setData(QLatin1String(kDragMimeType), QByteArray::number(index));
  // The picture that follows the cursor: the row's icon and name.
  const QFontMetrics metrics(font());
  const QString name = row->file->GetDisplayName();
  QPixmap image(metrics.horizontalAdvance(name) + 24, std::max(metrics.height(), 16) + 4);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.drawPixmap(2, (image.height() - 16) / 2, row->icon.pixmap(16, 16));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QRect(22, 0, image.width() - 22, image.height()), Qt::AlignVCenter, name);
  }
  auto* drag = new QDrag(this);
  drag->setMimeData(payload);
  drag->setPixmap(image);
  drag->setHotSpot(QPoint(8, image.height() / 2));
  drag->exec(Qt::CopyAction);
}
