// A thin bar between two parts of a window that the user drags to share the
// room between them. While it is dragged a hatched ghost shows where it
// will land; its owner says where the ghost may go and moves the parts when
// the bar reports the drop.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class CSplitterBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMovesHorizontally = 1;
  static constexpr int kMovesVertically = 2;
  static constexpr int kMovesBoth = 3;

  // The rectangle, in the parent's coordinates, the ghost may move in; an
  // empty one means no drag. Asked when a drag starts.
  using Limits = std::function<QRect(int nId)>;

  CSplitterBar(QWidget* pParent, Limits limits, int nOrientation, int nId);
  ~CSplitterBar() override;

  int GetId() const { return m_nId; }
  bool IsDragging() const { return m_pGhost != nullptr; }

 signals:
  // The ghost's top-left corner, in global coordinates, when the button went up.
  void dropped(int nId, const QPoint& topLeft);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void EndDrag();

  Limits m_GetLimits;
  int m_nOrientation;
  int m_nId;
  QPointer<QWidget> m_pGhost;  // in the top-level window while a drag goes on
  QRect m_Limits;              // in the ghost's parent's coordinates
  QPoint m_LastMouse;          // global
};
