// The command model on its own: which commands a state enables, checks and
// renames, on both screens and in every mode, what the two context menus of
// the Main Interface show for a state, and the construction choice that
// outlives the program.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "frame/ConstructionSetting.h"
#include "frame/QorvexActions.h"
#include "strings/CommandIds.h"

using namespace qorvex;

namespace {

using Ids = QList<unsigned>;

// A state from a few words, so that each case reads as what the user did.
CCommandState State(const QString& words) {
  CCommandState s;
  const QStringList w = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  s.bothScreens = s.mainExists = !w.contains(QLatin1String("noscreens"));
  s.screen = w.contains(QLatin1String("status")) ? 1 : 0;
  s.multiple = w.contains(QLatin1String("multiple"));
  s.construct = !w.contains(QLatin1String("reconstruct"));
  s.selectionRows = w.contains(QLatin1String("row")) ? 1 : 0;
  s.inputField = w.contains(QLatin1String("fields")) || w.contains(QLatin1String("input"));
  s.originalField = s.outputField = w.contains(QLatin1String("fields"));
  s.marked = w.contains(QLatin1String("marked")) ? 2 : 0;
  s.original = w.contains(QLatin1String("original"));
  s.dirFocused = s.focusedHighlighted = w.contains(QLatin1String("focus"));
  if (w.contains(QLatin1String("one.mvr"))) s.highlighted = {QStringLiteral("/d/a.MVR")};
  if (w.contains(QLatin1String("two.mvr"))) s.highlighted = {QStringLiteral("/d/a.mvr"), QStringLiteral("/d/b.mvr")};
  if (w.contains(QLatin1String("one.txt"))) s.highlighted = {QStringLiteral("/d/a.txt")};
  s.dirItems = w.contains(QLatin1String("items")) ? 3 : 0;
  s.treeFocused = w.contains(QLatin1String("tree"));
  s.treeExpanded = w.contains(QLatin1String("expanded"));
  s.sessionRows = w.contains(QLatin1String("session")) ? 1 : 0;
  s.currentSession = s.sessionRows > 0;
  s.sortKey = w.contains(QLatin1String("bysize")) ? 1 : 0;
  s.ascending = !w.contains(QLatin1String("descending"));
  return s;
}

// The commands whose enabling depends on the state; the rest are always on.
const Ids kDepending = {cmd::kStartProcessing, cmd::kCancelProcessing, cmd::kSelect,      cmd::kSelectOriginal,
                        cmd::kReverseSelection, cmd::kClearSelection,  cmd::kClearOriginal, cmd::kClearAll,
                        cmd::kAddFiles,         cmd::kSortByName,      cmd::kMarkedInFront, cmd::kSortOrder,
                        cmd::kRefresh,          cmd::kConstruct,       cmd::kReconstruct,   cmd::kSingleFile,
                        cmd::kMultipleFiles,    cmd::kProperties,      cmd::kReconstructNow, cmd::kTreeOpen,
                        cmd::kStandardConstruction, cmd::kFastConstruction, cmd::kThoroughConstruction};
const Ids kAlways = {cmd::kExit,     cmd::kToggleStatusBar, cmd::kScreenMain, cmd::kScreenStatus, cmd::kHelpTopics,
                     cmd::kHelpOnHelp, cmd::kContextHelp,  cmd::kAbout};
// Enabled whenever the Main Interface is shown.
const Ids kMainShown = {cmd::kSortByName,           cmd::kMarkedInFront,    cmd::kSortOrder,
                        cmd::kRefresh,              cmd::kConstruct,        cmd::kReconstruct,
                        cmd::kSingleFile,           cmd::kMultipleFiles,    cmd::kStandardConstruction,
                        cmd::kFastConstruction,     cmd::kThoroughConstruction};
const Ids kConstructions = {cmd::kStandardConstruction, cmd::kFastConstruction, cmd::kThoroughConstruction};

QSettings Settings() {
  return QSettings(QString::fromLatin1(settings::kOrganization), QString::fromLatin1(settings::kApplication));
}

}  // namespace

class QorvexActionsTest : public QObject {
  Q_OBJECT

