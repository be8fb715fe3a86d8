#include "frame/AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "frame/FrameTexts.h"
#include "process/QorvexPictures.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"

namespace ftext = qorvex::frame::text;

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  InitQorvexPictures();
  setWindowTitle(ftext::Tr(ftext::kAboutTitle));
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("picture"));
  picture->setFixedSize(72, 72);
  picture->setPixmap(QPixmap(QStringLiteral(":/Qorvex/bitmaps/about.png")));
  picture->setScaledContents(true);  // drawn stretched over the whole control

  auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(qorvex::LoadString(qorvex::ids::kFrameTitle).toHtmlEscaped()), this);
  auto* version = new QLabel(ftext::Tr(kVersion), this);
  version->setObjectName(QStringLiteral("version"));
  auto* note = new QLabel(ftext::Tr(ftext::kAboutNote), this);

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(version);
  texts->addSpacing(6);
  texts->addWidget(note);
  texts->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(picture, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(texts);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}
