#include "MainScreenPlaceholder.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "HelpContexts.h"
#include "SplashScreen.h"

namespace {

constexpr int kMargin = 10;
constexpr char kControlIdProperty[] = "mvrControlId";

QString Name(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

CMainScreenPlaceholder::CMainScreenPlaceholder(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CMainInterfaceDialog"));
  setAutoFillBackground(true);
  m_pNotice = new QLabel(QStringLiteral("Type the file names below, or queue jobs in Multiple Files mode."), this);
  m_pInputLabel = new QLabel(this);
  m_pOriginalLabel = new QLabel(QStringLiteral("Original File"), this);
  m_pOutputLabel = new QLabel(this);
  m_pJoin = new QLabel(this);
  m_pInput = new QLineEdit(this);
  m_pOriginal = new QLineEdit(this);
  m_pOutput = new QLineEdit(this);
  m_pInput->setProperty(kControlIdProperty, 1034);
  m_pOriginal->setProperty(kControlIdProperty, 1035);
  m_pOutput->setProperty(kControlIdProperty, 1033);
  m_pList = new QTreeWidget(this);
  m_pList->setProperty(kControlIdProperty, 1024);
  m_pList->setRootIsDecorated(false);
  m_pList->setColumnCount(3);
  m_pInputLabel->setBuddy(m_pInput);
  m_pOriginalLabel->setBuddy(m_pOriginal);
  m_pOutputLabel->setBuddy(m_pOutput);
  SetLabels();
  SetSingleFileMode();
}

CMainScreenPlaceholder::~CMainScreenPlaceholder() = default;

void CMainScreenPlaceholder::SetLabels() {
  m_pJoin->setText(m_bConstruct ? QStringLiteral("--") : QStringLiteral("+"));
  m_pInputLabel->setText(m_bConstruct ? QStringLiteral("Modified File") : QStringLiteral("Difference File (.mvr)"));
  m_pOutputLabel->setText(m_bConstruct ? QStringLiteral("Difference File (.mvr)") : QStringLiteral("Modified File"));
  m_pList->setHeaderLabels({m_bConstruct ? QStringLiteral("Output (Difference File)")
                                         : QStringLiteral("Output (Modified File)"),
                            m_bConstruct ? QStringLiteral("Modified File") : QStringLiteral("Difference File"),
                            QStringLiteral("Original File")});
}

void CMainScreenPlaceholder::SetConstructFlag(bool construct) {
  m_bConstruct = construct;
  SetLabels();
}

void CMainScreenPlaceholder::SetSingleFileMode() {
  m_bMultiple = false;
  Layout();
}

void CMainScreenPlaceholder::SetMultipleFilesMode() {
  m_bMultiple = true;
  Layout();
}

QString CMainScreenPlaceholder::InputField() const { return m_pInput->text(); }
QString CMainScreenPlaceholder::OriginalField() const { return m_pOriginal->text(); }
QString CMainScreenPlaceholder::OutputField() const { return m_pOutput->text(); }
void CMainScreenPlaceholder::SetInputField(const QString& text) { m_pInput->setText(text); }
void CMainScreenPlaceholder::SetOriginalField(const QString& text) { m_pOriginal->setText(text); }

void CMainScreenPlaceholder::SetOutputField(const QString& text) {
  if (!m_bMultiple) m_pOutput->setText(text);
}

void CMainScreenPlaceholder::AddSelection(const CTarvoTaskEntry& entry) {
  m_Entries.push_back(std::make_unique<CTarvoTaskEntry>(entry));
  auto* item = new QTreeWidgetItem(
      {Name(entry.GetOutputFile()), Name(entry.GetExistingFile()), Name(entry.GetReferenceFile())});
  m_pList->addTopLevelItem(item);
}

CTarvoTaskEntry* CMainScreenPlaceholder::SelectionEntry(int row) {
  return row >= 0 && row < SelectionCount() ? m_Entries[static_cast<std::size_t>(row)].get() : nullptr;
}

void CMainScreenPlaceholder::RemoveAllSelections() {
  m_Entries.clear();
  m_pList->clear();
}

void CMainScreenPlaceholder::PeriodicUpdate() {
  // The program is idle: the splash may go once its time is up.
  CSplashScreen::EndSplashScreen();
}

void CMainScreenPlaceholder::RestoreFocus() {
  if (m_bMultiple) {
    m_pList->setFocus();
  } else {
    m_pInput->setFocus();
  }
}

unsigned CMainScreenPlaceholder::HelpContext() const {
  for (const QWidget* w = QApplication::focusWidget(); w != nullptr && w != this; w = w->parentWidget()) {
    const QVariant id = w->property(kControlIdProperty);
    if (id.isValid()) return qorvex::help::ForControl(id.toUInt());
  }
  return qorvex::help::ForTemplate(130);
}

void CMainScreenPlaceholder::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void CMainScreenPlaceholder::Layout() {
  const int w = width();
  const int h = height();
  m_pNotice->setGeometry(kMargin, kMargin, w - 2 * kMargin, 24);
  const int fieldH = m_pInput->sizeHint().height();
  const int labelH = m_pInputLabel->sizeHint().height();
  const int gap = 16;
  const int column = (w - 2 * kMargin - 2 * gap) / 3;
  const int labelY = h - kMargin - fieldH - 4 - labelH;
  const int fieldY = labelY + labelH + 4;
  m_pInputLabel->setGeometry(kMargin, labelY, column, labelH);
  m_pOriginalLabel->setGeometry(kMargin + column + gap, labelY, column, labelH);
  m_pOutputLabel->setGeometry(kMargin + 2 * (column + gap), labelY, column, labelH);
  m_pInput->setGeometry(kMargin, fieldY, column, fieldH);
  m_pOriginal->setGeometry(kMargin + column + gap, fieldY, column, fieldH);
  m_pOutput->setGeometry(kMargin + 2 * (column + gap), fieldY, w - kMargin - (kMargin + 2 * (column + gap)), fieldH);
  m_pJoin->setGeometry(kMargin + column, fieldY, gap, fieldH);
  m_pJoin->setAlignment(Qt::AlignCenter);
  const int listTop = kMargin + 30;
  m_pList->setGeometry(kMargin, listTop, w - 2 * kMargin, std::max(0, h - listTop - kMargin));
  for (QWidget* single : {static_cast<QWidget*>(m_pInputLabel), static_cast<QWidget*>(m_pOriginalLabel),
                          static_cast<QWidget*>(m_pOutputLabel), static_cast<QWidget*>(m_pJoin),
                          static_cast<QWidget*>(m_pInput), static_cast<QWidget*>(m_pOriginal),
                          static_cast<QWidget*>(m_pOutput)}) {
    single->setVisible(!m_bMultiple);
  }
  m_pList->setVisible(m_bMultiple);
}
