// One line of status text that never widens its window: a long folder path
// loses its beginning, so the folder being searched stays readable.
#pragma once

#include <QLabel>

namespace mvrfind {

class CStatusLine : public QLabel {
  Q_OBJECT

 public:
  explicit CStatusLine(QWidget* parent = nullptr);
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace mvrfind
