#include "process/ProcessView.h"

#include <QHeaderView>
#include <memory>

#include "errors/InterfaceException.h"
#include "process/ConstructionChoice.h"
#include "process/ProcessTexts.h"
#include "process/QorvexPictures.h"
#include "process/Tarvo2Engine.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"

namespace ptext = qorvex::process::text;

namespace {

constexpr int kEngineRole = Qt::UserRole;
constexpr int kNameColumn = 1;

struct Column {
  const char* header;
  const char* widthSample;
};
constexpr Column kColumns[] = {
    {ptext::kMode, "__Reconstructing__"},
    {ptext::kModifiedFile, "__Very__Long__Target__File__Path__"},
    {ptext::kFileProgress, "00000000 bytest of 00000000"},
    {ptext::kTotalProgress, "00000000 bytest of 00000000"},
};

CTarvo2Engine* EngineOf(const QTreeWidgetItem* item) {
  return static_cast<CTarvo2Engine*>(item->data(0, kEngineRole).value<void*>());
}

// A session's jobs are all built one way; the standard way keeps the plain word.
QString ConstructingText(const CTarvo2Engine& engine) {
  const CTarvoTaskEntry* first = engine.GetEntries().GetAt(0);
  switch (first != nullptr ? ConstructionChoiceOf(*first) : EConstructionChoice::standard) {
    case EConstructionChoice::fast: return ptext::Tr(ptext::kConstructingFast);
    case EConstructionChoice::thorough: return ptext::Tr(ptext::kConstructingThorough);
    case EConstructionChoice::standard: break;
  }
  return qorvex::LoadString(qorvex::ids::kModeConstructing);
}

}  // namespace

CProcessView::CProcessView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("CProcessView"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setWordWrap(false);
  setAllColumnsShowFocus(true);
  setIconSize(QSize(16, 16));
}

CProcessView::~CProcessView() {
  // An engine still running is told to stop; its destructor waits for it.
  while (topLevelItemCount() > 0) {
    std::unique_ptr<QTreeWidgetItem> item(takeTopLevelItem(0));
    if (CTarvo2Engine* engine = EngineOf(item.get())) {
      engine->CancelProcessing();
      delete engine;
    }
  }
}

bool CProcessView::Initialize() {
  InitQorvexPictures();
  m_ConstructIcon = QIcon(QStringLiteral(":/Qorvex/icons/construct.png"));
  m_ReconstructIcon = QIcon(QStringLiteral(":/Qorvex/icons/reconstruct.png"));
  if (m_ConstructIcon.isNull() || m_ReconstructIcon.isNull()) return false;
  QStringList headers;
  for (const Column& c : kColumns) headers << ptext::Tr(c.header);
  setColumnCount(static_cast<int>(std::size(kColumns)));
  setHeaderLabels(headers);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The mode and the byte counts are short and must be read whole; the
  // file's path takes what is left and, cut, keeps its file name in sight.
  header()->setStretchLastSection(false);
  for (int i = 0; i < columnCount(); ++i) {
    header()->setSectionResizeMode(i, i == kNameColumn ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
  }
  header()->setMinimumSectionSize(fontMetrics().horizontalAdvance(QString::fromLatin1(kColumns[0].widthSample)));
  setTextElideMode(Qt::ElideLeft);
  m_bEnded = 0;
  return true;
}

QString CProcessView::ProgressText(uint32_t done, uint32_t size) {
  if (size == 0) return {};
  return ptext::Tr(ptext::kBytesOf).arg(done).arg(size);
}

QTreeWidgetItem* CProcessView::FindRow(const CTarvo2Engine* pEngine) const {
  for (int i = 0; i < topLevelItemCount(); ++i) {
    if (EngineOf(topLevelItem(i)) == pEngine) return topLevelItem(i);
  }
  return nullptr;
}

QTreeWidgetItem* CProcessView::RowOrThrow(const CTarvo2Engine* pEngine) const {
  QTreeWidgetItem* item = FindRow(pEngine);
  if (item == nullptr) throw CProcessViewException(0);
  return item;
}

CTarvo2Engine* CProcessView::SessionAt(int row) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  return item != nullptr ? EngineOf(item) : nullptr;
}

