// The file list and the folder tree over real temporary folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QTest>

#include "browser/DirView.h"
#include "browser/SystemView.h"

namespace {

void MakeFile(const QString& path, qint64 size, time_t mtime = 0) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QVERIFY(file.write(QByteArray(size, 'x')) == size);
  file.close();
  if (mtime != 0) {
    const utimbuf times{mtime, mtime};
    QVERIFY(::utime(QFile::encodeName(path).constData(), &times) == 0);
  }
}

QStringList Names(const CDirView& view) {
  QStringList names;
  for (int i = 0; i < view.GetItemCount(); ++i) names << view.ItemText(i, CDirView::kColName);
  return names;
}

QString MarkOf(const CDirView& view, const QString& name) {
  for (int i = 0; i < view.GetItemCount(); ++i) {
    if (view.ItemText(i, CDirView::kColName) == name) return view.ItemText(i, CDirView::kColMark);
  }
  return QStringLiteral("<no row>");
}

int Row(const CDirView& view, const QString& name) {
  for (int i = 0; i < view.GetItemCount(); ++i) {
    if (view.ItemText(i, CDirView::kColName) == name) return i;
  }
  return -1;
}

QStringList Children(const QTreeWidgetItem* item) {
  QStringList names;
  for (int i = 0; i < item->childCount(); ++i) names << item->child(i)->text(0);
  return names;
}

QTreeWidgetItem* Child(QTreeWidgetItem* item, const QString& name) {
  for (int i = 0; i < item->childCount(); ++i) {
    if (item->child(i)->text(0) == name) return item->child(i);
  }
  return nullptr;
}

}  // namespace

class BrowserTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void listsFilesOnly();
  void sorting_data();
  void sorting();
  void marksAndOriginal_data();
  void marksAndOriginal();
  void onlyMarkableFilesTakeAMark_data();
  void onlyMarkableFilesTakeAMark();
  void datesCompareInWholeSeconds();
  void modelSortRolesAreTyped();
  void reloadFollowsTheDisk();
  void watchedFolderFollowsTheDisk();
  void missingFolder();
  void treeSweepAndReopen();

 private:
  std::unique_ptr<QTemporaryDir> m_pDir;
  QString Path(const QString& name) const { return m_pDir->filePath(name); }
};

void BrowserTest::init() {
  m_pDir = std::make_unique<QTemporaryDir>();
  QVERIFY(m_pDir->isValid());
}

void BrowserTest::listsFilesOnly() {
  MakeFile(Path(QStringLiteral("a.txt")), 5);
  MakeFile(Path(QStringLiteral(".hidden")), 3);
  MakeFile(Path(QStringLiteral("sub/inner.txt")), 1);
  QVERIFY(::symlink("nowhere", QFile::encodeName(Path(QStringLiteral("dangling"))).constData()) == 0);
  QDir().mkpath(Path(QStringLiteral("onlyfolders/x")));

  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  QCOMPARE(Names(view), (QStringList{".hidden", "a.txt", "dangling"}));
  QCOMPARE(view.GetFocusedRow(), 0);
  QCOMPARE(view.GetHighlighted(), std::vector<int>{0});
  // A link to nowhere cannot be looked at: no size, no date, and 0 in a size sort.
  QCOMPARE(view.ItemText(2, CDirView::kColSize), QString());
  QCOMPARE(view.ItemText(2, CDirView::kColDate), QString());
  QCOMPARE(view.ItemText(1, CDirView::kColSize), QStringLiteral("5"));
  view.Sort(CDirView::kColSize, false);
  QCOMPARE(Names(view).first(), QStringLiteral("dangling"));

  view.LoadFolder(Path(QStringLiteral("onlyfolders")));
  QCOMPARE(view.GetItemCount(), 0);
}

using Steps = std::function<void(CDirView&)>;
Q_DECLARE_METATYPE(Steps)

