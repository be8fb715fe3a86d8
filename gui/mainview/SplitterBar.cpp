#include "mainview/SplitterBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "browser/QorvexResources.h"

namespace {

// The hatched rectangle that follows the mouse.
class CSplitterGhost : public QWidget {
 public:
  explicit CSplitterGhost(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_Pattern = QPixmap(QStringLiteral(":/Qorvex/bitmaps/splitter-ghost.png"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setOpacity(0.6);
    if (m_Pattern.isNull()) {
      painter.fillRect(rect(), QBrush(palette().color(QPalette::Text), Qt::Dense4Pattern));
    } else {
      painter.fillRect(rect(), QBrush(m_Pattern));
    }
  }

 private:
  QPixmap m_Pattern;
};

}  // namespace

CSplitterBar::CSplitterBar(QWidget* pParent, Limits limits, int nOrientation, int nId)
    : QWidget(pParent), m_GetLimits(std::move(limits)), m_nOrientation(nOrientation), m_nId(nId) {
  QorvexInitResources();
  setObjectName(QStringLiteral("splitter%1").arg(nId));
  setCursor(nOrientation == kMovesHorizontally ? Qt::SizeHorCursor
            : nOrientation == kMovesVertically ? Qt::SizeVerCursor
                                               : Qt::SizeAllCursor);
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(false);
}

CSplitterBar::~CSplitterBar() { delete m_pGhost; }

void CSplitterBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
}

void CSplitterBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && IsDragging()) {
    EndDrag();
    return;
  }
  if (event->button() != Qt::LeftButton || IsDragging()) return;
  const QRect limits = m_GetLimits ? m_GetLimits(m_nId) : QRect();
  if (limits.isEmpty()) return;
  QWidget* top = window();
  m_Limits = QRect(parentWidget()->mapTo(top, limits.topLeft()), limits.size());
  auto* ghost = new CSplitterGhost(top);
  QRect start(mapTo(top, QPoint(0, 0)), size());
  // Kept inside the limits from the start.
  start.moveLeft(std::clamp(start.left(), m_Limits.left(), std::max(m_Limits.left(), m_Limits.right() - start.width() + 1)));
  start.moveTop(std::clamp(start.top(), m_Limits.top(), std::max(m_Limits.top(), m_Limits.bottom() - start.height() + 1)));
  ghost->move(start.topLeft());
  ghost->resize(start.size());
  ghost->show();
  ghost->raise();
  m_pGhost = ghost;
  m_LastMouse = event->globalPosition().toPoint();
  setFocusPolicy(Qt::ClickFocus);
  setFocus(Qt::MouseFocusReason);
}

void CSplitterBar::mouseMoveEvent(QMouseEvent* event) {
  if (!IsDragging()) return;
  const QPoint now = event->globalPosition().toPoint();
  QPoint delta = now - m_LastMouse;
  if (m_nOrientation == kMovesHorizontally) delta.setY(0);
  if (m_nOrientation == kMovesVertically) delta.setX(0);
  QRect ghost = m_pGhost->geometry().translated(delta);
  ghost.moveLeft(std::clamp(ghost.left(), m_Limits.left(), std::max(m_Limits.left(), m_Limits.right() - ghost.width() + 1)));
  ghost.moveTop(std::clamp(ghost.top(), m_Limits.top(), std::max(m_Limits.top(), m_Limits.bottom() - ghost.height() + 1)));
  // The ghost follows the mouse: an overlay, not a part of any layout.
  m_pGhost->move(ghost.topLeft());
  m_LastMouse = now;
}

void CSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
  if (!IsDragging() || event->button() != Qt::LeftButton) return;
  const QPoint topLeft = window()->mapToGlobal(m_pGhost->geometry().topLeft());
  EndDrag();
  emit dropped(m_nId, topLeft);
}

void CSplitterBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && IsDragging()) {
    EndDrag();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CSplitterBar::EndDrag() {
  delete m_pGhost;
  setFocusPolicy(Qt::NoFocus);
}
