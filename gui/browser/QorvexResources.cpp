#include "browser/QorvexResources.h"

#include <QtCore/qglobal.h>

void QorvexInitResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(Qorvex);
    return true;
  }();
  (void)registered;
}
