#include "BitmapResource.h"

#include <QString>

namespace tarvovob {

QPixmap LoadBitmapResource(unsigned id) {
  // The program's picture wins, so a program can brand its own start-up.
  for (const char* root : {":/bitmaps/", ":/TarvoVOb/bitmaps/"}) {
    QPixmap picture(QString::fromLatin1(root) + QString::number(id) + QStringLiteral(".png"));
    if (!picture.isNull()) return picture;
  }
  return {};
}

}  // namespace tarvovob
