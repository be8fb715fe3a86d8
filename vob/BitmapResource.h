// Pictures by number, as programs and libraries ship them in Qt resources.
#pragma once

#include <QPixmap>

namespace tarvovob {

// Picture `id`: the program's own ":/bitmaps/<id>.png" first, then this
// library's. Null when neither exists.
QPixmap LoadBitmapResource(unsigned id);

}  // namespace tarvovob
