#include "mainview/MainInterfaceLayout.h"

#include <QWidget>
#include <algorithm>

SMainLayout ComputeMainLayout(const SMainLayoutInput& in) {
  SMainLayout out;
  const int W = in.size.width();
  const int H = in.size.height();
  if (W <= 0 || H <= 0) return out;

  // The lower area: the selection list, or the fields.
  int lowerTop = in.multiple ? H - in.listHeight - in.marginY
                             : H - 2 * in.marginY - in.labelToField - in.fieldHeight + in.splitter;
  lowerTop = std::max(lowerTop, in.splitter + in.marginY);
  out.list = QRect(in.marginX, lowerTop, std::max(0, W - 2 * in.marginX), std::max(0, H - in.marginY - lowerTop));
  out.listSplitter = QRect(out.list.x() + 1, lowerTop - in.splitter, std::max(0, out.list.width() - 2), in.splitter);

  // The tree and the file list.
  const int treeRight = std::min(in.marginX + in.treeWidth, W - in.splitter - in.marginX);
  const int treeBottom = lowerTop - in.splitter;
  out.tree = QRect(in.marginX, in.marginY, std::max(0, treeRight - in.marginX), std::max(0, treeBottom - in.marginY));
  out.treeSplitter = QRect(treeRight, out.tree.top() + 1, in.splitter, std::max(0, out.tree.height() - 2));
  const int dirLeft = treeRight + in.splitter;
  out.dirView = QRect(dirLeft, out.tree.top(), std::max(0, W - in.marginX - dirLeft), out.tree.height());

  // The fields of Single File mode, in three columns.
  const int labelTop = treeBottom + in.marginY;
  const int fieldTop = labelTop + in.labelToField;
  const int column = std::max(0, (W - 2 * in.columnGap - 2 * in.marginX) / 3);
  const int x[3] = {in.marginX, in.marginX + column + in.columnGap, in.marginX + 2 * (column + in.columnGap)};
  const int lastWidth = std::max(0, W - in.marginX - x[2]);
  for (int i = 0; i < 3; ++i) {
    const int width = i == 2 ? lastWidth : column;
    out.labels[static_cast<std::size_t>(i)] = QRect(x[i], labelTop, width, std::max(0, in.labelToField));
    out.fields[static_cast<std::size_t>(i)] = QRect(x[i], fieldTop, width, in.fieldHeight);
  }
  out.separator = QRect(x[0] + column, fieldTop, in.columnGap, in.fieldHeight);
  out.equals = QRect(x[1] + column, fieldTop, in.columnGap, in.fieldHeight);

  out.treeVisible = out.tree.width() >= in.edgeX && out.tree.height() >= in.edgeY;
  out.dirViewVisible = out.dirView.width() >= in.edgeX && out.dirView.height() >= in.edgeY;
  out.treeSplitterVisible = out.tree.height() >= in.edgeY;
  out.listVisible = in.multiple && out.list.height() >= in.edgeY;
  out.listSplitterVisible = in.multiple;
  out.fieldsVisible = !in.multiple;

  const QRect upper = out.tree.united(out.dirView);
  out.treeSplitterLimits = upper;
  out.listSplitterLimits = upper.united(out.list.adjusted(0, 1, 0, 0));
  return out;
}

int TreeWidthAfterDrop(const SMainLayout& now, QPoint drop) { return drop.x() - now.tree.left(); }

int ListHeightAfterDrop(const SMainLayout& now, const SMainLayoutInput& in, QPoint drop) {
  return in.listHeight + now.list.top() - in.splitter - drop.y();
}

CMainInterfaceLayout::CMainInterfaceLayout(QWidget* pParent) : QLayout(pParent) { setContentsMargins(0, 0, 0, 0); }

CMainInterfaceLayout::~CMainInterfaceLayout() {
  for (QLayoutItem*& item : m_Parts) {
    delete item;
    item = nullptr;
  }
}

void CMainInterfaceLayout::SetPart(Part part, QWidget* pWidget) {
  addChildWidget(pWidget);
  delete m_Parts[part];
  m_Parts[part] = new QWidgetItem(pWidget);
  invalidate();
}

void CMainInterfaceLayout::SetInput(const SMainLayoutInput& input) {
  m_Input = input;
  invalidate();
  if (QWidget* owner = parentWidget(); owner != nullptr && owner->isVisible()) activate();
}

void CMainInterfaceLayout::addItem(QLayoutItem* item) {
  // Parts are placed by role only.
  delete item;
}

QLayoutItem* CMainInterfaceLayout::itemAt(int index) const {
  int seen = 0;
  for (QLayoutItem* item : m_Parts) {
    if (item != nullptr && seen++ == index) return item;
  }
  return nullptr;
}

QLayoutItem* CMainInterfaceLayout::takeAt(int index) {
  int seen = 0;
  for (QLayoutItem*& item : m_Parts) {
    if (item != nullptr && seen++ == index) {
      QLayoutItem* taken = item;
      item = nullptr;
      return taken;
    }
  }
  return nullptr;
}

int CMainInterfaceLayout::count() const {
  return static_cast<int>(std::count_if(m_Parts.begin(), m_Parts.end(), [](QLayoutItem* i) { return i != nullptr; }));
}

QSize CMainInterfaceLayout::sizeHint() const { return {640, 480}; }
QSize CMainInterfaceLayout::minimumSize() const { return {0, 0}; }

void CMainInterfaceLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  SMainLayoutInput input = m_Input;
  input.size = rect.size();
  m_Current = ComputeMainLayout(input);
  const SMainLayout& l = m_Current;
  const struct {
    Part part;
    QRect where;
    bool visible;
  } placed[] = {
      {kTree, l.tree, l.treeVisible},
      {kDirView, l.dirView, l.dirViewVisible},
      {kTreeSplitter, l.treeSplitter, l.treeSplitterVisible},
      {kList, l.list, l.listVisible},
      {kListSplitter, l.listSplitter, l.listSplitterVisible},
      {kInputLabel, l.labels[0], l.fieldsVisible},
      {kOriginalLabel, l.labels[1], l.fieldsVisible},
      {kOutputLabel, l.labels[2], l.fieldsVisible},
      {kInputField, l.fields[0], l.fieldsVisible},
      {kOriginalField, l.fields[1], l.fieldsVisible},
      {kOutputField, l.fields[2], l.fieldsVisible},
      {kSeparator, l.separator, l.fieldsVisible},
      {kEquals, l.equals, l.fieldsVisible},
  };
  for (const auto& p : placed) {
    QLayoutItem* item = m_Parts[p.part];
    if (item == nullptr || item->widget() == nullptr) continue;
    QWidget* widget = item->widget();
    // Hidden parts keep their place, so that showing one again needs no new pass.
    if (widget->isHidden() == p.visible) widget->setVisible(p.visible);
    item->setGeometry(p.where.translated(rect.topLeft()));
  }
}
