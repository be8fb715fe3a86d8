// F1 while a message box with a help topic is up opens that topic. Installed
// once on the application object.
#pragma once

#include <QObject>

class CHelpKeyFilter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
