#include "mainview/MainInterfaceDialog.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <algorithm>
#include <new>

#include "errors/ReportInterfaceError.h"
#include "errors/WaitCursor.h"
#include "mainview/MainInterfaceLayout.h"
#include "mainview/MainViewTexts.h"
#include "SplashScreen.h"

namespace mvtext = qorvex::mainview::text;

namespace {

constexpr unsigned kHelpInvalidDelta = 61227;

// The size of the template's tree and selection list, in dialog units.
constexpr int kTemplateTreeWidth = 140;
constexpr int kTemplateListHeight = 80;

QString Native(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

void ShowStop(QWidget* parent, const QString& text, unsigned helpId = 0) {
  qorvex::MessageBox(parent, text, QMessageBox::Critical, QMessageBox::Ok, helpId);
}

}  // namespace

CMainInterfaceDialog::CMainInterfaceDialog(QWidget* pParent) : QWidget(pParent) {
  setObjectName(QStringLiteral("mainInterface"));
  m_pSystemView = new CSystemView(this);
  m_pDirView = new CDirView(this);
  m_pSelectionList = new CSelectionList(this);
  m_pInputLabel = new QLabel(mvtext::Tr(mvtext::kInputFile), this);
  m_pOriginalLabel = new QLabel(mvtext::Tr(mvtext::kOriginalFile), this);
  m_pOutputLabel = new QLabel(mvtext::Tr(mvtext::kOutputFile), this);
  m_pSeparatorLabel = new QLabel(QStringLiteral("--"), this);
  m_pEqualsLabel = new QLabel(QStringLiteral("="), this);
  m_pSeparatorLabel->setAlignment(Qt::AlignCenter);
  m_pEqualsLabel->setAlignment(Qt::AlignCenter);
  m_pInputField = new CDropField(this);
  m_pOriginalField = new CDropField(this);
  m_pOutputField = new CDropField(this);
  m_pInputField->setObjectName(QStringLiteral("inputField"));
  m_pOriginalField->setObjectName(QStringLiteral("originalField"));
  m_pOutputField->setObjectName(QStringLiteral("outputField"));
  m_pLayout = new CMainInterfaceLayout(this);
  const std::pair<CMainInterfaceLayout::Part, QWidget*> parts[] = {
      {CMainInterfaceLayout::kTree, m_pSystemView},          {CMainInterfaceLayout::kDirView, m_pDirView},
      {CMainInterfaceLayout::kList, m_pSelectionList},       {CMainInterfaceLayout::kInputLabel, m_pInputLabel},
      {CMainInterfaceLayout::kOriginalLabel, m_pOriginalLabel}, {CMainInterfaceLayout::kOutputLabel, m_pOutputLabel},
      {CMainInterfaceLayout::kInputField, m_pInputField},    {CMainInterfaceLayout::kOriginalField, m_pOriginalField},
      {CMainInterfaceLayout::kOutputField, m_pOutputField},  {CMainInterfaceLayout::kSeparator, m_pSeparatorLabel},
      {CMainInterfaceLayout::kEquals, m_pEqualsLabel}};
  for (const auto& [part, widget] : parts) m_pLayout->SetPart(part, widget);
  // What a screen reader says for the three lists.
  m_pSystemView->setAccessibleName(mvtext::Tr(mvtext::kTreeName));
  m_pDirView->setAccessibleName(mvtext::Tr(mvtext::kDirViewName));
  m_pSelectionList->setAccessibleName(mvtext::Tr(mvtext::kSelectionListName));
  m_pInputLabel->setBuddy(m_pInputField);
  m_pOriginalLabel->setBuddy(m_pOriginalField);
  m_pOutputLabel->setBuddy(m_pOutputField);
  setTabOrder(m_pSystemView, m_pDirView);
  setTabOrder(m_pDirView, m_pInputField);
  setTabOrder(m_pInputField, m_pOriginalField);
  setTabOrder(m_pOriginalField, m_pOutputField);
  setTabOrder(m_pOutputField, m_pSelectionList);

  connect(m_pDirView, &CDirView::keyDown, this, &CMainInterfaceDialog::OnDirViewKey);
  connect(m_pDirView, &CDirView::rowDoubleClicked, this, &CMainInterfaceDialog::OnDirViewDoubleClick);
  connect(m_pDirView, &QWidget::customContextMenuRequested, this, &CMainInterfaceDialog::OnDirViewMenu);
  connect(m_pSystemView, &CSystemView::contextMenuRequested, this, &CMainInterfaceDialog::OnTreeMenu);
  connect(m_pSystemView, &CSystemView::itemAboutToBeDeleted, this, [this](QTreeWidgetItem* item) {
    if (item == m_pLoadedItem) m_pLoadedItem = nullptr;
    if (item == m_pPreviousItem) m_pPreviousItem = nullptr;
  });
  for (CDropField* field : {m_pInputField, m_pOriginalField, m_pOutputField}) {
    connect(field, &CDropField::rowDropped, this, [this, field](int index) { OnDrop(field, index); });
  }
  // Whatever the user types into the Output field is the user's name.
  connect(m_pOutputField, &QLineEdit::textEdited, this, [this] { m_bOutputRecorded = false; });
  // A recorded name is shown where it goes: beside the difference file it
  // came from. Once the Input names another file, the path shown would no
  // longer be where the core puts it, so it counts as the user's own (and
  // Start Processing asks before it replaces anything).
  connect(m_pInputField, &QLineEdit::textChanged, this, [this] { m_bOutputRecorded = false; });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && now != this && isAncestorOf(now)) m_pLastFocus = now;
  });
}