void BrowserTest::sorting_data() {
  QTest::addColumn<Steps>("steps");
  QTest::addColumn<QStringList>("order");
  auto click = [](int column) {
    return [column](CDirView& view) { emit view.header()->sectionClicked(column); };
  };
  auto both = [](Steps a, Steps b) { return Steps([a, b](CDirView& v) { a(v); b(v); }); };
  QTest::newRow("name") << Steps([](CDirView&) {}) << QStringList{"A.dat", "b.txt", "c.mvr", "d.txt"};
  QTest::newRow("name descending") << Steps(click(CDirView::kColName))
                                   << QStringList{"d.txt", "c.mvr", "b.txt", "A.dat"};
  QTest::newRow("size, ties by name") << Steps(click(CDirView::kColSize))
                                      << QStringList{"A.dat", "c.mvr", "d.txt", "b.txt"};
  QTest::newRow("size twice: descending") << both(click(CDirView::kColSize), click(CDirView::kColSize))
                                          << QStringList{"b.txt", "d.txt", "c.mvr", "A.dat"};
  QTest::newRow("date, ties by name") << Steps(click(CDirView::kColDate))
                                      << QStringList{"c.mvr", "d.txt", "b.txt", "A.dat"};
  // Original first, then marked, then markable, whatever the direction.
  QTest::newRow("marked in front, descending")
      << Steps([](CDirView& view) {
           view.SetOriginal(Row(view, QStringLiteral("A.dat")));
           view.ToggleMark(Row(view, QStringLiteral("b.txt")));
           emit view.header()->sectionClicked(CDirView::kColName);
           emit view.header()->sectionClicked(CDirView::kColMark);
         })
      << QStringList{"A.dat", "b.txt", "d.txt", "c.mvr"};
  QTest::newRow("mark column only switches marked in front")
      << Steps([](CDirView& view) {
           emit view.header()->sectionClicked(CDirView::kColSize);
           emit view.header()->sectionClicked(CDirView::kColMark);
           emit view.header()->sectionClicked(CDirView::kColMark);
           QCOMPARE(view.GetSortKey(), CDirView::kColSize);
           QCOMPARE(view.GetSortDirection(), 1);
           QVERIFY(!view.IsMarkedInFront());
         })
      << QStringList{"A.dat", "c.mvr", "d.txt", "b.txt"};
}

void BrowserTest::sorting() {
  QFETCH(Steps, steps);
  QFETCH(QStringList, order);
  const time_t t1 = 1700000000;
  MakeFile(Path(QStringLiteral("b.txt")), 30, t1 + 100);
  MakeFile(Path(QStringLiteral("A.dat")), 10, t1 + 200);
  MakeFile(Path(QStringLiteral("c.mvr")), 20, t1);
  MakeFile(Path(QStringLiteral("d.txt")), 20, t1);
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  steps(view);
  QCOMPARE(Names(view), order);
}

void BrowserTest::marksAndOriginal_data() {
  QTest::addColumn<bool>("construct");
  QTest::addColumn<QString>("markText");
  QTest::addColumn<QString>("markable");      // shows "+"
  QTest::addColumn<QString>("notMarkable");   // shows nothing
  QTest::newRow("construct") << true << "Mod" << "a.bin" << "z.mvr";
  QTest::newRow("reconstruct") << false << "Dif" << "z.mvr" << "a.bin";
}

void BrowserTest::marksAndOriginal() {
  QFETCH(bool, construct);
  QFETCH(QString, markText);
  QFETCH(QString, markable);
  QFETCH(QString, notMarkable);
  MakeFile(Path(QStringLiteral("a.bin")), 1);
  MakeFile(Path(QStringLiteral("b.bin")), 1);
  MakeFile(Path(QStringLiteral("y.mvr")), 1);
  MakeFile(Path(QStringLiteral("z.mvr")), 1);
  const QString other = construct ? QStringLiteral("b.bin") : QStringLiteral("y.mvr");
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  view.SetConstruct(construct);
  QCOMPARE(MarkOf(view, markable), QStringLiteral("+"));
  QCOMPARE(MarkOf(view, notMarkable), QString());

  // Marks keep the order of marking; a second toggle removes one.
  view.ToggleMark(Row(view, other));
  view.ToggleMark(Row(view, markable));
  QCOMPARE(view.GetMarks(), (QStringList{Path(other), Path(markable)}));
  QCOMPARE(MarkOf(view, markable), markText);
  view.ToggleMark(Row(view, other));
  QCOMPARE(MarkOf(view, other), QStringLiteral("+"));
  QCOMPARE(view.GetMarks(), QStringList{Path(markable)});

  // The original leaves the marks; marking it again drops the choice.
  view.SetOriginal(Row(view, markable));
  QCOMPARE(MarkOf(view, markable), QStringLiteral("ORG"));
  QVERIFY(view.GetMarks().isEmpty());
  view.ToggleMark(Row(view, markable));
  QCOMPARE(view.GetOriginal(), QString());
  QCOMPARE(MarkOf(view, markable), markText);

  // A new original takes the place of the old; the same one twice leaves none.
  view.SetOriginal(Row(view, notMarkable));
  view.SetOriginal(Row(view, other));
  QCOMPARE(MarkOf(view, notMarkable), QString());
  QCOMPARE(MarkOf(view, other), QStringLiteral("ORG"));
  view.SetOriginal(Row(view, other));
  QCOMPARE(view.GetOriginal(), QString());
  QCOMPARE(MarkOf(view, other), QStringLiteral("+"));

  view.ClearMarks(true);
  QCOMPARE(MarkOf(view, markable), QStringLiteral("+"));
  // A change of mode drops every choice.
  view.ToggleMark(Row(view, markable));
  view.SetOriginal(Row(view, other));
  view.SetConstruct(!construct);
  QVERIFY(view.GetMarks().isEmpty());
  QVERIFY(view.GetOriginal().isEmpty());
  QCOMPARE(MarkOf(view, markable), QString());
}

