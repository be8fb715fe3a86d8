// A text field that takes a file dragged out of the directory view.
#pragma once

#include <QLineEdit>

class CDropField : public QLineEdit {
  Q_OBJECT

 public:
  explicit CDropField(QWidget* pParent = nullptr);

 signals:
  // The directory view's row that was dropped here.
  void rowDropped(int index);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};