void CProcessView::InsertSessionRow(CTarvo2Engine* pEngine, int nMode) {
  if (pEngine == nullptr) throw CProcessViewException(0);
  auto* item = new QTreeWidgetItem;
  item->setData(0, kEngineRole, QVariant::fromValue<void*>(pEngine));
  addTopLevelItem(item);
  selectionModel()->setCurrentIndex(indexFromItem(item), QItemSelectionModel::NoUpdate);
  if (nMode == CTarvoEngine::modeConstruct) {
    item->setText(0, ConstructingText(*pEngine));
    item->setIcon(0, m_ConstructIcon);
  } else if (nMode == CTarvoEngine::modeReconstruct) {
    item->setText(0, qorvex::LoadString(qorvex::ids::kModeReconstructing));
    item->setIcon(0, m_ReconstructIcon);
  }
}

int CProcessView::StartSession(CTarvo2Engine* pEngine, int nMode) {
  InsertSessionRow(pEngine, nMode);
  bool started = false;
  if (nMode == CTarvoEngine::modeConstruct) {
    started = pEngine->Construct();
  } else if (nMode == CTarvoEngine::modeReconstruct) {
    started = pEngine->Reconstruct();
  }
  // A session that never ran would never end by itself, and exit waits for
  // the list to be empty: its row and engine go now.
  if (!started) {
    delete FindRow(pEngine);
    delete pEngine;
  }
  return started ? 1 : 0;
}

void CProcessView::EndSession(CTarvo2Engine* pEngine) {
  QTreeWidgetItem* item = RowOrThrow(pEngine);
  pEngine->CancelProcessing();
  delete pEngine;
  delete item;
}

void CProcessView::SetFileName(CTarvo2Engine* pEngine, const QString& name) {
  QTreeWidgetItem* row = RowOrThrow(pEngine);
  row->setText(kNameColumn, name);
  row->setToolTip(kNameColumn, name);
}

void CProcessView::SetFileProgress(CTarvo2Engine* pEngine, uint32_t done, uint32_t size) {
  RowOrThrow(pEngine)->setText(2, ProgressText(done, size));
}

void CProcessView::SetTotalProgress(CTarvo2Engine* pEngine, uint32_t done, uint32_t total) {
  RowOrThrow(pEngine)->setText(3, ProgressText(done, total));
  emit statusTimerPosted();
}

CTarvo2Engine* CProcessView::GetCurrentSession() const {
  if (topLevelItemCount() == 0) return nullptr;
  const QTreeWidgetItem* focused = currentItem();
  return EngineOf(focused != nullptr ? focused : topLevelItem(topLevelItemCount() - 1));
}

void CProcessView::CancelHighlighted() { CancelRows(HighlightedRows()); }

QList<QPersistentModelIndex> CProcessView::CurrentRows() const {
  if (topLevelItemCount() == 0) return {};
  const QTreeWidgetItem* focused = currentItem();
  return {QPersistentModelIndex(indexFromItem(focused != nullptr ? focused : topLevelItem(topLevelItemCount() - 1)))};
}

QList<QPersistentModelIndex> CProcessView::HighlightedRows() const {
  const QList<QTreeWidgetItem*> highlighted = selectedItems();
  if (highlighted.isEmpty()) return CurrentRows();
  QList<QPersistentModelIndex> rows;
  for (const QTreeWidgetItem* item : highlighted) rows << QPersistentModelIndex(indexFromItem(item));
  return rows;
}

int CProcessView::CancelRows(const QList<QPersistentModelIndex>& rows) {
  int cancelled = 0;
  for (const QPersistentModelIndex& row : rows) {
    const QTreeWidgetItem* item = row.isValid() ? itemFromIndex(row) : nullptr;
    CTarvo2Engine* engine = item != nullptr ? EngineOf(item) : nullptr;
    if (engine == nullptr) continue;
    engine->CancelProcessing();
    ++cancelled;
  }
  return cancelled;
}

QString CProcessView::SessionsEndedText() {
  return ptext::Tr(ptext::kSessionsEnded);
}

void CProcessView::CancelAll() {
  for (int i = 0; i < topLevelItemCount(); ++i) EngineOf(topLevelItem(i))->CancelProcessing();
}