CMainInterfaceDialog::~CMainInterfaceDialog() {
  // The children go after this part of the object: their last signals must
  // not reach it.
  disconnect(m_pSystemView, nullptr, this, nullptr);
  disconnect(qApp, nullptr, this, nullptr);
}

void CMainInterfaceDialog::ComputeMetrics() {
  const QFontMetrics metrics(font());
  const int unitX = std::max(1, metrics.averageCharWidth());
  const int unitY = std::max(1, metrics.height());
  auto horizontal = [unitX](int units) { return units * unitX / 4; };
  auto vertical = [unitY](int units) { return units * unitY / 8; };
  SMainLayoutInput& in = m_LayoutInput;
  in.marginX = horizontal(6);
  in.marginY = vertical(6);
  in.splitter = horizontal(2);
  in.columnGap = horizontal(8);
  in.labelToField = vertical(10);
  in.treeWidth = horizontal(kTemplateTreeWidth);
  in.listHeight = vertical(kTemplateListHeight);
  in.edgeX = in.edgeY = 2 * std::max(2, style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
}

bool CMainInterfaceDialog::Initialize(const QString& startFolder) {
  ComputeMetrics();
  const auto limits = [this](int nId) {
    const SMainLayout& now = m_pLayout->Current();
    return nId == kIdTreeSplitter ? now.treeSplitterLimits : now.listSplitterLimits;
  };
  m_pTreeSplitter = new CSplitterBar(this, limits, CSplitterBar::kMovesHorizontally, kIdTreeSplitter);
  m_pListSplitter = new CSplitterBar(this, limits, CSplitterBar::kMovesVertically, kIdListSplitter);
  connect(m_pTreeSplitter, &CSplitterBar::dropped, this, &CMainInterfaceDialog::OnSplitterDrop);
  connect(m_pListSplitter, &CSplitterBar::dropped, this, &CMainInterfaceDialog::OnSplitterDrop);
  m_pTreeSplitter->raise();
  m_pListSplitter->raise();
  m_pLayout->SetPart(CMainInterfaceLayout::kTreeSplitter, m_pTreeSplitter);
  m_pLayout->SetPart(CMainInterfaceLayout::kListSplitter, m_pListSplitter);

  if (!m_pSystemView->Initialize()) {
    ShowStop(this, mvtext::Tr(mvtext::kNoTree));
    return false;
  }
  m_pSystemView->OpenPath(startFolder.isEmpty() ? QDir::homePath() : startFolder);
  if (!m_pDirView->Initialize()) {
    ShowStop(this, mvtext::Tr(mvtext::kNoDirView));
    return false;
  }
  if (!m_pSelectionList->Initialize()) {
    ShowStop(this, mvtext::Tr(mvtext::kNoSelectionList));
    return false;
  }
  m_pDirView->SetSingleSelection(!m_bMultiple);
  m_pDirView->SetDragAllowed(!m_bMultiple);
  m_bNotReady = false;
  Layout();
  m_pSystemView->setFocus();
  return true;
}

// ---- layout -------------------------------------------------------------

void CMainInterfaceDialog::Layout() {
  if (m_bNotReady) return;
  m_LayoutInput.multiple = m_bMultiple;
  m_LayoutInput.fieldHeight = m_pInputField->sizeHint().height();
  m_pLayout->SetInput(m_LayoutInput);
  m_pLayout->setGeometry(rect());
}

void CMainInterfaceDialog::OnSplitterDrop(int nId, const QPoint& topLeft) {
  const QPoint drop = mapFromGlobal(topLeft);
  const SMainLayout& now = m_pLayout->Current();
  if (nId == kIdTreeSplitter) {
    m_LayoutInput.treeWidth = TreeWidthAfterDrop(now, drop);
  } else if (nId == kIdListSplitter) {
    m_LayoutInput.listHeight = ListHeightAfterDrop(now, m_LayoutInput, drop);
  }
  Layout();
}

// ---- marks, the original, the fields -------------------------------------

void CMainInterfaceDialog::MarkHighlighted(int index) {
  try {
    if (index >= 0) {
      m_pDirView->ToggleMark(index);
    } else {
      for (int row : m_pDirView->GetHighlighted()) m_pDirView->ToggleMark(row);
    }
    if (m_bMultiple || m_pDirView->GetMarks().isEmpty()) return;
    FillFromMarks();
  } catch (const CInterfaceException& e) {
    ReportInterfaceErrorOnce(e, this);
  }
}

void CMainInterfaceDialog::FillFromMarks() {
  const QString path = m_pDirView->GetMarks().last();
  if (m_pDirView->IsConstruct()) {
    m_pInputField->setText(path);
    SetOutputField(path + QStringLiteral(".mvr"));
  } else {
    CTarvoTaskEntry entry;
    entry.SetExistingFile(QFile::encodeName(path).constData(), true);
    if (entry.CompleteTargetOutput()) {
      m_pInputField->setText(path);
      m_pOriginalField->setText(Native(entry.GetReferenceFile()));
      SetRecordedOutputField(Native(entry.GetOutputFile()));
    } else {
      ShowDeltaFormatError(path);
    }
  }
  m_pDirView->ClearMarks(true);
}

void CMainInterfaceDialog::ShowDeltaFormatError(const QString& path) {
  ShowStop(this, path + mvtext::Tr(mvtext::kInvalidDelta), kHelpInvalidDelta);
}

void CMainInterfaceDialog::ChooseOriginal(int index) {
  if (index < 0) index = m_pDirView->GetFocusedHighlighted();
  if (index < 0) return;
  try {
    m_pDirView->SetOriginal(index);
    if (!m_bMultiple) {
      m_pOriginalField->setText(m_pDirView->GetOriginal());
      m_pDirView->ClearOriginal(true);
    }
  } catch (const CInterfaceException& e) {
    ReportInterfaceErrorOnce(e, this);
  }
}

void CMainInterfaceDialog::AddFilesForProcessing() {
  const bool construct = m_pDirView->IsConstruct();
  const QString original = m_pDirView->GetOriginal();
  if (m_pDirView->GetMarks().isEmpty() || (construct && original.isEmpty())) return;
  CWaitCursor wait;
  const QByteArray reference = QFile::encodeName(original);
  try {
    for (const QString& path : m_pDirView->GetMarks()) {
      auto entry = std::make_unique<CTarvoTaskEntry>(reference.constData(), QFile::encodeName(path).constData(), nullptr);
      bool complete = true;
      if (construct) {
        entry->CompleteDeltaOutput();
      } else {
        complete = entry->CompleteTargetOutput();
        if (complete && !original.isEmpty()) entry->SetReferenceFile(reference.constData(), false);
      }
      if (complete) {
        m_pSelectionList->AddRow(std::move(entry));
      } else {
        ShowDeltaFormatError(Native(entry->GetExistingFile()));
      }
    }
  } catch (const CInterfaceException& e) {
    ReportInterfaceErrorOnce(e, this);
  } catch (const std::bad_alloc&) {
    ShowStop(this, mvtext::Tr(mvtext::kNoMemory));
  }
  try {
    m_pDirView->ClearOriginal(true);
    m_pDirView->ClearMarks(true);
  } catch (const CInterfaceException& e) {
    ReportInterfaceErrorOnce(e, this);
  }
}

void CMainInterfaceDialog::SetOutputField(const QString& text) {
  if (m_bMultiple) return;
  m_pOutputField->setText(text);
  m_bOutputRecorded = false;
}

void CMainInterfaceDialog::SetRecordedOutputField(const QString& text) {
  if (m_bMultiple) return;
  m_pOutputField->setText(text);
  m_bOutputRecorded = true;
  m_bOutputAccepted = false;
}

void CMainInterfaceDialog::SetSingleFileMode() {
  SetOutputField(QString());
  m_pInputField->clear();
  m_pOriginalField->clear();
  m_pDirView->ClearMarks(true);
  m_pDirView->ClearOriginal(true);
  m_bMultiple = false;
  m_pDirView->SetSingleSelection(true);
  m_pDirView->SetDragAllowed(true);
  Layout();
}

void CMainInterfaceDialog::SetMultipleFilesMode() {
  m_pDirView->ClearMarks(true);
  m_pDirView->ClearOriginal(true);
  m_bMultiple = true;
  m_pDirView->SetSingleSelection(false);
  m_pDirView->SetDragAllowed(false);
  Layout();
}

void CMainInterfaceDialog::SetConstructMode(bool bConstruct) {
  m_pDirView->SetConstruct(bConstruct);
  RemoveAllRows();
  m_pInputField->clear();
  m_pOriginalField->clear();
  SetOutputField(QString());
}

bool CMainInterfaceDialog::RemoveAllRows() {
  try {
    m_pSelectionList->RemoveAll();
    return true;
  } catch (const CInterfaceException& e) {
    ReportInterfaceErrorOnce(e, this);
    return false;
  }
}

void CMainInterfaceDialog::ReleaseForExit() {
  m_bExiting = true;
  RemoveAllRows();
  m_pLoadedItem = nullptr;
  m_pPreviousItem = nullptr;
  m_pSystemView->Release();
  m_pDirView->Release();
}

// ---- the timer tick ------------------------------------------------------

void CMainInterfaceDialog::SetModeLabels(bool bConstruct) {
  m_pSeparatorLabel->setText(bConstruct ? QStringLiteral("--") : QStringLiteral("+"));
  m_pInputLabel->setText(bConstruct ? mvtext::Tr(mvtext::kModifiedFile) : mvtext::Tr(mvtext::kDifferenceFileMvr));
  m_pOutputLabel->setText(bConstruct ? mvtext::Tr(mvtext::kDifferenceFileMvr) : mvtext::Tr(mvtext::kModifiedFile));
}

void CMainInterfaceDialog::PeriodicUpdate() {
  const bool construct = m_pDirView->IsConstruct();
  try {
    m_pSelectionList->SetHeaderMode(construct);
  } catch (const CSelectionListException& e) {
    ReportInterfaceErrorOnce(e, this);
  }
  if ((construct ? 1 : 0) != m_nLastShownMode) {
    m_nLastShownMode = construct ? 1 : 0;
    SetModeLabels(construct);
  }
  LoadTreeFolder();
  CSplashScreen::EndSplashScreen();
}

void CMainInterfaceDialog::LoadTreeFolder() {
  QTreeWidgetItem* current = m_pSystemView->currentItem();
  if (current == nullptr || current == m_pLoadedItem || m_bExiting) return;
  CWaitCursor wait;
  m_pPreviousItem = m_pLoadedItem;
  m_pLoadedItem = current;
  bool failed = false;
  for (;;) {
    const CSystemViewFolder* folder = CSystemView::RecordOf(m_pLoadedItem);
    if (folder == nullptr) return;
    std::unique_ptr<CInterfaceException> error;
    m_pDirView->LoadFolder(folder->GetPath(), &error);
    if (!error) {
      failed = false;
      QDir::setCurrent(folder->GetPath());
      break;
    }
    failed = true;
    const auto* dirError = dynamic_cast<const CDirViewException*>(error.get());
    bool giveUp;
    if (dirError != nullptr && dirError->m_hResult == kHrOutOfMemory && dirError->m_nSubKind == 3) {
      giveUp = qorvex::MessageBox(this, mvtext::Tr(mvtext::kOutOfMemory), QMessageBox::Critical,
                                  QMessageBox::Retry | QMessageBox::Cancel) != QMessageBox::Retry;
    } else {
      giveUp = ReportInterfaceError(*error, this);
    }
    if (giveUp) break;
    if (m_pLoadedItem == nullptr) return;
  }
  if (!failed || m_pPreviousItem == nullptr) return;
  m_pLoadedItem = m_pPreviousItem;
  const CSystemViewFolder* previous = CSystemView::RecordOf(m_pPreviousItem);
  std::unique_ptr<CInterfaceException> error;
  m_pDirView->LoadFolder(previous->GetPath(), &error);
  if (error) {
    ReportInterfaceErrorOnce(*error, this);
  } else {
    m_pSystemView->setCurrentItem(m_pPreviousItem);
  }
}

// ---- keys, clicks, menus, drops --------------------------------------------

void CMainInterfaceDialog::OnDirViewKey(QKeyEvent* event, bool* pbHandled) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool alt = (mods & Qt::AltModifier) != 0;
  const bool shift = (mods & Qt::ShiftModifier) != 0;
  const int key = event->key();
  *pbHandled = true;
  if ((ctrl && key == Qt::Key_O) || (key == Qt::Key_Space && shift && !ctrl && !alt)) {
    ChooseOriginal(-1);
  } else if ((ctrl && key == Qt::Key_M && m_pDirView->IsConstruct()) ||
             (ctrl && key == Qt::Key_D && !m_pDirView->IsConstruct()) || (key == Qt::Key_Space && !ctrl && !alt)) {
    MarkHighlighted(-1);
  } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    QApplication::beep();
  } else {
    *pbHandled = false;
  }
}

