#include "browser/DirViewModel.h"

#include <QLocale>
#include <algorithm>
#include <numeric>

#include "browser/BrowserTexts.h"
#include "browser/DirView.h"

namespace btext = qorvex::browser::text;

CDirViewModel::CDirViewModel(MarkText markText, QObject* pParent)
    : QAbstractTableModel(pParent), m_MarkText(std::move(markText)) {}

CDirViewModel::~CDirViewModel() = default;

int CDirViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int CDirViewModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 5; }

QVariant CDirViewModel::data(const QModelIndex& index, int role) const {
  const Row* row = index.isValid() ? RowAt(index.row()) : nullptr;
  if (row == nullptr) return {};
  const CDirViewFile& file = *row->file;
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      switch (column) {
        case CDirView::kColName: return file.GetDisplayName();
        case CDirView::kColMark: return m_MarkText(file);
        case CDirView::kColSize: return file.Exists() ? QString::number(file.GetSize()) : QString();
        case CDirView::kColType: return file.GetTypeName();
        case CDirView::kColDate:
          return file.Exists() ? QLocale().toString(file.GetLastWriteTime(), QLocale::ShortFormat) : QString();
        default: return {};
      }
    case Qt::DecorationRole:
      return column == CDirView::kColName ? QVariant(row->icon) : QVariant();
    case Qt::ToolTipRole:
      return column == CDirView::kColName ? QVariant(file.GetFullPath()) : QVariant();
    case Qt::TextAlignmentRole:
      if (column == CDirView::kColMark) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
      if (column == CDirView::kColSize) return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
      return {};
    case kSortRole:
      switch (column) {
        case CDirView::kColName: return file.GetDisplayName();
        case CDirView::kColSize: return static_cast<qulonglong>(file.GetSize());
        case CDirView::kColType: return file.GetTypeName();
        case CDirView::kColDate: return file.GetLastWriteSeconds();
        default: return {};
      }
    default:
      return {};
  }
}

QVariant CDirViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) {
    switch (section) {
      case CDirView::kColName: return btext::Tr(btext::kName);
      case CDirView::kColSize: return btext::Tr(btext::kSize);
      case CDirView::kColType: return btext::Tr(btext::kType);
      case CDirView::kColDate: return btext::Tr(btext::kModified);
      default: return {};
    }
  }
  if (role == Qt::DecorationRole && section == CDirView::kColMark) {
    return QIcon(QStringLiteral(":/Qorvex/bitmaps/marked-files.png"));
  }
  if (role == Qt::ToolTipRole && section == CDirView::kColMark) return btext::Tr(btext::kMarkedFiles);
  if (role == Qt::TextAlignmentRole) {
    if (section == CDirView::kColMark) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (section == CDirView::kColSize) return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  }
  return {};
}

Qt::ItemFlags CDirViewModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

void CDirViewModel::SetRows(std::vector<Row> rows) {
  beginResetModel();
  m_Rows = std::move(rows);
  endResetModel();
}

void CDirViewModel::Clear() { SetRows({}); }

const CDirViewModel::Row* CDirViewModel::RowAt(int row) const {
  return row >= 0 && row < static_cast<int>(m_Rows.size()) ? &m_Rows[static_cast<std::size_t>(row)] : nullptr;
}

const CDirViewFile* CDirViewModel::File(int row) const {
  const Row* r = RowAt(row);
  return r != nullptr ? r->file.get() : nullptr;
}

int CDirViewModel::RowOf(const QString& fullPath) const {
  for (std::size_t i = 0; i < m_Rows.size(); ++i) {
    if (m_Rows[i].file->GetFullPath() == fullPath) return static_cast<int>(i);
  }
  return -1;
}

void CDirViewModel::MarkChanged(int row) {
  const QModelIndex cell = index(row, CDirView::kColMark);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void CDirViewModel::MarksChanged() {
  if (m_Rows.empty()) return;
  emit dataChanged(index(0, CDirView::kColMark), index(rowCount() - 1, CDirView::kColMark), {Qt::DisplayRole});
}

void CDirViewModel::SortRows(const Compare& compare) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> order(m_Rows.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this, &compare](int a, int b) {
    return compare(*m_Rows[static_cast<std::size_t>(a)].file, *m_Rows[static_cast<std::size_t>(b)].file) < 0;
  });
  std::vector<Row> sorted;
  sorted.reserve(m_Rows.size());
  std::vector<int> newRow(m_Rows.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    newRow[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    sorted.push_back(std::move(m_Rows[static_cast<std::size_t>(order[i])]));
  }
  m_Rows = std::move(sorted);
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& old : before) after << index(newRow[static_cast<std::size_t>(old.row())], old.column());
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
