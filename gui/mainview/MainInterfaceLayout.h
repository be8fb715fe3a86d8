// Where the parts of the Main Interface go for a given size: the tree and
// the file list above, the selection list or the three fields below, the two
// splitter bars between them and the room each bar may be dragged in. The
// arithmetic is a pure function so that it can be checked for any size;
// CMainInterfaceLayout applies it as the screen's layout.
#pragma once

#include <QLayout>
#include <QRect>
#include <array>
#include <vector>

struct SMainLayoutInput {
  QSize size;
  bool multiple = false;
  // In pixels, from the template's dialog units.
  int marginX = 0;
  int marginY = 0;
  int splitter = 0;
  int columnGap = 0;
  int labelToField = 0;
  int fieldHeight = 0;
  // Moved by the splitter bars.
  int treeWidth = 0;
  int listHeight = 0;
  // Below twice these a part is hidden rather than drawn inside out.
  int edgeX = 0;
  int edgeY = 0;
};

struct SMainLayout {
  QRect tree, dirView, treeSplitter, list, listSplitter;
  std::array<QRect, 3> labels;  // Input, Original, Output
  std::array<QRect, 3> fields;
  QRect separator, equals;  // "--" and "=" between the fields
  bool treeVisible = false;
  bool dirViewVisible = false;
  bool treeSplitterVisible = false;
  bool listVisible = false;
  bool listSplitterVisible = false;
  bool fieldsVisible = false;
  // Where each bar's ghost may move, in the screen's coordinates.
  QRect treeSplitterLimits, listSplitterLimits;
};

SMainLayout ComputeMainLayout(const SMainLayoutInput& in);

// The tree width and the list height after a bar was dropped with its
// top-left corner at `drop` (the screen's coordinates).
int TreeWidthAfterDrop(const SMainLayout& now, QPoint drop);
int ListHeightAfterDrop(const SMainLayout& now, const SMainLayoutInput& in, QPoint drop);

class CMainInterfaceLayout : public QLayout {
 public:
  enum Part { kTree, kDirView, kTreeSplitter, kList, kListSplitter, kInputLabel, kOriginalLabel, kOutputLabel,
              kInputField, kOriginalField, kOutputField, kSeparator, kEquals, kPartCount };

  explicit CMainInterfaceLayout(QWidget* pParent);
  ~CMainInterfaceLayout() override;

  void SetPart(Part part, QWidget* pWidget);
  // Everything but the size, which comes with each setGeometry.
  void SetInput(const SMainLayoutInput& input);
  const SMainLayoutInput& Input() const { return m_Input; }
  // The last layout applied.
  const SMainLayout& Current() const { return m_Current; }

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  std::array<QLayoutItem*, kPartCount> m_Parts{};
  SMainLayoutInput m_Input;
  SMainLayout m_Current;
};
