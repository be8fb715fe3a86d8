#include "help/HelpKeyFilter.h"

#include <QApplication>
#include <QKeyEvent>

#include "errors/MessageBox.h"
#include "help/HelpWindow.h"

bool CHelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QWidget* modal = QApplication::activeModalWidget();
    if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && modal != nullptr) {
      const unsigned id = modal->property(qorvex::kHelpIdProperty).toUInt();
      if (id != 0) {
        CHelpWindow::ShowContext(id);
        return true;
      }
    }
  }
  return QObject::eventFilter(watched, event);
}
