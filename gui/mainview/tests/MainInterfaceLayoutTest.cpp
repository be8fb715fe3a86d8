// Where the Main Interface's parts go for a table of window sizes, modes and
// splitter positions, and where the bars' drops move them.
#include <QTest>

#include "mainview/MainInterfaceLayout.h"

Q_DECLARE_METATYPE(QRect)

namespace {

SMainLayoutInput Metrics(QSize size, bool multiple, int treeWidth, int listHeight) {
  SMainLayoutInput in;
  in.size = size;
  in.multiple = multiple;
  in.marginX = 9;
  in.marginY = 10;
  in.splitter = 3;
  in.columnGap = 12;
  in.labelToField = 16;
  in.fieldHeight = 24;
  in.treeWidth = treeWidth;
  in.listHeight = listHeight;
  in.edgeX = in.edgeY = 4;
  return in;
}

bool NotInsideOut(const QRect& r) { return r.width() >= 0 && r.height() >= 0; }

}  // namespace

class MainInterfaceLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void parts_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("multiple");
    QTest::addColumn<int>("treeWidth");
    QTest::addColumn<QRect>("tree");
    QTest::addColumn<QRect>("dirView");
    QTest::addColumn<QRect>("lower");  // the selection list's room
    QTest::addColumn<QString>("visible");  // t tree, d file list, l list, f fields
    QTest::newRow("multiple files") << QSize(900, 600) << true << 210 << QRect(9, 10, 210, 447)
                                    << QRect(222, 10, 669, 447) << QRect(9, 460, 882, 130) << "tdl";
    QTest::newRow("single file: the fields below") << QSize(900, 600) << false << 210 << QRect(9, 10, 210, 530)
                                                   << QRect(222, 10, 669, 530) << QRect(9, 543, 882, 47) << "tdf";
    QTest::newRow("tree wider than the window") << QSize(900, 600) << true << 5000 << QRect(9, 10, 879, 447)
                                                << QRect(891, 10, 0, 447) << QRect(9, 460, 882, 130) << "tl";
    QTest::newRow("too narrow for the browser") << QSize(12, 600) << true << 210 << QRect(9, 10, 0, 447)
                                                << QRect(3, 10, 0, 447) << QRect(9, 460, 0, 130) << "l";
    QTest::newRow("too low for anything") << QSize(900, 12) << true << 210 << QRect(9, 10, 210, 0)
                                          << QRect(222, 10, 669, 0) << QRect(9, 13, 882, 0) << "";
  }
  void parts() {
    QFETCH(QSize, size);
    QFETCH(bool, multiple);
    QFETCH(int, treeWidth);
    QFETCH(QRect, tree);
    QFETCH(QRect, dirView);
    QFETCH(QRect, lower);
    QFETCH(QString, visible);
    const SMainLayout l = ComputeMainLayout(Metrics(size, multiple, treeWidth, 130));
    QCOMPARE(l.tree, tree);
    QCOMPARE(l.dirView, dirView);
    QCOMPARE(l.list, lower);
    QCOMPARE(l.treeVisible, visible.contains(QLatin1Char('t')));
    QCOMPARE(l.dirViewVisible, visible.contains(QLatin1Char('d')));
    QCOMPARE(l.listVisible, visible.contains(QLatin1Char('l')));
    QCOMPARE(l.fieldsVisible, visible.contains(QLatin1Char('f')));
    QCOMPARE(l.listSplitterVisible, multiple);
    for (const QRect& r : {l.tree, l.dirView, l.list, l.treeSplitter, l.listSplitter}) QVERIFY(NotInsideOut(r));
    // The bars lie between the parts they divide, and their ghosts may reach both.
    if (l.treeVisible) QCOMPARE(l.treeSplitter.left(), l.tree.left() + l.tree.width());
    QCOMPARE(l.listSplitter.top() + l.listSplitter.height(), l.list.top());
    QVERIFY(l.treeSplitterLimits.contains(l.tree) || l.tree.isEmpty());
    QVERIFY(l.listSplitterLimits.contains(l.list.adjusted(0, 1, 0, 0)) || l.list.height() <= 1);
  }

  // Three equal columns, the Output one taking the rest; "--" and "=" fill
  // the gaps between the fields, at the fields' height.
  void fieldColumns() {
    const SMainLayout l = ComputeMainLayout(Metrics(QSize(901, 600), false, 210, 130));
    QCOMPARE(l.fields[0], QRect(9, 566, 286, 24));
    QCOMPARE(l.fields[1].left(), l.fields[0].left() + l.fields[0].width() + 12);
    QCOMPARE(l.fields[2].left() + l.fields[2].width(), 901 - 9);
    QCOMPARE(l.separator, QRect(295, 566, 12, 24));
    QCOMPARE(l.equals.left(), l.fields[1].left() + l.fields[1].width());
    QCOMPARE(l.equals.left() + l.equals.width(), l.fields[2].left());
    for (int i = 0; i < 3; ++i) QCOMPARE(l.labels[static_cast<std::size_t>(i)].bottom() + 1, l.fields[static_cast<std::size_t>(i)].top());
  }

  void drops() {
    const SMainLayoutInput in = Metrics(QSize(900, 600), true, 210, 130);
    const SMainLayout l = ComputeMainLayout(in);
    QCOMPARE(TreeWidthAfterDrop(l, QPoint(309, 40)), 300);
    // The list's bar moved up by 50 makes the list 50 higher.
    QCOMPARE(ListHeightAfterDrop(l, in, QPoint(10, l.listSplitter.top() - 50)), 180);
  }
};

QTEST_MAIN(MainInterfaceLayoutTest)
#include "MainInterfaceLayoutTest.moc"
