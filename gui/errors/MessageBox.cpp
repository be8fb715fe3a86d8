#include "errors/MessageBox.h"

#include <QApplication>

#include "errors/WaitCursor.h"

namespace qorvex {

QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text, QMessageBox::Icon icon,
                                       QMessageBox::StandardButtons buttons, unsigned helpId) {
  if (parent == nullptr) parent = QApplication::activeWindow();
  return CWaitCursor::Lifted([&] {
    QMessageBox box(icon, QApplication::applicationDisplayName(), text, buttons, parent);
    box.setProperty(kHelpIdProperty, helpId);
    return static_cast<QMessageBox::StandardButton>(box.exec());
  });
}

}  // namespace qorvex
