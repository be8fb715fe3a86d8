#include "ViewerDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <utility>

#include "NameField.h"
#include "ViewerFields.h"
#include "ViewerTexts.h"

namespace {

constexpr int kNameMaxLength = 256;
// The narrowest the dialog gets, in average characters, and the widest, as
// a share of the screen: long paths should not push it off the desktop.
constexpr int kMinimumValueChars = 48;
constexpr double kWidestShareOfScreen = 2.0 / 3.0;

QString Text(const char* text) { return QString::fromLatin1(text); }

QString FromLocal(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QLabel* ValueLabel(const char* objectName, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(objectName));
  // Names from a file are never markup.
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

CViewerDialog::CViewerDialog(std::string fileName, QWidget* parent)
    : QDialog(parent),
      m_strFileName(std::move(fileName)),
      m_pConstructedOn(ValueLabel("constructedOn", this)),
      m_pModifiedSize(ValueLabel("modifiedSize", this)),
      m_pModifiedName(new CNameField(this)),
      m_pOriginalSize(ValueLabel("originalSize", this)),
      m_pOriginalName(new CNameField(this)) {
  setWindowIcon(QIcon(QStringLiteral(":/MvrView/icons/128.png")));
  m_pOriginalName->setObjectName(QStringLiteral("originalName"));
  m_pOriginalName->setMaxLength(kNameMaxLength);
  // The modified name reads as a label, but like the original's it is
  // shortened in the middle and can be selected whole.
  m_pModifiedName->setObjectName(QStringLiteral("modifiedName"));
  m_pModifiedName->setFrame(false);
  m_pModifiedName->setStyleSheet(QStringLiteral("background: transparent"));
  for (CNameField* name : {m_pOriginalName, m_pModifiedName}) {
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  }

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(Text(mvrview::text::kConstructedOn), this), 0, 0);
  grid->addWidget(m_pConstructedOn, 0, 1);
  grid->addWidget(new QLabel(Text(mvrview::text::kFrom), this), 0, 2);
  grid->addWidget(new QLabel(Text(mvrview::text::kOriginalFile), this), 1, 0);
  grid->addWidget(m_pOriginalName, 1, 1);
  grid->addWidget(m_pOriginalSize, 1, 2);
  grid->addWidget(new QLabel(Text(mvrview::text::kModifiedFile), this), 2, 0);
  grid->addWidget(m_pModifiedName, 2, 1);
  grid->addWidget(m_pModifiedSize, 2, 2);
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(1, kMinimumValueChars * fontMetrics().averageCharWidth());
  for (QLabel* size : {m_pOriginalSize, m_pModifiedSize}) {
    size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
}

void CViewerDialog::InitDialog() {
  setWindowTitle(Text(mvrview::text::kCaptionPrefix) + FromLocal(m_strFileName));

  mvrview::ViewerFields fields;
  if (mvrview::ReadViewerFields(m_strFileName, &fields) != mvrview::ViewerFileState::Shown) {
    // Also for a file that opens but is no difference file: empty fields
    // alone would not tell the user why. Before the dialog shows, a hidden
    // owner would only push the box off centre.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                    Text(mvrview::text::kNotDifferenceFile), QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.exec();
  }
  m_pConstructedOn->setText(FromLocal(fields.constructedOn));
  m_pModifiedSize->setText(FromLocal(fields.modifiedSize));
  m_pModifiedName->SetFullName(FromLocal(fields.modifiedName));
  m_pOriginalSize->setText(FromLocal(fields.originalSize));
  m_pOriginalName->SetFullName(FromLocal(fields.originalName));

  FitToNames();
}

void CViewerDialog::FitToNames() {
  const QRect screenArea = screen()->availableGeometry();
  const int widest = static_cast<int>(screenArea.width() * kWidestShareOfScreen);
  const QFontMetrics metrics(font());
  const int names = std::max(metrics.horizontalAdvance(m_pOriginalName->FullName()),
                             metrics.horizontalAdvance(m_pModifiedName->FullName()));
  adjustSize();
  // Room for the longer name in the middle column, up to the cap.
  const int wanted = width() - m_pModifiedName->width() + names + metrics.averageCharWidth() * 2;
  resize(std::clamp(wanted, width(), std::max(width(), widest)), height());
  QRect frame = frameGeometry();
  frame.moveCenter(screenArea.center());
  move(frame.topLeft());
}

void CViewerDialog::keyPressEvent(QKeyEvent* event) {
  // Nothing to confirm here: Enter closes the window as Esc does.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    reject();
    return;
  }
  QDialog::keyPressEvent(event);
}
