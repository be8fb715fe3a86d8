#include "FindReferenceDlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "FinderTexts.h"
#include "ReferenceSearch.h"
#include "StatusLine.h"

namespace {

// Widths of the two edits in average characters: the name is short, the
// path gets more room.
constexpr int kNameEditChars = 40;
constexpr int kPathEditChars = 52;

QString Text(const char* text) { return QString::fromLatin1(text); }

}  // namespace

CFindReferenceDlg::CFindReferenceDlg(QWidget* owner)
    : QDialog(owner),
      m_pCancelButton(new QPushButton(Text(mvrfind::text::kCancel), this)),
      m_pBrowseButton(new QPushButton(Text(mvrfind::text::kBrowse), this)),
      m_pSearchButton(new QPushButton(Text(mvrfind::text::kSearch), this)),
      m_pPathEdit(new QLineEdit(this)),
      m_pNameEdit(new QLineEdit(this)),
      m_pStatusText(new mvrfind::CStatusLine(this)) {
  setWindowTitle(Text(mvrfind::text::kDialogTitle));
  setModal(true);

  // Names for whoever drives the dialog without a mouse (tests, accessibility).
  m_pCancelButton->setObjectName(QStringLiteral("cancelButton"));
  m_pBrowseButton->setObjectName(QStringLiteral("browseButton"));
  m_pSearchButton->setObjectName(QStringLiteral("searchButton"));
  m_pPathEdit->setObjectName(QStringLiteral("pathEdit"));
  m_pNameEdit->setObjectName(QStringLiteral("nameEdit"));
  m_pStatusText->setObjectName(QStringLiteral("statusText"));

  auto* nameLabel = new QLabel(Text(mvrfind::text::kNameLabel), this);
  auto* pathLabel = new QLabel(Text(mvrfind::text::kPathLabel), this);
  nameLabel->setBuddy(m_pNameEdit);
  pathLabel->setBuddy(m_pPathEdit);
  const int averageChar = fontMetrics().averageCharWidth();
  m_pNameEdit->setFixedWidth(kNameEditChars * averageChar);
  m_pPathEdit->setMinimumWidth(kPathEditChars * averageChar);

  auto* fields = new QVBoxLayout;
  fields->addWidget(nameLabel);
  fields->addWidget(m_pNameEdit, 0, Qt::AlignLeft);
  fields->addWidget(pathLabel);
  fields->addWidget(m_pPathEdit);
  fields->addStretch();

  m_pSearchButton->setDefault(true);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_pSearchButton);
  buttons->addWidget(m_pCancelButton);
  buttons->addWidget(m_pBrowseButton);
  buttons->addStretch();

  auto* top = new QHBoxLayout;
  top->addLayout(fields, 1);
  top->addLayout(buttons);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(top);
  whole->addWidget(m_pStatusText);
  whole->setSizeConstraint(QLayout::SetFixedSize);

  // The keyboard goes down the fields, then down the buttons.
  setTabOrder(m_pNameEdit, m_pPathEdit);
  setTabOrder(m_pPathEdit, m_pSearchButton);
  setTabOrder(m_pSearchButton, m_pCancelButton);
  setTabOrder(m_pCancelButton, m_pBrowseButton);

  connect(m_pSearchButton, &QPushButton::clicked, this, &CFindReferenceDlg::OnSearch);
  connect(m_pCancelButton, &QPushButton::clicked, this, &CFindReferenceDlg::reject);
  connect(m_pBrowseButton, &QPushButton::clicked, this, &CFindReferenceDlg::OnBrowse);
}

void CFindReferenceDlg::SetWanted(uint32_t size, uint32_t checksum, char version) {
  m_dwSize = size;
  m_dwCheckSum = checksum;
  m_chVersion = version;
}

void CFindReferenceDlg::SetFileName(const QString& name) {
  m_strFileName = name;
  m_pNameEdit->setText(name);
}

void CFindReferenceDlg::SetStartPath(const QString& folder) {
  m_strStartPath = folder;
  m_pPathEdit->setText(folder);
}

void CFindReferenceDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  const QRect area = owner != nullptr && owner->isVisible() && !owner->isMinimized()
                         ? owner->frameGeometry()
                         : screen()->availableGeometry();
  QRect frame = frameGeometry();
  frame.moveCenter(area.center());
  move(frame.topLeft());
  m_pNameEdit->setFocus(Qt::ActiveWindowFocusReason);
}

void CFindReferenceDlg::OnSearch() {
  m_strFileName = m_pNameEdit->text();
  m_strStartPath = m_pPathEdit->text();
  m_Result = SearchPass();
  if (m_Result < 0) {
    ShowMessage(QMessageBox::Critical, mvrfind::text::kDiskError);
  } else if (m_Result == MVRFIND_FOUND) {
    accept();
  } else if (m_Result == MVRFIND_NOT_FOUND) {
    ShowMessage(QMessageBox::NoIcon, mvrfind::text::kNotFound);
  }
}

void CFindReferenceDlg::reject() {
  if (m_bSearching) {
    // The walk notices at its next folder and unwinds; the dialog stays.
    m_bSearching = false;
    return;
  }
  m_Result = MVRFIND_CANCELLED;
  QDialog::reject();
}

void CFindReferenceDlg::OnBrowse() {
  const QString folder = QFileDialog::getExistingDirectory(
      this, Text(mvrfind::text::kBrowseTitle), m_pPathEdit->text(), QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return;
  m_strStartPath = folder;
  m_pPathEdit->setText(folder);
}

CMvrFindResult CFindReferenceDlg::SearchPass() {
  mvrfind::SearchRequest request;
  request.name = m_strFileName.toLocal8Bit().toStdString();
  request.startFolder = m_strStartPath.toLocal8Bit().toStdString();
  request.size = m_dwSize;
  request.checksum = m_dwCheckSum;
  request.version = m_chVersion;

  SetSearching(true);
  mvrfind::CReferenceSearch search(std::move(request), *this);
  const CMvrFindResult result = search.Run();
  if (result == MVRFIND_FOUND) m_strFoundPath = search.FoundPath();
  SetSearching(false);
  return result;
}

void CFindReferenceDlg::SetSearching(bool searching) {
  m_bSearching = searching;
  m_pCancelButton->setText(Text(searching ? mvrfind::text::kStop : mvrfind::text::kCancel));
  m_pSearchButton->setEnabled(!searching);
  m_pNameEdit->setEnabled(!searching);
  m_pPathEdit->setEnabled(!searching);
  m_pBrowseButton->setEnabled(!searching);
  if (searching) {
    m_pCancelButton->setFocus();
  } else {
    m_pStatusText->clear();
  }
}

void CFindReferenceDlg::ShowMessage(QMessageBox::Icon icon, const char* text) {
  QMessageBox box(icon, QApplication::applicationDisplayName(),
                  Text(text), QMessageBox::Ok, this);
  box.exec();
}

bool CFindReferenceDlg::KeepGoing() {
  // No second thread: the walk hands the event loop a turn per folder, which
  // repaints the status line and delivers a click on Stop to reject().
  QCoreApplication::processEvents();
  return m_bSearching;
}

void CFindReferenceDlg::EnterFolder(const std::string& folder) {
  m_pStatusText->setText(QString::fromLocal8Bit(folder.data(), static_cast<qsizetype>(folder.size())));
}
