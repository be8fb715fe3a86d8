// A thin bar between two parts of a window that the user drags to share the
// room between them. While it is dragged a hatched ghost shows where it
// will land; its owner sets the limits and moves the parts on the drop.
#pragma once

#include <QPointer>
#include <QWidget>

class CSplitterBar;

class ISplitterOwner {
 public:
  virtual ~ISplitterOwner() = default;
  // The rectangle, in global coordinates, the ghost may move in; false for no drag.
  virtual bool OnSplitterLimits(int nId, QRect* pLimits) = 0;
  // The ghost's top-left corner, in global coordinates, when the button went up.
  virtual void OnSplitterDrop(int nId, const QPoint& topLeft) = 0;
};

class CSplitterBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMovesHorizontally = 1;
  static constexpr int kMovesVertically = 2;
  static constexpr int kMovesBoth = 3;

  CSplitterBar(QWidget* pParent, ISplitterOwner* pOwner, int nOrientation, int nId);
  ~CSplitterBar() override;

  int GetId() const { return m_nId; }
  bool IsDragging() const { return m_pGhost != nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void EndDrag();

  ISplitterOwner* m_pOwner;
  int m_nOrientation;
  int m_nId;
  QPointer<QWidget> m_pGhost;  // in the top-level window while a drag goes on
  QRect m_Limits;              // in the ghost's parent's coordinates
  QPoint m_LastMouse;          // global
};
