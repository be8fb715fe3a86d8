#include "process/QorvexPictures.h"

#include <QtGlobal>

void InitQorvexPictures() {
  static const bool done = [] {
    Q_INIT_RESOURCE(QorvexFrame);
    return true;
  }();
  (void)done;
}