void CMainInterfaceDialog::OnDirViewDoubleClick(int index) {
  const Qt::KeyboardModifiers mods = QApplication::keyboardModifiers();
  if ((mods & (Qt::ControlModifier | Qt::AltModifier)) != 0) return;
  if (index < 0) return;
  if ((mods & Qt::ShiftModifier) != 0) {
    ChooseOriginal(index);
  } else {
    MarkHighlighted(index);
  }
}

void CMainInterfaceDialog::SetContextMenus(QMenu* pDirViewMenu, QMenu* pTreeMenu) {
  m_pDirViewMenu = pDirViewMenu;
  m_pTreeMenu = pTreeMenu;
}

void CMainInterfaceDialog::OnDirViewMenu(const QPoint& pos) {
  if (m_pDirViewMenu != nullptr) m_pDirViewMenu->exec(m_pDirView->viewport()->mapToGlobal(pos));
}

void CMainInterfaceDialog::OnTreeMenu(const QPoint& globalPos) {
  if (m_pTreeMenu != nullptr) m_pTreeMenu->exec(globalPos);
}

void CMainInterfaceDialog::OnDrop(CDropField* pField, int index) {
  if (m_bMultiple || m_pDirView->RecordOf(index) == nullptr) return;
  if (pField == m_pInputField) {
    MarkHighlighted(index);
  } else if (pField == m_pOriginalField) {
    ChooseOriginal(index);
  } else if (pField == m_pOutputField) {
    SetOutputField(m_pDirView->GetFullPath(index));
  }
}