 private slots:
  // The user's own settings stay out of reach.
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_Settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_Settings.path());
  }
  void init() {
    Settings().clear();
    m_pActions = std::make_unique<CQorvexActions>(nullptr);
  }
  void cleanup() { m_pActions.reset(); }

  void enabling_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<Ids>("enabled");
    QTest::newRow("no screens") << "noscreens" << Ids{};
    QTest::newRow("single construct, empty") << "" << kMainShown;
    QTest::newRow("single, one field") << "input" << kMainShown + Ids{cmd::kClearAll};
    QTest::newRow("single, three fields") << "fields" << kMainShown + Ids{cmd::kClearAll, cmd::kStartProcessing};
    QTest::newRow("single reconstruct, three fields")
        << "reconstruct fields" << kMainShown + Ids{cmd::kClearAll, cmd::kStartProcessing};
    QTest::newRow("multiple construct, items, marked, no original")
        << "multiple items marked" << kMainShown + Ids{cmd::kReverseSelection, cmd::kClearSelection, cmd::kClearAll};
    QTest::newRow("multiple construct, marked, original, a row")
        << "multiple marked original row"
        << kMainShown + Ids{cmd::kClearSelection, cmd::kClearOriginal, cmd::kClearAll, cmd::kAddFiles,
                            cmd::kStartProcessing};
    QTest::newRow("multiple reconstruct, marked, no original")
        << "multiple reconstruct marked" << kMainShown + Ids{cmd::kClearSelection, cmd::kClearAll, cmd::kAddFiles};
    QTest::newRow("single, fields ignored in multiple") << "multiple fields" << kMainShown;
    QTest::newRow("focus in the list, one .mvr")
        << "focus one.mvr" << kMainShown + Ids{cmd::kSelect, cmd::kSelectOriginal, cmd::kProperties, cmd::kReconstructNow};
    QTest::newRow("two .mvr highlighted, focus elsewhere") << "two.mvr" << kMainShown + Ids{cmd::kReconstructNow};
    QTest::newRow("a text file highlighted") << "focus one.txt" << kMainShown + Ids{cmd::kSelect, cmd::kSelectOriginal};
    QTest::newRow("focus in the tree") << "tree" << kMainShown + Ids{cmd::kTreeOpen};
    QTest::newRow("main screen with a session") << "session" << kMainShown + Ids{cmd::kCancelProcessing};
    QTest::newRow("status screen, everything set")
        << "status multiple marked original row items focus one.mvr session"
        << Ids{cmd::kSortByName, cmd::kProperties, cmd::kReconstructNow, cmd::kCancelProcessing};
  }
  void enabling() {
    QFETCH(QString, state);
    QFETCH(Ids, enabled);
    m_pActions->Apply(State(state));
    for (unsigned id : kDepending) {
      QVERIFY2(m_pActions->Action(id)->isEnabled() == enabled.contains(id), qPrintable(QString::number(id)));
    }
    for (unsigned id : kAlways) QVERIFY2(m_pActions->Action(id)->isEnabled(), qPrintable(QString::number(id)));
  }

  void textsAndMarks_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<unsigned>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checked");
    QTest::newRow("select, disabled") << "" << cmd::kSelect << "&Select\tSpace" << false;
    QTest::newRow("select, construct") << "focus one.txt" << cmd::kSelect << "&Select  Modified\tSpace/Ctrl+M" << false;
    QTest::newRow("select, reconstruct")
        << "reconstruct focus one.mvr" << cmd::kSelect << "&Select Difference\tSpace/Ctrl+D" << false;
    QTest::newRow("exit, idle") << "" << cmd::kExit << "E&xit\tAlt+F4" << false;
    QTest::newRow("exit, sessions") << "session" << cmd::kExit << "E&xit...\tAlt+F4" << false;
    QTest::newRow("sort order, ascending") << "" << cmd::kSortOrder << "S&ort Decending" << false;
    QTest::newRow("sort order, descending") << "descending" << cmd::kSortOrder << "S&ort Accending" << false;
    QTest::newRow("tree, closed folder") << "tree" << cmd::kTreeOpen << "&Open" << false;
    QTest::newRow("tree, open folder") << "tree expanded" << cmd::kTreeOpen << "&Collapse" << false;
    QTest::newRow("construct mode") << "" << cmd::kConstruct << "&Construct" << true;
    QTest::newRow("reconstruct mode") << "reconstruct" << cmd::kReconstruct << "&Reconstruct" << true;
    QTest::newRow("single file mode") << "" << cmd::kSingleFile << "&Single File" << true;
    QTest::newRow("multiple files mode") << "multiple" << cmd::kMultipleFiles << "&Multiple Files" << true;
    QTest::newRow("status screen") << "status" << cmd::kScreenStatus << "File &Processing Status" << true;
    QTest::newRow("sorted by size") << "bysize" << cmd::kSortBySize << "By &Size" << true;
  }
  void textsAndMarks() {
    QFETCH(QString, state);
    QFETCH(unsigned, id);
    QFETCH(QString, text);
    QFETCH(bool, checked);
    m_pActions->Apply(State(state));
    QCOMPARE(m_pActions->Action(id)->text(), text);
    QCOMPARE(m_pActions->Action(id)->isChecked(), checked);
  }

  // Radio items are drawn as radio items: each set is one exclusive group,
  // and exactly one of a set is checked.
  void radioSets() {
    m_pActions->Apply(State(QStringLiteral("reconstruct multiple status bysize")));
    const QList<Ids> sets = {{cmd::kScreenMain, cmd::kScreenStatus},
                             {cmd::kSortByName, cmd::kSortBySize, cmd::kSortByType, cmd::kSortByDate},
                             {cmd::kConstruct, cmd::kReconstruct},
                             {cmd::kSingleFile, cmd::kMultipleFiles},
                             kConstructions};
    for (const Ids& set : sets) {
      QActionGroup* group = m_pActions->Action(set.front())->actionGroup();
      QVERIFY(group != nullptr);
      QVERIFY(group->isExclusive());
      int checked = 0;
      for (unsigned id : set) {
        QCOMPARE(m_pActions->Action(id)->actionGroup(), group);
        checked += m_pActions->Action(id)->isChecked() ? 1 : 0;
      }
      QCOMPARE(checked, 1);
    }
  }

  // The Mode menu: the written items, then the three ways to construct,
  // Standard marked until the user picks another.
  void modeMenuEndsWithTheConstructions() {
    QMenuBar bar;
    m_pActions->FillMenuBar(&bar);
    QMenu* mode = nullptr;
    for (QAction* top : bar.actions()) {
      if (top->text() == QLatin1String("&Mode")) mode = top->menu();
    }
    QVERIFY(mode != nullptr);
    QStringList items;
    for (const QAction* a : mode->actions()) {
      items << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isChecked() ? QStringLiteral("*") : QString()));
    }
    QCOMPARE(items, (QStringList{"&Construct", "&Reconstruct", "-", "&Single File", "&Multiple Files", "-",
                                 "St&andard Construction*", "&Fast Construction", "&Thorough Construction"}));
    QCOMPARE(m_pActions->ConstructionChoice(), EConstructionChoice::standard);
    const QStringList tips = {QStringLiteral("Construct difference files the standard way"),
                              QStringLiteral("Construct faster, files no larger"),
                              QStringLiteral("Look hardest for matches: smallest files, slower construction")};
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(m_pActions->Action(kConstructions[i])->statusTip(), tips[i]);
      QCOMPARE(mode->actions()[6 + i], m_pActions->Action(kConstructions[i]));
    }
    // The mode's own marks do not move the choice.
    m_pActions->Apply(State(QStringLiteral("reconstruct multiple")));
    m_pActions->Apply(State(QStringLiteral("noscreens")));
    QVERIFY(m_pActions->Action(cmd::kStandardConstruction)->isChecked());
  }

  void choiceOutlivesTheProgram_data() {
    QTest::addColumn<unsigned>("picked");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<EConstructionChoice>("choice");
    QTest::newRow("fast") << cmd::kFastConstruction << "fast" << EConstructionChoice::fast;
    QTest::newRow("thorough") << cmd::kThoroughConstruction << "thorough" << EConstructionChoice::thorough;
    QTest::newRow("back to standard") << cmd::kStandardConstruction << "standard" << EConstructionChoice::standard;
  }
  void choiceOutlivesTheProgram() {
    QFETCH(unsigned, picked);
    QFETCH(QString, stored);
    QFETCH(EConstructionChoice, choice);
    if (picked == cmd::kStandardConstruction) m_pActions->Action(cmd::kFastConstruction)->trigger();
    m_pActions->Action(picked)->trigger();
    QCOMPARE(m_pActions->ConstructionChoice(), choice);
    m_pActions.reset();
    QCOMPARE(Settings().value(QString::fromLatin1(settings::kConstructionKey)).toString(), stored);
    m_pActions = std::make_unique<CQorvexActions>(nullptr);
    QCOMPARE(m_pActions->ConstructionChoice(), choice);
    QVERIFY(m_pActions->Action(picked)->isChecked());
  }

  // What another version may have stored, or a hand edit: Standard.
  void unknownStoredChoiceIsStandard() {
    for (const QString& value : {QStringLiteral("superfast"), QStringLiteral("Thorough"), QString()}) {
      m_pActions.reset();
      Settings().setValue(QString::fromLatin1(settings::kConstructionKey), value);
      m_pActions = std::make_unique<CQorvexActions>(nullptr);
      QCOMPARE(m_pActions->ConstructionChoice(), EConstructionChoice::standard);
      QVERIFY(m_pActions->Action(cmd::kStandardConstruction)->isChecked());
    }
  }

  void contextMenus_data() {
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("dirView");  // text, then "+" when enabled; separators as "-"
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("nothing highlighted")
        << "" << QStringList{"&Select\tSpace", "Select &Original\tShift+Space/Ctrl+O", "-", "&Reconstruct Now", "-",
                             "&Properties..."}
        << QStringList{"&Open"};
    QTest::newRow("a modified file, focus in the list")
        << "focus one.txt"
        << QStringList{"&Select  Modified\tSpace/Ctrl+M+", "Select &Original\tShift+Space/Ctrl+O+", "-",
                       "&Reconstruct Now", "-", "&Properties..."}
        << QStringList{"&Open"};
    QTest::newRow("a difference file, reconstruct")
        << "reconstruct focus one.mvr"
        << QStringList{"&Select Difference\tSpace/Ctrl+D+", "Select &Original\tShift+Space/Ctrl+O+", "-",
                       "&Reconstruct Now+", "-", "&Properties...+"}
        << QStringList{"&Open"};
    QTest::newRow("two difference files") << "two.mvr"
                                          << QStringList{"&Select\tSpace", "Select &Original\tShift+Space/Ctrl+O", "-",
                                                         "&Reconstruct Now+", "-", "&Properties..."}
                                          << QStringList{"&Open"};
    QTest::newRow("tree, open folder")
        << "tree expanded"
        << QStringList{"&Select\tSpace", "Select &Original\tShift+Space/Ctrl+O", "-", "&Reconstruct Now", "-",
                       "&Properties..."}
        << QStringList{"&Collapse+"};
  }
  void contextMenus() {
    QFETCH(QString, state);
    QFETCH(QStringList, dirView);
    QFETCH(QStringList, tree);
    m_pActions->Apply(State(state));
    auto shown = [](const QMenu* menu) {
      QStringList items;
      for (const QAction* a : menu->actions()) {
        items << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isEnabled() ? QStringLiteral("+") : QString()));
      }
      return items;
    };
    QCOMPARE(shown(m_pActions->DirViewMenu()), dirView);
    QCOMPARE(shown(m_pActions->TreeMenu()), tree);
    // The menus hold the commands themselves, not copies of their texts.
    QCOMPARE(m_pActions->DirViewMenu()->actions().front(), m_pActions->Action(cmd::kSelect));
    QCOMPARE(m_pActions->DirViewMenu()->defaultAction(), m_pActions->Action(cmd::kSelect));
    QCOMPARE(m_pActions->TreeMenu()->defaultAction(), m_pActions->Action(cmd::kTreeOpen));
  }

 private:
  QTemporaryDir m_Settings;
  std::unique_ptr<CQorvexActions> m_pActions;
};

QTEST_MAIN(QorvexActionsTest)
#include "QorvexActionsTest.moc"
