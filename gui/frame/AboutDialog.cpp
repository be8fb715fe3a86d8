#include "AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "QorvexPictures.h"

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  InitQorvexPictures();
  setWindowTitle(QStringLiteral("About Mendivar"));
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("picture"));
  picture->setFixedSize(72, 72);
  picture->setPixmap(QPixmap(QStringLiteral(":/Qorvex/bitmaps/163.png")));
  picture->setScaledContents(true);  // drawn stretched over the whole control

  auto* name = new QLabel(QStringLiteral("<b>Mendivar</b>"), this);
  auto* version = new QLabel(QString::fromLatin1(kVersion), this);
  version->setObjectName(QStringLiteral("version"));
  auto* note = new QLabel(QStringLiteral("Difference files of any pair of files:\nconstruct them, reconstruct from them."), this);

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
