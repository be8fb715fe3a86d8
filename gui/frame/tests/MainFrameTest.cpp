// The main frame over a stand-in Main Interface: which commands are enabled
// when, what the mode commands do, the status line and bar, the automatic
// return, the command-line file, Reconstruct Now and exit.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWhatsThis>
#include <memory>

#include "FakeMainScreen.h"
#include "frame/AboutDialog.h"
#include "frame/MainFrame.h"
#include "frame/Tarvo2App.h"
#include "JobFiles.h"
#include "MessageSteps.h"
#include "ModalScript.h"
#include "process/ProcessView.h"
#include "process/ProgressViewDialog.h"
#include "process/Tarvo2Engine.h"
#include "RecordedNames.h"
#include "strings/CommandIds.h"

using namespace qorvex;

namespace {

using Ids = QList<unsigned>;

// The commands whose enabling depends on the screens and the modes.
const Ids kChecked = {cmd::kStartProcessing, cmd::kSelect,     cmd::kSelectOriginal, cmd::kReverseSelection,
                      cmd::kClearSelection,  cmd::kClearOriginal, cmd::kClearAll,     cmd::kAddFiles,
                      cmd::kRefresh,         cmd::kConstruct,  cmd::kMultipleFiles,  cmd::kMarkedInFront,
                      cmd::kSortOrder,       cmd::kProperties, cmd::kReconstructNow, cmd::kCancelProcessing,
                      cmd::kThoroughConstruction};
const Ids kMainShownOnly = {cmd::kRefresh,   cmd::kConstruct, cmd::kMultipleFiles, cmd::kMarkedInFront,
                            cmd::kSortOrder, cmd::kThoroughConstruction};

bool WaitFor(const std::function<bool()>& done, int ms = 60000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QTest::qWait(10);
  return done();
}

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  // The user's own settings (the construction choice) stay out of reach.
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_Settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_Settings.path());
  }
  void init() {
    m_Frame = std::make_unique<CMainFrame>([this](CMainFrame*, QWidget* parent) {
      m_Screen = new FakeMainScreen(parent);
      return m_Screen;
    });
    QVERIFY(m_Frame->Create());
    QVERIFY(m_Frame->CreateScreens());
    m_View = m_Frame->GetProcessView();
  }
  void cleanup() {
    m_Frame.reset();
    m_Screen = nullptr;
  }

  void commandEnabling_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<Ids>("enabled");
    QTest::newRow("single, empty") << 0 << "" << kMainShownOnly;
    QTest::newRow("single, three fields") << 0 << "fields" << kMainShownOnly + Ids{cmd::kStartProcessing, cmd::kClearAll};
    QTest::newRow("single, one field") << 0 << "input" << kMainShownOnly + Ids{cmd::kClearAll};
    QTest::newRow("multiple construct, marked, no original")
        << 0 << "multiple marked items" << kMainShownOnly + Ids{cmd::kClearSelection, cmd::kClearAll, cmd::kReverseSelection};
    QTest::newRow("multiple construct, marked, original, a row")
        << 0 << "multiple marked original row"
        << kMainShownOnly + Ids{cmd::kClearSelection, cmd::kClearOriginal, cmd::kClearAll, cmd::kAddFiles,
                                cmd::kStartProcessing};
    QTest::newRow("multiple reconstruct, marked, no original")
        << 0 << "multiple reconstruct marked" << kMainShownOnly + Ids{cmd::kClearSelection, cmd::kClearAll, cmd::kAddFiles};
    QTest::newRow("focus in the view, one .mvr highlighted")
        << 0 << "focus one.mvr"
        << kMainShownOnly + Ids{cmd::kSelect, cmd::kSelectOriginal, cmd::kProperties, cmd::kReconstructNow};
    QTest::newRow("two .mvr highlighted") << 0 << "focus two.mvr"
                                          << kMainShownOnly + Ids{cmd::kSelect, cmd::kSelectOriginal, cmd::kReconstructNow};
    QTest::newRow("a .txt highlighted") << 0 << "focus one.txt" << kMainShownOnly + Ids{cmd::kSelect, cmd::kSelectOriginal};
    QTest::newRow("status screen, everything set")
        << 1 << "multiple marked original row items focus one.mvr session" << Ids{cmd::kProperties, cmd::kReconstructNow, cmd::kCancelProcessing};
    QTest::newRow("main screen with a session") << 0 << "session" << kMainShownOnly + Ids{cmd::kCancelProcessing};
  }
  void commandEnabling() {
    QFETCH(int, screen);
    QFETCH(QString, setup);
    QFETCH(Ids, enabled);
    const QStringList words = setup.split(QLatin1Char(' '));
    FakeMainScreen& s = *m_Screen;
    if (words.contains("fields")) s.input = s.originalField = s.output = QStringLiteral("x");
    if (words.contains("input")) s.input = QStringLiteral("x");
    if (words.contains("multiple")) s.multiple = true;
    if (words.contains("reconstruct")) s.construct = false;
    if (words.contains("marked")) s.marked = 2;
    if (words.contains("original")) s.original = true;
    if (words.contains("row")) s.AddSelection(CTarvoTaskEntry("a", "b", "c"));
    if (words.contains("items")) s.items = QStringList{QStringLiteral("a")};
    if (words.contains("focus")) s.dirFocused = s.focusedHighlighted = true;
    if (words.contains("one.mvr")) s.highlightedPaths = {QStringLiteral("/d/a.MVR")};
    if (words.contains("two.mvr")) s.highlightedPaths = {QStringLiteral("/d/a.mvr"), QStringLiteral("/d/b.mvr")};
    if (words.contains("one.txt")) s.highlightedPaths = {QStringLiteral("/d/a.txt")};
    if (words.contains("session")) m_View->InsertSessionRow(new CTarvo2Engine(m_View), 1);
    m_Frame->SwitchToScreen(screen, true);
    m_Frame->UpdateCommands();
    for (unsigned id : kChecked) {
      QVERIFY2(m_Frame->Command(id)->isEnabled() == enabled.contains(id), qPrintable(QString::number(id)));
    }
  }

  void changingTexts() {
    auto text = [this](unsigned id) { return m_Frame->Command(id)->text(); };
    m_Screen->dirFocused = true;
    m_Screen->highlightedPaths = {QStringLiteral("/d/a")};
    m_Frame->UpdateCommands();
    QCOMPARE(text(cmd::kSelect), QStringLiteral("&Select  Modified\tSpace/Ctrl+M"));
    QCOMPARE(text(cmd::kSortOrder), QStringLiteral("S&ort Decending"));
    QCOMPARE(text(cmd::kExit), QStringLiteral("E&xit\tAlt+F4"));
    m_Screen->construct = false;
    m_Screen->ascending = false;
    m_View->InsertSessionRow(new CTarvo2Engine(m_View), 1);
    m_Frame->UpdateCommands();
    QCOMPARE(text(cmd::kSelect), QStringLiteral("&Select Difference\tSpace/Ctrl+D"));
    QCOMPARE(text(cmd::kSortOrder), QStringLiteral("S&ort Accending"));
    QCOMPARE(text(cmd::kExit), QStringLiteral("E&xit...\tAlt+F4"));
  }

  void modeCommands() {
    FakeMainScreen& s = *m_Screen;
    s.input = s.originalField = s.output = QStringLiteral("x");
    s.AddSelection(CTarvoTaskEntry("a", "b", "c"));
    QVERIFY(m_Frame->SendCommand(cmd::kReconstruct));
    QVERIFY(!s.construct);
    QCOMPARE(s.constructFlagSets, 1);
    QCOMPARE(s.SelectionCount(), 0);
    QCOMPARE(s.input + s.originalField + s.output, QString());

    // Multiple Files leaves the fields; Single File then empties all three
    // but the Output field, which it empties only when already in Single mode.
    s.input = s.originalField = s.output = QStringLiteral("y");
    s.marked = 1;
    s.original = true;
    QVERIFY(m_Frame->SendCommand(cmd::kMultipleFiles));
    QVERIFY(s.multiple);
    QCOMPARE(s.marked, 0);
    QVERIFY(!s.original);
    QCOMPARE(s.input, QStringLiteral("y"));
    QVERIFY(m_Frame->SendCommand(cmd::kSingleFile));
    QVERIFY(!s.multiple);
    QCOMPARE(s.input + s.originalField, QString());
    QCOMPARE(s.output, QStringLiteral("y"));
    QVERIFY(m_Frame->SendCommand(cmd::kConstruct));  // again, even in the same mode
    QVERIFY(m_Frame->SendCommand(cmd::kConstruct));
    QCOMPARE(s.constructFlagSets, 3);
    QCOMPARE(s.output, QString());

    m_Frame->SwitchToScreen(1, false);
    QVERIFY(!m_Frame->SendCommand(cmd::kReconstruct));
    QVERIFY(s.construct);
    emit m_Frame->ViewMenu()->aboutToShow();
    QVERIFY(!m_Frame->SortFilesMenu()->menuAction()->isEnabled());
    m_Frame->SwitchToScreen(0, false);
    emit m_Frame->ViewMenu()->aboutToShow();
    QVERIFY(m_Frame->SortFilesMenu()->menuAction()->isEnabled());
  }

  // The choice made in the Mode menu is how the next session constructs;
  // the session already running keeps its own.
  void constructionChoiceReachesTheSession() {
    enginetest::JobFiles files;
    const enginetest::Job jobs[] = {files.Make("fast", 3), files.Make("thorough", 4)};
    const struct {
      unsigned command;
      const char* mode;
    } picks[] = {{cmd::kFastConstruction, "Constructing (fast)"}, {cmd::kThoroughConstruction, "Constructing (thorough)"}};
    for (int i = 0; i < 2; ++i) {
      m_Frame->SwitchToScreen(0, false);
      QVERIFY(m_Frame->SendCommand(picks[i].command));
      m_Screen->input = QString::fromStdString(jobs[i].modified);
      m_Screen->originalField = QString::fromStdString(jobs[i].original);
      m_Screen->output = QString::fromStdString(jobs[i].delta);
      QVERIFY(m_Frame->SendCommand(cmd::kStartProcessing));
      QCOMPARE(m_View->topLevelItem(m_View->SessionCount() - 1)->text(0), QString::fromLatin1(picks[i].mode));
    }
    QCOMPARE(m_View->topLevelItem(0)->text(0), QStringLiteral("Constructing (fast)"));
    QVERIFY(WaitFor([this] { return m_View->SessionCount() == 0; }));
    for (const auto& job : jobs) QVERIFY(files.DeltaRebuildsModified(job));
    // The next tests start from the standard way.
    m_Frame->SwitchToScreen(0, false);
    QVERIFY(m_Frame->SendCommand(cmd::kStandardConstruction));
  }

  void statusLineAndBar_data() {
    QTest::addColumn<uint>("total");
    QTest::addColumn<uint>("done");
    QTest::addColumn<int>("bar");
    QTest::newRow("total 0") << 0u << 500u << 0;
    QTest::newRow("half") << 1000u << 500u << 160;
    QTest::newRow("a third, truncated") << 3u << 1u << 106;
    QTest::newRow("done beyond total") << 1000u << 2000u << 320;
  }
  void statusLineAndBar() {
    QFETCH(uint, total);
    QFETCH(uint, done);
    QFETCH(int, bar);
    auto* engine = new CTarvo2Engine(m_View);
    CTarvoTaskEntry entry("o", "d", "out");
    entry.SetOutputFileSize(total == 0 ? kTflUnknownSize : total);
    engine->GetEntryArrayPtr()->AddCopy(&entry);
    m_View->InsertSessionRow(engine, 2);
    engine->OnStartProcessing();
    engine->OnStartFile(0);
    engine->OnProgressReport(0, done, total);
    m_Frame->OnStatusTimer();
    QVERIFY(m_Frame->ProgressBar()->isVisibleTo(m_Frame.get()));
    QCOMPARE(m_Frame->ProgressBar()->value(), bar);
    QCOMPARE(m_Frame->StatusText(), QStringLiteral("Processing 'out'"));
    QCOMPARE(engine->IsChanged(), 0);

    engine->OnFinishedProcessing();
    m_Frame->OnStatusTimer();
    QVERIFY(m_Frame->ProgressBar()->isHidden());
    QCOMPARE(m_Frame->ProgressBar()->value(), 0);
    QCOMPARE(m_Frame->StatusText(), QStringLiteral("For Help, press F1"));
  }

  // The line goes back to the idle prompt whatever hid the bar first: help
  // mode, a menu, or a job that failed and emptied its file name.
  void statusLineBackToThePrompt_data() {
    QTest::addColumn<QString>("steps");
    QTest::newRow("help mode during the session, left after it") << "help tick end leave tick";
    QTest::newRow("help mode after the session") << "tick end help tick leave tick";
    QTest::newRow("menu opened, then the session ends") << "tick menu end tick";
    QTest::newRow("failed job, menu, end") << "failed tick menu end tick";
  }
  void statusLineBackToThePrompt() {
    QFETCH(QString, steps);
    auto* engine = new CTarvo2Engine(m_View);
    CTarvoTaskEntry entry("o", "d", "out");
    engine->GetEntryArrayPtr()->AddCopy(&entry);
    m_View->InsertSessionRow(engine, 2);
    engine->OnStartProcessing();
    engine->OnStartFile(0);
    engine->OnProgressReport(0, 10, 100);
    for (const QString& step : steps.split(QLatin1Char(' '))) {
      if (step == QLatin1String("tick")) m_Frame->OnStatusTimer();
      if (step == QLatin1String("help")) QWhatsThis::enterWhatsThisMode();
      if (step == QLatin1String("leave")) QWhatsThis::leaveWhatsThisMode();
      if (step == QLatin1String("menu")) emit m_Frame->ViewMenu()->aboutToShow();
      if (step == QLatin1String("failed")) engine->OnFinishedFile(0);
      if (step == QLatin1String("end")) engine->OnFinishedProcessing();
    }
    QCOMPARE(m_Frame->StatusText(), QStringLiteral("For Help, press F1"));
    QVERIFY(m_Frame->ProgressBar()->isHidden());
  }

  // No tick between: the commands follow the sessions as they come and go.
  void commandsFollowTheSessions() {
    QAction* cancel = m_Frame->Command(cmd::kCancelProcessing);
    QAction* exit = m_Frame->Command(cmd::kExit);
    QVERIFY(!cancel->isEnabled());
    auto* engine = new CTarvo2Engine(m_View);
    m_View->InsertSessionRow(engine, 1);
    QVERIFY(cancel->isEnabled());
    QCOMPARE(exit->text(), QStringLiteral("E&xit...\tAlt+F4"));
    engine->OnFinishedProcessing();
    QVERIFY(!cancel->isEnabled());
    QCOMPARE(exit->text(), QStringLiteral("E&xit\tAlt+F4"));
  }

  // Cancel... asked while the status screen shows the one session, which
  // ends before the answer: the screen stays until the question is gone,
  // Yes cancels nothing (not even a session started meanwhile) and says so.
  void cancelAnsweredAfterTheSessionEnded() {
    auto* asked = new CTarvo2Engine(m_View);
    m_View->InsertSessionRow(asked, 1);
    m_Frame->SwitchToScreen(1, true);
    m_Frame->OnStatusTimer();
    CTarvo2Engine* later = nullptr;
    int screenBehindTheQuestion = -1;
    SeenMessage told;
    ModalStep endThenYes = Answer(QMessageBox::Yes);
    endThenYes.act = [&, yes = endThenYes.act](QWidget* box) {
      asked->OnFinishedProcessing();
      m_Frame->OnStatusTimer();
      screenBehindTheQuestion = m_Frame->CurrentScreen();
      later = new CTarvo2Engine(m_View);
      m_View->InsertSessionRow(later, 1);
      yes(box);
    };
    ModalScript script({endThenYes, Answer(QMessageBox::Ok, &told)});
    QVERIFY(m_Frame->SendCommand(cmd::kCancelProcessing));
    QVERIFY(script.Finished());
    QCOMPARE(screenBehindTheQuestion, 1);
    QCOMPARE(told.text, CProcessView::SessionsEndedText());
    QVERIFY(later != nullptr && !later->IsCanceled());
  }

  void automaticReturn_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("refreshes");
    QTest::addColumn<bool>("tickWhileRunning");
    QTest::newRow("status screen shown: back with a refresh") << 1 << 1 << true;
    QTest::newRow("main screen shown: a beep only") << 0 << 0 << true;
    QTest::newRow("a session over between two ticks") << 1 << 1 << false;
  }
  void automaticReturn() {
    QFETCH(int, screen);
    QFETCH(int, refreshes);
    QFETCH(bool, tickWhileRunning);
    auto* engine = new CTarvo2Engine(m_View);
    m_View->InsertSessionRow(engine, 1);
    m_Frame->SwitchToScreen(screen, true);
    if (tickWhileRunning) m_Frame->OnStatusTimer();  // sees the session
    engine->OnFinishedProcessing();
    m_Frame->OnStatusTimer();
    QTest::qWait(20);  // the refresh is posted
    QCOMPARE(m_Frame->CurrentScreen(), 0);
    QCOMPARE(m_Screen->refreshes, refreshes);
    m_Frame->OnStatusTimer();
    QTest::qWait(20);
    QCOMPARE(m_Screen->refreshes, refreshes);
  }

  void commandLineFileThatIsNoDifferenceFile() {
    enginetest::JobFiles files;
    const enginetest::Job job = files.Make("plain", 3);
    m_Frame->SetCommandLineFile(QString::fromStdString(job.modified));
    SeenMessage seen;
    {
      ModalScript script({Answer(QMessageBox::Ok, &seen)});
      m_Frame->OnStatusTimer();
      QVERIFY(script.Finished());
    }
    QCOMPARE(seen.text, QStringLiteral("Error: invalid delta file format!"));
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
    m_Frame->OnStatusTimer();  // offered once only
    QCOMPARE(seen.count, 1);
    QCOMPARE(m_View->SessionCount(), 0);
  }

  void commandLineFileWithAnExistingOutput_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No leaves everything") << false;
    QTest::newRow("Yes rebuilds it") << true;
  }
  void commandLineFileWithAnExistingOutput() {
    QFETCH(bool, yes);
    enginetest::JobFiles files;
    const enginetest::Job job = files.MakeWithDelta("cmd", 9);  // records job.modified, which exists
    const testsupport::Bytes modified = job.modifiedBytes;
    testsupport::WriteFile(job.modified, {'s', 't', 'a', 'l', 'e'});
    m_Frame->SetCommandLineFile(QString::fromStdString(job.delta));
    m_Screen->input = QStringLiteral("typed");
    SeenMessage seen;
    {
      ModalScript script({Answer(yes ? QMessageBox::Yes : QMessageBox::No, &seen)});
      m_Frame->OnStatusTimer();
      QVERIFY(script.Finished());
    }
    QCOMPARE(seen.text, QStringLiteral("Choosing an already existing file\nas an output file will overwrite it.\n\n"
                                       "Do you want to proceed with the file\n\n%1 ?")
                            .arg(QString::fromStdString(job.modified)));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    if (!yes) {
      QCOMPARE(m_Screen->input, QStringLiteral("typed"));
      QVERIFY(m_Screen->construct);
      QVERIFY(!m_Screen->multiple);
      QCOMPARE(m_View->SessionCount(), 0);
      m_Frame->OnStatusTimer();
      QCOMPARE(seen.count, 1);
      QCOMPARE(testsupport::ReadFile(job.modified), (testsupport::Bytes{'s', 't', 'a', 'l', 'e'}));
      return;
    }
    QVERIFY(!m_Screen->construct);
    QCOMPARE(m_Frame->CurrentScreen(), 1);
    QVERIFY(WaitFor([this] { return m_View->SessionCount() == 0; }));
    QCOMPARE(testsupport::ReadFile(job.modified), modified);
  }

  // A difference file's recorded modified name, reconstructed from the
  // command line (named relative to the folder the program was started in,
  // which the browser leaves later) or from the Single File fields as the
  // Main Interface fills them from a chosen difference file.
  void recordedName_data() {
    QTest::addColumn<bool>("commandLine");
    QTest::addColumn<int>("name");
    QTest::addColumn<bool>("yes");
    const auto& names = recordedtest::RecordedNames();
    for (const bool commandLine : {true, false}) {
      for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const QString row = QStringLiteral("%1, %2").arg(commandLine ? "command line" : "fields", names[i].what);
        QTest::newRow(qPrintable(row)) << commandLine << i << false;
        // Yes replaces the entry itself, a link as the link: what it points to
        // must stay as it was (Changes() would show it).
        if (names[i].fate == recordedtest::Fate::Taken) {
          QTest::newRow(qPrintable(row + QStringLiteral(", Yes"))) << commandLine << i << true;
        }
      }
    }
  }
  void recordedName() {
    QFETCH(bool, commandLine);
    QFETCH(int, name);
    QFETCH(bool, yes);
    using recordedtest::Fate;
    const recordedtest::RecordedName& recorded = recordedtest::RecordedNames()[static_cast<std::size_t>(name)];
    testsupport::Sandbox box;
    const recordedtest::Scene scene(box.Root(), recorded);
    FakeMainScreen& s = *m_Screen;
    if (commandLine) {
      const recordedtest::WorkingFolder started(scene.Folder());
      m_Frame->SetCommandLineFile(QStringLiteral("evil.mvr"));
    } else {
      CTarvoTaskEntry chosen(nullptr, scene.Delta().c_str(), nullptr);
      QVERIFY(chosen.CompleteTargetOutput());
      s.construct = false;
      s.input = QString::fromStdString(scene.Delta());
      s.originalField = QFile::decodeName(QByteArray::fromStdString(chosen.GetReferenceFile()));
      s.SetRecordedOutputField(QFile::decodeName(QByteArray::fromStdString(chosen.GetOutputFile())));
    }
    const recordedtest::WorkingFolder browsed(scene.Path("cwd"));
    SeenMessage seen;
    ModalScript script({Answer(yes ? QMessageBox::Yes : QMessageBox::No, &seen)});
    if (commandLine) {
      m_Frame->OnStatusTimer();
    } else {
      QVERIFY(m_Frame->SendCommand(cmd::kStartProcessing));
    }
    QVERIFY(WaitFor([&] { return m_View->SessionCount() == 0 && (recorded.fate == Fate::Created || script.Finished()); }));

    switch (recorded.fate) {
      case Fate::Created:
        QCOMPARE(seen.count, 0);
        QVERIFY(scene.CreatedHoldsTheModifiedFile());
        break;
      case Fate::Refused:  // not asked about; the core's refusal is reported as any failed job
        QCOMPARE(seen.count, 1);
        QVERIFY2(seen.text.startsWith(QStringLiteral("Error in ")), qPrintable(seen.text));
        QVERIFY(seen.text.endsWith(QStringLiteral(":\n\nCannot create the new modified file")));
        break;
      case Fate::Taken:
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.text, QStringLiteral("Choosing an already existing file\nas an output file will overwrite it.\n\n"
                                           "Do you want to proceed with the file\n\n%1 ?")
                                .arg(QString::fromStdString(scene.TakenPath())));
        break;
    }
    if (recorded.fate == Fate::Taken && yes) {
      const std::string taken = scene.TakenPath();
      QCOMPARE(scene.Changes(), std::vector<std::string>{"~ d/" + taken.substr(taken.rfind('/') + 1)});
      QCOMPARE(testsupport::ReadFile(taken), recordedtest::kModified);
    } else {
      QCOMPARE(scene.Changes(), scene.ExpectedChanges());
    }
    // No: nothing started, and the fields are as they were.
    if (recorded.fate == Fate::Taken && !yes) {
      QCOMPARE(m_Frame->CurrentScreen(), 0);
      QCOMPARE(s.construct, commandLine);
    }
  }

  // Only the names before the first one that has gone are highlighted again;
  // the one rebuilt output that exists is named in one question.
  void reconstructNow_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("existing output kept on No") << false;
    QTest::newRow("replaced on Yes") << true;
  }
  void reconstructNow() {
    QFETCH(bool, yes);
    enginetest::JobFiles files;
    const enginetest::Job a = files.MakeWithDelta("a", 21);
    const enginetest::Job c = files.MakeWithDelta("c", 23);
    testsupport::WriteFile(a.modified, {'o', 'l', 'd'});
    FakeMainScreen& s = *m_Screen;
    s.dir = QString::fromStdString(files.box.Root());
    s.items = {QStringLiteral("a.mvr"), QStringLiteral("c.mvr")};
    s.highlightedTexts = {QStringLiteral("a.mvr"), QStringLiteral("b.mvr"), QStringLiteral("c.mvr")};
    s.highlightedPaths = {s.dir + QStringLiteral("/a.mvr"), s.dir + QStringLiteral("/b.mvr"),
                          s.dir + QStringLiteral("/c.mvr")};
    SeenMessage seen;
    {
      ModalScript script({Answer(yes ? QMessageBox::Yes : QMessageBox::No, &seen)});
      QVERIFY(m_Frame->SendCommand(cmd::kReconstructNow));
      QVERIFY(script.Finished());
    }
    QVERIFY(!s.construct);
    QVERIFY(s.multiple);
    QCOMPARE(s.rehighlighted, QStringList{QStringLiteral("a.mvr")});
    QCOMPARE(seen.count, 1);
    QVERIFY(seen.text.contains(QString::fromStdString(a.modified)));
    if (!yes) {
      QCOMPARE(m_View->SessionCount(), 0);
      QCOMPARE(s.SelectionCount(), 1);  // still queued, for another name
      QCOMPARE(testsupport::ReadFile(a.modified), (testsupport::Bytes{'o', 'l', 'd'}));
      return;
    }
    QVERIFY(WaitFor([this] { return m_View->SessionCount() == 0; }));
    QCOMPARE(testsupport::ReadFile(a.modified), a.modifiedBytes);
    (void)c;
  }

  // Single File: an Output field naming an existing file is replaced only on Yes.
  void startAsksBeforeReplacingTheOutput() {
    enginetest::JobFiles files;
    const enginetest::Job job = files.Make("single", 5);
    testsupport::WriteFile(job.delta, {'o', 'l', 'd'});
    m_Screen->input = QString::fromStdString(job.modified);
    m_Screen->originalField = QString::fromStdString(job.original);
    m_Screen->output = QString::fromStdString(job.delta);
    SeenMessage seen;
    {
      ModalScript script({Answer(QMessageBox::No, &seen)});
      QVERIFY(m_Frame->SendCommand(cmd::kStartProcessing));
      QVERIFY(script.Finished());
    }
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QVERIFY(seen.text.endsWith(QString::fromStdString(job.delta) + QStringLiteral(" ?")));
    QCOMPARE(m_View->SessionCount(), 0);
    QCOMPARE(m_Screen->output, QString::fromStdString(job.delta));
    QCOMPARE(testsupport::ReadFile(job.delta), (testsupport::Bytes{'o', 'l', 'd'}));
    {
      ModalScript script({Answer(QMessageBox::Yes)});
      QVERIFY(m_Frame->SendCommand(cmd::kStartProcessing));
      QVERIFY(script.Finished());
    }
    QCOMPARE(m_Frame->CurrentScreen(), 1);
    QVERIFY(WaitFor([this] { return m_View->SessionCount() == 0; }));
    QVERIFY(files.DeltaRebuildsModified(job));
  }

  // The viewer is looked for next to the program; a test binary has none.
  void propertiesWithoutTheViewer() {
    m_Screen->highlightedPaths = {QStringLiteral("/d/a.mvr")};
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::Ok, &seen)});
    QVERIFY(m_Frame->SendCommand(cmd::kProperties));
    QVERIFY(script.Finished());
    QCOMPARE(seen.text, QStringLiteral("Failed to launch MvrView.exe !"));
    QCOMPARE(seen.icon, QMessageBox::Critical);
  }

  void aboutBox() {
    CAboutDialog about(m_Frame.get());
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("Version 1.00.02"));
    QVERIFY(!about.findChild<QLabel*>(QStringLiteral("picture"))->pixmap().isNull());
  }

  void helpContextOfTheStatusScreen() {
    m_Frame->show();
    m_Frame->SwitchToScreen(1, false);
    CProgressViewDialog* status = m_Frame->GetProgressDialog();
    QCOMPARE(status->HelpContextAt(status->MainInterfaceButton()), 0x50000u + 1031u);
    QCOMPARE(status->HelpContextAt(status->CancelButton()), 0x50000u + 1030u);
    QCOMPARE(status->HelpContextAt(nullptr), 0x20000u + 142u);
  }

  void exitWhileASessionRuns() {
    auto* engine = new CTarvo2Engine(m_View);
    m_View->InsertSessionRow(engine, 1);
    SeenMessage seen;
    {
      ModalScript script({Answer(QMessageBox::No, &seen)});
      QVERIFY(!m_Frame->BeginExit());
      QVERIFY(script.Finished());
    }
    QCOMPARE(seen.text, QStringLiteral("Mendivar is still processing files.\n\nDo you want to exit anyway?"));
    QVERIFY(!m_Frame->IsExiting());
    {
      ModalScript script({Answer(QMessageBox::Yes)});
      QVERIFY(m_Frame->BeginExit());
      QVERIFY(script.Finished());
    }
    QVERIFY(m_Frame->IsExiting());
    QVERIFY(engine->IsCanceled());
    QVERIFY(m_Screen->released);
    m_Frame->OnStatusTimer();
    QCOMPARE(m_Frame->StatusText(), QStringLiteral("Exiting..."));
    QVERIFY(!m_Frame->NoSessionsLeft());
    engine->OnFinishedProcessing();
    QVERIFY(m_Frame->NoSessionsLeft());
  }

 private:
  QTemporaryDir m_Settings;
  std::unique_ptr<CMainFrame> m_Frame;
  FakeMainScreen* m_Screen = nullptr;
  CProcessView* m_View = nullptr;
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
