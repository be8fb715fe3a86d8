#include "mainview/SelectionList.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>

#include "browser/QorvexResources.h"
#include "errors/ReportInterfaceError.h"
#include "mainview/MainViewTexts.h"
#include "TarvoFileLib.h"

namespace mvtext = qorvex::mainview::text;

namespace {

constexpr int kMaxText = 259;
constexpr int kIconRole = Qt::UserRole + 1;

QString Shown(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)).left(kMaxText); }

// A row owns its job.
class CSelectionRow : public QTreeWidgetItem {
 public:
  explicit CSelectionRow(std::unique_ptr<CTarvoTaskEntry> entry) : m_pEntry(std::move(entry)) {
    setFlags(flags() | Qt::ItemIsEditable);
  }
  CTarvoTaskEntry* Entry() const { return m_pEntry.get(); }

 private:
  std::unique_ptr<CTarvoTaskEntry> m_pEntry;
};

// Only the output name is edited, and the list decides itself what to do
// with the typed text once the edit has ended.
class COutputLabelDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return index.column() == 0 ? QStyledItemDelegate::createEditor(parent, option, index) : nullptr;
  }
  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
};

}  // namespace

CSelectionList::CSelectionList(QWidget* pParent) : QTreeWidget(pParent) {
  QorvexInitResources();
  setObjectName(QStringLiteral("selectionList"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  // Paths keep their file names in sight when cut: jobs of one folder
  // differ only at the end. The whole path is in the tooltip.
  setTextElideMode(Qt::ElideLeft);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setItemDelegate(new COutputLabelDelegate(this));
  header()->setSectionsClickable(false);
  header()->setStretchLastSection(false);
  // Three paths, none more telling than the others: they share the width.
  header()->setSectionResizeMode(QHeaderView::Stretch);
}

CSelectionList::~CSelectionList() = default;

bool CSelectionList::Initialize() {
  setColumnCount(3);
  setHeaderLabels({mvtext::Tr(mvtext::kOutput), mvtext::Tr(mvtext::kFile), mvtext::Tr(mvtext::kOriginalFile)});
  // The narrowest a column may get before the list scrolls sideways.
  header()->setMinimumSectionSize(
      QFontMetrics(font()).horizontalAdvance(QStringLiteral("A_Drive:\\A_Long_Path\\A_Long_File_Name")) / 2);
  m_bConstructHeaders = false;
  SetHeaderMode(true);
  return true;
}

void CSelectionList::SetHeaderMode(bool bConstruct) {
  if (bConstruct == m_bConstructHeaders) return;
  QTreeWidgetItem* head = headerItem();
  if (head == nullptr) throw CSelectionListException(0);
  m_bConstructHeaders = bConstruct;
  head->setText(0, bConstruct ? mvtext::Tr(mvtext::kOutputDifference) : mvtext::Tr(mvtext::kOutputModified));
  head->setText(1, bConstruct ? mvtext::Tr(mvtext::kModifiedFile) : mvtext::Tr(mvtext::kDifferenceFile));
}

void CSelectionList::ShowRow(QTreeWidgetItem* pRow) {
  const CTarvoTaskEntry* entry = static_cast<CSelectionRow*>(pRow)->Entry();
  const int icon = !entry->ValidateExistingFiles() ? kIconFilesMissing
                   : entry->OutputExists()         ? kIconOutputExists
                                                   : kIconReady;
  pRow->setText(0, Shown(entry->GetOutputFile()));
  pRow->setToolTip(0, Shown(entry->GetOutputFile()));
  pRow->setIcon(0, QIcon(QString::fromLatin1(icon == kIconFilesMissing  ? ":/Qorvex/icons/job-files-missing.png"
                                             : icon == kIconOutputExists ? ":/Qorvex/icons/job-output-exists.png"
                                                                         : ":/Qorvex/icons/job-ready.png")));
  pRow->setData(0, kIconRole, icon);
}

void CSelectionList::AddRow(std::unique_ptr<CTarvoTaskEntry> pEntry) {
  if (!pEntry) throw CSelectionListException(0);
  const bool wasEmpty = topLevelItemCount() == 0;
  auto* row = new CSelectionRow(std::move(pEntry));
  ShowRow(row);
  addTopLevelItem(row);
  if (wasEmpty) setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
  for (const auto& [column, name] : {std::pair{1, row->Entry()->GetExistingFile()}, std::pair{2, row->Entry()->GetReferenceFile()}}) {
    row->setText(column, Shown(name));
    row->setToolTip(column, Shown(name));
  }
}

void CSelectionList::RemoveRow(int index) {
  QTreeWidgetItem* row = takeTopLevelItem(index);
  if (row == nullptr) throw CSelectionListException(0);
  delete row;
}

void CSelectionList::RemoveAll() {
  while (topLevelItemCount() > 0) RemoveRow(0);
}

void CSelectionList::RemoveHighlighted() {
  for (int i = topLevelItemCount() - 1; i >= 0; --i) {
    if (topLevelItem(i)->isSelected()) RemoveRow(i);
  }
}

CTarvoTaskEntry* CSelectionList::GetEntry(int index) const {
  auto* row = static_cast<CSelectionRow*>(topLevelItem(index));
  return row != nullptr ? row->Entry() : nullptr;
}

int CSelectionList::GetIconId(int index) const {
  const QTreeWidgetItem* row = topLevelItem(index);
  return row != nullptr ? row->data(0, kIconRole).toInt() : 0;
}

void CSelectionList::SetOutput(int index, const QString& name) {
  QTreeWidgetItem* row = topLevelItem(index);
  if (row == nullptr) throw CSelectionListException(0);
  static_cast<CSelectionRow*>(row)->Entry()->SetOutputFile(QFile::encodeName(name).constData(), false);
  ShowRow(row);
}

bool CSelectionList::EndLabelEdit(int index, const QString& text) {
  if (topLevelItem(index) == nullptr) return false;
  if (text.isEmpty()) {
    qorvex::MessageBox(this, mvtext::Tr(mvtext::kTypeAFileName), QMessageBox::Critical);
    return false;
  }
  const QByteArray native = QFile::encodeName(text);
  const std::string folder = TFLGetFileDir(TFLGetFullFileName(native.constData()).c_str());
  if (!QFileInfo(QFile::decodeName(QByteArray::fromStdString(folder))).isDir()) {
    const auto answer = qorvex::MessageBox(this, mvtext::Tr(mvtext::kInvalidFolder), QMessageBox::Warning,
                                           QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
  }
  SetOutput(index, text);
  return true;
}

void CSelectionList::commitData(QWidget* editor) {
  auto* field = qobject_cast<QLineEdit*>(editor);
  QTreeWidgetItem* row = currentItem();
  if (field == nullptr || row == nullptr) return;
  // The questions wait until the editor has gone, so that they do not take
  // its focus while it is still closing.
  const QString text = field->text();
  QPointer<CSelectionList> self(this);
  QTimer::singleShot(0, this, [self, row, text] {
    if (!self) return;
    const int index = self->indexOfTopLevelItem(row);
    if (index >= 0) self->EndLabelEdit(index, text);
  });
}

bool CSelectionList::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  return QTreeWidget::edit(index.isValid() ? index.siblingAtColumn(0) : index, trigger, event);
}

void CSelectionList::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete &&
      (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == 0) {
    try {
      RemoveHighlighted();
    } catch (const CSelectionListException& e) {
      ReportInterfaceError(e, this);
    }
    return;
  }
  QTreeWidget::keyPressEvent(event);
}
