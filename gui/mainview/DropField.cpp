#include "mainview/DropField.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include "browser/DirView.h"

CDropField::CDropField(QWidget* pParent) : QLineEdit(pParent) { setAcceptDrops(true); }

void CDropField::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(QLatin1String(CDirView::kDragMimeType))) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CDropField::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasFormat(QLatin1String(CDirView::kDragMimeType))) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CDropField::dropEvent(QDropEvent* event) {
  bool ok = false;
  const int index = event->mimeData()->data(QLatin1String(CDirView::kDragMimeType)).toInt(&ok);
  if (!ok) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  emit rowDropped(index);
}