void BrowserTest::onlyMarkableFilesTakeAMark_data() {
  QTest::addColumn<bool>("construct");
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("mark");  // after a toggle
  QTest::newRow("construct, modified file") << true << "a.bin" << "Mod";
  QTest::newRow("construct, difference file") << true << "x.mvr" << "";
  QTest::newRow("construct, difference file in capitals") << true << "Y.MVR" << "";
  QTest::newRow("reconstruct, difference file") << false << "x.mvr" << "Dif";
  QTest::newRow("reconstruct, text file") << false << "a.bin" << "";
}

// A file of the wrong kind would become a job that cannot work: x.mvr.mvr,
// or a text file to rebuild a modified file from.
void BrowserTest::onlyMarkableFilesTakeAMark() {
  QFETCH(bool, construct);
  QFETCH(QString, file);
  QFETCH(QString, mark);
  for (const char* name : {"a.bin", "x.mvr", "Y.MVR"}) MakeFile(Path(QLatin1String(name)), 1);
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  view.SetConstruct(construct);
  view.ToggleMark(Row(view, file));
  QCOMPARE(MarkOf(view, file), mark);
  QCOMPARE(view.GetMarks(), mark.isEmpty() ? QStringList() : QStringList{Path(file)});
}

void BrowserTest::datesCompareInWholeSeconds() {
  // Saved within one second, b.txt a little earlier than a.txt: equally old.
  MakeFile(Path(QStringLiteral("a.txt")), 1);
  MakeFile(Path(QStringLiteral("b.txt")), 1);
  MakeFile(Path(QStringLiteral("c.txt")), 1, 1700000000);
  const auto setTime = [this](const char* name, long nsec) {
    const timespec times[2] = {{1700000500, nsec}, {1700000500, nsec}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(Path(QLatin1String(name))).constData(), times, 0) == 0);
  };
  setTime("a.txt", 900000000);
  setTime("b.txt", 100000000);
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  emit view.header()->sectionClicked(CDirView::kColDate);
  QCOMPARE(Names(view), (QStringList{"c.txt", "a.txt", "b.txt"}));
  emit view.header()->sectionClicked(CDirView::kColDate);
  QCOMPARE(Names(view), (QStringList{"b.txt", "a.txt", "c.txt"}));
}

// A size of 1000 sorts after 999 only as a number; the time is whole seconds.
void BrowserTest::modelSortRolesAreTyped() {
  MakeFile(Path(QStringLiteral("a.txt")), 1000, 1700000123);
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  const QAbstractItemModel* model = view.model();
  auto sortValue = [model](int column) { return model->index(0, column).data(CDirViewModel::kSortRole); };
  QCOMPARE(sortValue(CDirView::kColSize).typeId(), QMetaType::ULongLong);
  QCOMPARE(sortValue(CDirView::kColSize).toULongLong(), 1000ull);
  QCOMPARE(sortValue(CDirView::kColDate).typeId(), QMetaType::LongLong);
  QCOMPARE(sortValue(CDirView::kColDate).toLongLong(), 1700000123ll);
  QCOMPARE(sortValue(CDirView::kColName).toString(), QStringLiteral("a.txt"));
  QCOMPARE(model->index(0, CDirView::kColName).data(Qt::ToolTipRole).toString(), Path(QStringLiteral("a.txt")));
}

void BrowserTest::reloadFollowsTheDisk() {
  MakeFile(Path(QStringLiteral("keep.txt")), 1);
  MakeFile(Path(QStringLiteral("gone.txt")), 1);
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  view.ToggleMark(Row(view, QStringLiteral("keep.txt")));
  QVERIFY(QFile::remove(Path(QStringLiteral("gone.txt"))));
  MakeFile(Path(QStringLiteral("new.txt")), 1);
  view.Reload();
  QCOMPARE(Names(view), (QStringList{"keep.txt", "new.txt"}));
  QCOMPARE(MarkOf(view, QStringLiteral("keep.txt")), QStringLiteral("Mod"));
}