bool CMainInterfaceDialog::HasFocusIn(const QWidget* pPart) const {
  if (pPart == nullptr) return false;
  const QWidget* focus = QApplication::focusWidget();
  if (focus != nullptr && isAncestorOf(focus)) return focus == pPart;
  // The menu bar in keyboard mode, an open menu or another window holds
  // the focus for a moment; the commands then act on the part that had it.
  // Behind the status screen nothing of this screen has the focus.
  return isVisible() && m_pLastFocus == pPart;
}

void CMainInterfaceDialog::ReverseMarks() {
  try {
    for (int i = 0; i < m_pDirView->GetItemCount(); ++i) {
      const QString path = m_pDirView->GetFullPath(i);
      if (path != m_pDirView->GetOriginal() && m_pDirView->IsMarkable(path)) m_pDirView->ToggleMark(i);
    }
    m_pDirView->UpdateMarkTexts();
  } catch (const CInterfaceException& e) {
    ReportInterfaceErrorOnce(e, this);
  }
}

void CMainInterfaceDialog::ToggleTreeSelection() {
  if (QTreeWidgetItem* item = m_pSystemView->currentItem()) {
    item->setExpanded(!item->isExpanded());
    m_pSystemView->setCurrentItem(item);
  }
}

// ---- keys and focus of the screen itself ----------------------------------

void CMainInterfaceDialog::keyPressEvent(QKeyEvent* event) {
  // Enter and Esc have no button to press here.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
    QApplication::beep();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CMainInterfaceDialog::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (m_pLastFocus != nullptr && m_pLastFocus->isVisible()) {
    m_pLastFocus->setFocus();
  } else {
    m_pSystemView->setFocus();
  }
}
