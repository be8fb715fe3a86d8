#include "StatusLine.h"

#include <QPainter>

namespace mvrfind {

CStatusLine::CStatusLine(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize CStatusLine::minimumSizeHint() const { return {0, fontMetrics().height()}; }

void CStatusLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideLeft, area.width()));
}

}  // namespace mvrfind