// Without F5: a file deleted or added while its folder is shown.
void BrowserTest::watchedFolderFollowsTheDisk() {
  for (const char* name : {"a.txt", "gone.txt", "keep.txt", "orig.txt", "z.txt"}) MakeFile(Path(QLatin1String(name)), 1);
  CDirView view;
  QVERIFY(view.Initialize());
  view.LoadFolder(m_pDir->path());
  view.SetSingleSelection(false);
  view.ToggleMark(Row(view, QStringLiteral("keep.txt")));
  view.SetOriginal(Row(view, QStringLiteral("orig.txt")));
  view.clearSelection();
  view.SetFocusedRow(Row(view, QStringLiteral("z.txt")));
  view.SetHighlighted(Row(view, QStringLiteral("z.txt")), true);
  view.SetHighlighted(Row(view, QStringLiteral("keep.txt")), true);

  QVERIFY(QFile::remove(Path(QStringLiteral("gone.txt"))));
  QTRY_COMPARE(Names(view), (QStringList{"a.txt", "keep.txt", "orig.txt", "z.txt"}));
  MakeFile(Path(QStringLiteral("new.txt")), 1);
  QTRY_COMPARE(Row(view, QStringLiteral("new.txt")), 2);
  QCOMPARE(MarkOf(view, QStringLiteral("keep.txt")), QStringLiteral("Mod"));
  QCOMPARE(MarkOf(view, QStringLiteral("orig.txt")), QStringLiteral("ORG"));
  QCOMPARE(view.GetMarks(), QStringList{Path(QStringLiteral("keep.txt"))});
  QCOMPARE(view.GetFocusedRow(), Row(view, QStringLiteral("z.txt")));
  std::vector<int> highlighted{Row(view, QStringLiteral("keep.txt")), Row(view, QStringLiteral("z.txt"))};
  QCOMPARE(view.GetHighlighted(), highlighted);
}

void BrowserTest::missingFolder() {
  CDirView view;
  QVERIFY(view.Initialize());
  std::unique_ptr<CInterfaceException> error;
  view.LoadFolder(Path(QStringLiteral("Work")), &error);
  QVERIFY(error != nullptr);
  const auto* dirError = dynamic_cast<const CDirViewException*>(error.get());
  QVERIFY(dirError != nullptr);
  QCOMPARE(dirError->m_nSubKind, 1);
  QCOMPARE(dirError->m_strObjectName, QStringLiteral("Work"));
  QCOMPARE(dirError->m_strMessage, QStringLiteral("Unknown error:\nThe error code is 0x80070002L"));
  QVERIFY_THROWS_EXCEPTION(CDirViewException, view.LoadFolder(Path(QStringLiteral("Work"))));
}

void BrowserTest::treeSweepAndReopen() {
  for (const char* folder : {"top/beta", "top/Alpha/deep", "top/gamma", "top/.dot"}) {
    QVERIFY(QDir().mkpath(Path(QString::fromLatin1(folder))));
  }
  CSystemView tree;
  QVERIFY(tree.Initialize());
  QCOMPARE(tree.topLevelItem(0)->text(0), QStringLiteral("/"));
  tree.OpenPath(Path(QStringLiteral("top")));
  QTreeWidgetItem* top = tree.currentItem();
  QVERIFY(top != nullptr);
  QCOMPARE(tree.GetCurrentFolder()->GetPath(), Path(QStringLiteral("top")));

  // A user expansion lists the subfolders, hidden ones too, by name ignoring case.
  top->setExpanded(true);
  QCOMPARE(Children(top), (QStringList{".dot", "Alpha", "beta", "gamma"}));
  QTreeWidgetItem* alpha = Child(top, QStringLiteral("Alpha"));
  alpha->setExpanded(true);
  QCOMPARE(Children(alpha), QStringList{"deep"});
  QVERIFY(Child(alpha, QStringLiteral("deep"))->childIndicatorPolicy() != QTreeWidgetItem::DontShowIndicator);
  Child(alpha, QStringLiteral("deep"))->setExpanded(true);
  QCOMPARE(Child(alpha, QStringLiteral("deep"))->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);

  // The folder beta goes away, delta comes; Alpha stays open through a collapse of top.
  QVERIFY(QDir(Path(QStringLiteral("top/beta"))).removeRecursively());
  QVERIFY(QDir().mkpath(Path(QStringLiteral("top/delta"))));
  QVERIFY(QDir().mkpath(Path(QStringLiteral("top/Alpha/deeper"))));
  top->setExpanded(false);
  top->setExpanded(true);
  QCOMPARE(Children(top), (QStringList{".dot", "Alpha", "delta", "gamma"}));
  alpha = Child(top, QStringLiteral("Alpha"));
  QVERIFY(alpha->isExpanded());
  QCOMPARE(Children(alpha), (QStringList{"deep", "deeper"}));

  // Refresh reaches the open folders below the root.
  QVERIFY(QDir().mkpath(Path(QStringLiteral("top/epsilon"))));
  tree.Refresh();
  QCOMPARE(Children(top), (QStringList{".dot", "Alpha", "delta", "epsilon", "gamma"}));
}

QTEST_MAIN(BrowserTest)
#include "BrowserTest.moc"
