// The status list and the GUI's engine hooks, played event by event on
// real rows, then whole sessions started the way Start Processing does.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "CraftedDelta.h"
#include "FakeHost.h"
#include "FakeMainScreen.h"
#include "JobFiles.h"
#include "MessageSteps.h"
#include "ModalScript.h"
#include "process/ConstructionChoice.h"
#include "process/ProcessView.h"
#include "process/ProgressViewDialog.h"
#include "process/StartProcessing.h"
#include "process/Tarvo2Engine.h"

namespace {

// An engine whose jobs' sizes are known to the test; no run is started, so
// the hooks see the engine as idle, which they treat like Reconstruct.
CTarvo2Engine* EngineWithOutputSizes(CProcessView* view, std::initializer_list<uint32_t> sizes) {
  auto* engine = new CTarvo2Engine(view);
  int n = 0;
  for (uint32_t size : sizes) {
    CTarvoTaskEntry entry("orig", "delta", ("out" + std::to_string(n++)).c_str());
    entry.SetOutputFileSize(size);
    engine->GetEntryArrayPtr()->AddCopy(&entry);
  }
  return engine;
}

QString Cell(const CProcessView& view, int row, int column) { return view.topLevelItem(row)->text(column); }

bool WaitUntilNoSessions(const CProcessView& view) {
  QElapsedTimer clock;
  clock.start();
  while (view.SessionCount() > 0 && clock.elapsed() < 60000) QTest::qWait(10);
  return view.SessionCount() == 0;
}

}  // namespace

class ProcessViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    m_View = std::make_unique<CProcessView>();
    QVERIFY(m_View->Initialize());
  }
  void cleanup() { m_View.reset(); }

  void hooksFillTheRowAndTotals() {
    CTarvo2Engine* engine = EngineWithOutputSizes(m_View.get(), {1000, kTflUnknownSize, 500});
    m_View->InsertSessionRow(engine, CTarvoEngine::modeReconstruct);
    QSignalSpy posted(m_View.get(), &CProcessView::statusTimerPosted);
    QCOMPARE(Cell(*m_View, 0, 0), QStringLiteral("Reconstructing"));

    engine->OnStartProcessing();
    QCOMPARE(engine->GetOverallTotal(), 1500u);  // the unknown size is skipped
    QCOMPARE(engine->IsChanged(), 0);

    engine->OnStartFile(0);
    QCOMPARE(Cell(*m_View, 0, 1), QStringLiteral("out0"));
    QCOMPARE(engine->GetCurrentFileName(), QStringLiteral("out0"));
    QCOMPARE(engine->IsChanged(), 1);

    engine->OnProgressReport(0, 400, 1000);
    QCOMPARE(Cell(*m_View, 0, 2), QStringLiteral("400 bytes of 1000"));
    QCOMPARE(Cell(*m_View, 0, 3), QStringLiteral("400 bytes of 1500"));
    // A smaller report for the same job lowers the overall count.
    engine->OnProgressReport(0, 300, 1000);
    QCOMPARE(engine->GetOverallDone(), 300u);
    QCOMPARE(Cell(*m_View, 0, 3), QStringLiteral("300 bytes of 1500"));
    QCOMPARE(posted.count(), 2);

    engine->OnFinishedFile(0);
    QCOMPARE(Cell(*m_View, 0, 2), QString());
    QCOMPARE(Cell(*m_View, 0, 1), QStringLiteral("out0"));  // the name stays
    QCOMPARE(engine->GetCurrentFileName(), QString());

    engine->OnStartFile(1);
    engine->OnProgressReport(1, 200, 800);
    QCOMPARE(engine->GetCurrentSize(), 800u);
    QCOMPARE(Cell(*m_View, 0, 3), QStringLiteral("500 bytes of 1500"));

    QCOMPARE(m_View->IsEnded(), 0);
    engine->OnFinishedProcessing();  // deletes the engine with its row
    QCOMPARE(m_View->SessionCount(), 0);
    QCOMPARE(m_View->IsEnded(), 1);
  }

  void unknownSizesLeaveTheTotalEmpty() {
    CTarvo2Engine* engine = EngineWithOutputSizes(m_View.get(), {kTflUnknownSize, kTflUnknownSize});
    m_View->InsertSessionRow(engine, CTarvoEngine::modeReconstruct);
    engine->OnStartProcessing();
    engine->OnStartFile(0);
    engine->OnProgressReport(0, 10, 20);
    QCOMPARE(engine->GetOverallTotal(), 0u);
    QCOMPARE(Cell(*m_View, 0, 2), QStringLiteral("10 bytes of 20"));
    QCOMPARE(Cell(*m_View, 0, 3), QString());
  }

  void errorQuestion_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<int>("result");
    QTest::newRow("first of three, No stops") << 0 << int(QMessageBox::No) << true << 1;
    QTest::newRow("first of three, Yes goes on") << 0 << int(QMessageBox::Yes) << true << 0;
    QTest::newRow("last, OK only") << 2 << int(QMessageBox::Ok) << false << 0;
  }
  void errorQuestion() {
    QFETCH(int, entry);
    QFETCH(int, answer);
    QFETCH(bool, asks);
    QFETCH(int, result);
    CTarvo2Engine* engine = EngineWithOutputSizes(m_View.get(), {1, 2, 3});
    m_View->InsertSessionRow(engine, CTarvoEngine::modeReconstruct);
    SeenMessage seen;
    ModalScript script({Answer(static_cast<QMessageBox::StandardButton>(answer), &seen)});
    QCOMPARE(engine->OnTarvoError(entry, TARVO_ERR_OPEN_ORIGINAL), result);
    QVERIFY(script.Finished());
    QString expected = QStringLiteral("Error in out%1:\n\nCannot open the original file for reading").arg(entry);
    if (asks) expected += QStringLiteral("\n\nContinue on the other files?");
    QCOMPARE(seen.text, expected);
    QCOMPARE(seen.icon, QMessageBox::Critical);
    QCOMPARE(seen.buttons, asks ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.helpId, 11001u);
  }

  void cancelHighlightedOrCurrent_data() {
    QTest::addColumn<QList<int>>("highlighted");
    QTest::addColumn<int>("focused");  // -1: no row focused
    QTest::addColumn<QList<int>>("cancelled");
    QTest::newRow("none highlighted, focused row") << QList<int>{} << 1 << QList<int>{1};
    QTest::newRow("none highlighted, none focused: last row") << QList<int>{} << -1 << QList<int>{2};
    QTest::newRow("one highlighted") << QList<int>{0} << 2 << QList<int>{0};
    QTest::newRow("two highlighted") << QList<int>{0, 2} << 1 << QList<int>{0, 2};
  }
  void cancelHighlightedOrCurrent() {
    QFETCH(QList<int>, highlighted);
    QFETCH(int, focused);
    QFETCH(QList<int>, cancelled);
    for (int i = 0; i < 3; ++i) m_View->InsertSessionRow(EngineWithOutputSizes(m_View.get(), {1}), 1);
    if (focused < 0) {
      m_View->selectionModel()->clearCurrentIndex();
    } else {
      m_View->selectionModel()->setCurrentIndex(m_View->model()->index(focused, 0), QItemSelectionModel::NoUpdate);
    }
    for (int row : highlighted) m_View->topLevelItem(row)->setSelected(true);
    m_View->CancelHighlighted();
    for (int i = 0; i < 3; ++i) QCOMPARE(m_View->SessionAt(i)->IsCanceled(), cancelled.contains(i));
  }

  void statusScreenCancelAsksFirst() {
    FakeHost host;
    CProgressViewDialog dialog(&host, nullptr);
    QVERIFY(dialog.Initialize());
    CProcessView* view = dialog.GetProcessView();
    QVERIFY(!view->accessibleName().isEmpty());
    view->InsertSessionRow(EngineWithOutputSizes(view, {1}), 1);
    dialog.PeriodicUpdate();
    QVERIFY(dialog.CancelButton()->isEnabled());
    SeenMessage seen;
    {
      ModalScript script({Answer(QMessageBox::No, &seen)});
      dialog.CancelButton()->click();
      QVERIFY(script.Finished());
    }
    QCOMPARE(seen.text, QStringLiteral("Are you sure you want to cancel\nthe processing session(s)?"));
    QVERIFY(!view->SessionAt(0)->IsCanceled());
    {
      ModalScript script({Answer(QMessageBox::Yes)});
      dialog.CancelButton()->click();
      QVERIFY(script.Finished());
    }
    QVERIFY(view->SessionAt(0)->IsCanceled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(host.screen, 0);
    QCOMPARE(host.switches, 1);
    delete view->SessionAt(0);
    view->clear();
    dialog.PeriodicUpdate();
    QVERIFY(!dialog.CancelButton()->isEnabled());
  }

  // The session asked about ends while the question is open, and another
  // one starts: Yes cancels neither, and the user is told.
  void cancelAnsweredAfterTheSessionEnded() {
    FakeHost host;
    CProgressViewDialog dialog(&host, nullptr);
    QVERIFY(dialog.Initialize());
    CProcessView* view = dialog.GetProcessView();
    CTarvo2Engine* asked = EngineWithOutputSizes(view, {1});
    view->InsertSessionRow(asked, 1);
    view->topLevelItem(0)->setSelected(true);
    SeenMessage question;
    SeenMessage told;
    ModalStep endThenYes = Answer(QMessageBox::Yes, &question);
    endThenYes.act = [view, asked, yes = endThenYes.act](QWidget* box) {
      view->EndSession(asked);
      view->InsertSessionRow(EngineWithOutputSizes(view, {1}), 1);
      view->topLevelItem(0)->setSelected(true);
      yes(box);
    };
    ModalScript script({endThenYes, Answer(QMessageBox::Ok, &told)});
    dialog.CancelButton()->click();
    QVERIFY(script.Finished());
    QCOMPARE(question.count, 1);
    QCOMPARE(told.text, CProcessView::SessionsEndedText());
    QCOMPARE(told.icon, QMessageBox::Information);
    QCOMPARE(view->SessionCount(), 1);
    QVERIFY(!view->SessionAt(0)->IsCanceled());
  }

  // A 94 MiB pair in a deep folder: the byte counts are read whole, the
  // file name stays in sight, the whole path is in the tooltip.
  void columnsShowWholeCountsAndTheFileName() {
    CTarvo2Engine* engine = EngineWithOutputSizes(m_View.get(), {98867097});
    m_View->InsertSessionRow(engine, CTarvoEngine::modeReconstruct);
    const QString path = QStringLiteral("/home/u/Projects/some/very/deep/folder/of/the/user/typings/custom-new.d.ts");
    m_View->SetFileName(engine, path);
    m_View->SetFileProgress(engine, 69632082, 98867097);
    m_View->SetTotalProgress(engine, 69632082, 98867097);
    m_View->resize(640, 200);
    m_View->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_View.get()));
    const QFontMetrics metrics(m_View->font());
    for (int column : {0, 2, 3}) {
      QVERIFY2(m_View->columnWidth(column) > metrics.horizontalAdvance(Cell(*m_View, 0, column)),
               qPrintable(QString::number(column)));
    }
    int widths = 0;
    for (int column = 0; column < m_View->columnCount(); ++column) widths += m_View->columnWidth(column);
    QCOMPARE(widths, m_View->viewport()->width());
    QCOMPARE(m_View->textElideMode(), Qt::ElideLeft);
    QCOMPARE(m_View->topLevelItem(0)->toolTip(1), path);
    const QString shown = metrics.elidedText(path, m_View->textElideMode(), m_View->columnWidth(1) - 8);
    QVERIFY2(shown.endsWith(QStringLiteral("custom-new.d.ts")), qPrintable(shown));
  }

  // Single File: construct, then reconstruct from the new difference file.
  void singleFileRoundTrip() {
    enginetest::JobFiles files;
    const enginetest::Job job = files.Make("single", 7);
    FakeHost host;
    FakeMainScreen screen;
    screen.input = QString::fromStdString(job.modified);
    screen.originalField = QString::fromStdString(job.original);
    screen.output = QString::fromStdString(job.delta);
    screen.AddSelection(CTarvoTaskEntry("a", "b", "c"));
    QVERIFY(StartProcessingSession(screen, *m_View, host));
    QCOMPARE(host.screen, 1);
    QCOMPARE(screen.input, QString());
    QCOMPARE(screen.output, QString());
    QCOMPARE(screen.SelectionCount(), 0);
    QCOMPARE(host.statusTexts,
             (QStringList{QStringLiteral("Initializing the Processing Session..."), QStringLiteral("For Help, press F1")}));
    QVERIFY(WaitUntilNoSessions(*m_View));
    QVERIFY(files.DeltaRebuildsModified(job));

    screen.construct = false;
    screen.input = QString::fromStdString(job.delta);
    screen.originalField = QString::fromStdString(job.original);
    screen.output = QString::fromStdString(job.rebuilt);
    QVERIFY(StartProcessingSession(screen, *m_View, host));
    QCOMPARE(m_View->topLevelItem(0)->text(0), QStringLiteral("Reconstructing"));
    QVERIFY(WaitUntilNoSessions(*m_View));
    QVERIFY(files.RebuiltIsModified(job));
  }

  void singleFileReconstructOfANonDifferenceFile() {
    enginetest::JobFiles files;
    const enginetest::Job job = files.Make("bad", 8);
    FakeHost host;
    FakeMainScreen screen;
    screen.construct = false;
    screen.input = QString::fromStdString(job.modified);
    screen.originalField = QString::fromStdString(job.original);
    screen.output = QString::fromStdString(job.rebuilt);
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::Ok, &seen)});
    QVERIFY(!StartProcessingSession(screen, *m_View, host));
    QCOMPARE(seen.text, QStringLiteral("Invalid Difference File Format!"));
    QCOMPARE(screen.input, QString::fromStdString(job.modified));  // the fields stay
    QCOMPARE(m_View->SessionCount(), 0);
    QCOMPARE(host.switches, 0);
  }

  // Three jobs, the first fails; No to "Continue?" leaves the other two undone.
  void multipleFilesStopAfterAFailureAnsweredNo() {
    enginetest::JobFiles files;
    const enginetest::Job jobs[] = {files.Make("m0", 1), files.Make("m1", 2), files.Make("m2", 3)};
    FakeHost host;
    FakeMainScreen screen;
    screen.multiple = true;
    for (const auto& job : jobs) {
      CTarvoTaskEntry entry(job.original.c_str(), job.modified.c_str(), job.delta.c_str());
      if (&job == &jobs[0]) entry.SetReferenceFile((job.original + ".gone").c_str(), false);
      screen.AddSelection(entry);
    }
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::No, &seen)});
    QVERIFY(StartProcessingSession(screen, *m_View, host));
    QCOMPARE(screen.SelectionCount(), 0);
    QCOMPARE(host.screen, 1);
    QVERIFY(WaitUntilNoSessions(*m_View));
    QVERIFY(script.Finished());
    QVERIFY(seen.text.startsWith(QStringLiteral("Error in ") + QString::fromStdString(jobs[0].modified)));
    QVERIFY(seen.text.endsWith(QStringLiteral("Continue on the other files?")));
    // The two jobs after the failed one never ran.
    QVERIFY(!testsupport::Exists(jobs[1].delta));
    QVERIFY(!testsupport::Exists(jobs[2].delta));
  }

  // A missing original that the user does not find: nothing starts, the list stays.
  void multipleReconstructWithALostOriginal() {
    enginetest::JobFiles files;
    const enginetest::Job found = files.MakeWithDelta("found", 4);
    const enginetest::Job lost = files.MakeWithDelta("lost", 5);
    ::unlink(lost.original.c_str());
    FakeHost host;
    FakeMainScreen screen;
    screen.multiple = true;
    screen.construct = false;
    for (const auto* job : {&found, &lost}) {
      CTarvoTaskEntry entry(nullptr, job->delta.c_str(), nullptr);
      QVERIFY(entry.CompleteTargetOutput());
      screen.AddSelection(entry);
    }
    bool finderShown = false;
    ModalScript script({{[](QWidget* w) { return w->windowTitle() == QLatin1String("Search for the Original File"); },
                         [&finderShown](QWidget* w) {
                           finderShown = true;
                           qobject_cast<QDialog*>(w)->reject();
                         }}});
    QVERIFY(!StartProcessingSession(screen, *m_View, host));
    QVERIFY(finderShown);
    QCOMPARE(screen.SelectionCount(), 2);
    QCOMPARE(m_View->SessionCount(), 0);
    QVERIFY(!testsupport::Exists(found.rebuilt));
  }

  // The finder is asked for the base name the core looks for beside the
  // difference file, however the original was recorded.
  void finderLooksForTheRecordedBaseName_data() {
    QTest::addColumn<QString>("recorded");  // "@" stands for the sandbox
    QTest::newRow("full path that has gone") << "@/lost.orig";
    QTest::newRow("Windows name") << "D:\\work\\lost.orig";
    QTest::newRow("folder that is not there") << "@/gone/lost.orig";
  }
  void finderLooksForTheRecordedBaseName() {
    QFETCH(QString, recorded);
    testsupport::Sandbox box;
    testsupport::Crafted crafted = testsupport::For({'o'}, {'m'}, {1, 1, 'm'});
    crafted.originalName = recorded.replace(QLatin1Char('@'), QString::fromStdString(box.Root())).toStdString();
    crafted.modifiedName = "new.bin";
    const std::string delta = box.Path("lost.mvr");
    testsupport::WriteFile(delta, testsupport::Build(crafted));
    FakeHost host;
    FakeMainScreen screen;
    screen.multiple = true;
    screen.construct = false;
    CTarvoTaskEntry entry(nullptr, delta.c_str(), nullptr);
    QVERIFY(entry.CompleteTargetOutput());
    screen.AddSelection(entry);
    QString pattern;
    ModalScript script({{[](QWidget* w) { return w->windowTitle() == QLatin1String("Search for the Original File"); },
                         [&pattern](QWidget* w) {
                           pattern = w->findChild<QLineEdit*>(QStringLiteral("nameEdit"))->text();
                           qobject_cast<QDialog*>(w)->reject();
                         }}});
    QVERIFY(!StartProcessingSession(screen, *m_View, host));
    QVERIFY(script.Finished());
    QCOMPARE(pattern, QStringLiteral("lost.orig"));
  }

  // Every job of a construction session is built the host's way, and its
  // row says so unless that is the standard way; reconstructions ignore the
  // choice. The mode column shows the longest text whole, icon included.
  void sessionsCarryTheConstructionChoice_data() {
    QTest::addColumn<bool>("multiple");
    QTest::addColumn<bool>("construct");
    QTest::addColumn<EConstructionChoice>("choice");
    QTest::addColumn<int>("matcher");
    QTest::addColumn<int>("compressor");
    QTest::addColumn<QString>("mode");
    const EConstructionChoice standard = EConstructionChoice::standard, fast = EConstructionChoice::fast,
                              thorough = EConstructionChoice::thorough;
    QTest::newRow("single, standard") << false << true << standard << 0 << 0 << "Constructing";
    QTest::newRow("single, fast") << false << true << fast << 0 << 1 << "Constructing (fast)";
    QTest::newRow("single, thorough") << false << true << thorough << 1 << 2 << "Constructing (thorough)";
    QTest::newRow("multiple, fast") << true << true << fast << 0 << 1 << "Constructing (fast)";
    QTest::newRow("multiple, thorough") << true << true << thorough << 1 << 2 << "Constructing (thorough)";
    QTest::newRow("multiple reconstruct, thorough") << true << false << thorough << 0 << 0 << "Reconstructing";
  }
  void sessionsCarryTheConstructionChoice() {
    QFETCH(bool, multiple);
    QFETCH(bool, construct);
    QFETCH(EConstructionChoice, choice);
    QFETCH(int, matcher);
    QFETCH(int, compressor);
    QFETCH(QString, mode);
    enginetest::JobFiles files;
    const enginetest::Job jobs[] = {files.MakeWithDelta("c0", 21), files.MakeWithDelta("c1", 22)};
    FakeHost host;
    host.choice = choice;
    FakeMainScreen screen;
    screen.multiple = multiple;
    screen.construct = construct;
    for (const auto& job : jobs) {
      if (!multiple && &job != &jobs[0]) break;
      const std::string& input = construct ? job.modified : job.delta;
      const std::string& output = construct ? job.delta : job.rebuilt;
      if (multiple) screen.AddSelection(CTarvoTaskEntry(job.original.c_str(), input.c_str(), output.c_str()));
      screen.input = QString::fromStdString(input);
      screen.originalField = QString::fromStdString(job.original);
      screen.output = QString::fromStdString(output);
      ::unlink(output.c_str());
    }
    QVERIFY(StartProcessingSession(screen, *m_View, host));
    // The session's row and engine stay until the event loop hears of the end.
    const CTarvoTaskArray& entries = m_View->SessionAt(0)->GetEntries();
    QCOMPARE(entries.GetSize(), multiple ? 2 : 1);
    for (int i = 0; i < entries.GetSize(); ++i) {
      QCOMPARE(entries[i].GetMatcher(), matcher);
      QCOMPARE(entries[i].GetCompressor(), compressor);
    }
    QCOMPARE(Cell(*m_View, 0, 0), mode);
    m_View->resize(640, 200);
    m_View->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_View.get()));
    const int needed = m_View->fontMetrics().horizontalAdvance(mode) + m_View->iconSize().width();
    QVERIFY2(m_View->columnWidth(0) > needed, qPrintable(QString::number(m_View->columnWidth(0))));
    QVERIFY(WaitUntilNoSessions(*m_View));
    QVERIFY(construct ? files.DeltaRebuildsModified(jobs[0]) : files.RebuiltIsModified(jobs[0]));
  }

  // Cancel at the first progress report: no partial output, and the output
  // of the job never reached, which was there before, keeps its bytes.
  void cancelMidRunLeavesNothingBehind() {
    enginetest::JobFiles files;
    const enginetest::Job fresh = files.Make("fresh", 11);
    const enginetest::Job kept = files.Make("kept", 12);
    testsupport::WriteFile(kept.delta, {'o', 'l', 'd'});
    FakeHost host;
    FakeMainScreen screen;
    screen.multiple = true;
    for (const auto* job : {&fresh, &kept}) {
      screen.AddSelection(CTarvoTaskEntry(job->original.c_str(), job->modified.c_str(), job->delta.c_str()));
    }
    QObject::connect(m_View.get(), &CProcessView::statusTimerPosted, m_View.get(), [this] { m_View->CancelAll(); });
    QVERIFY(StartProcessingSession(screen, *m_View, host));
    QVERIFY(WaitUntilNoSessions(*m_View));
    QVERIFY(!testsupport::Exists(fresh.delta));
    QCOMPARE(testsupport::ReadFile(kept.delta), (testsupport::Bytes{'o', 'l', 'd'}));
  }

 private:
  std::unique_ptr<CProcessView> m_View;
};

QTEST_MAIN(ProcessViewTest)
#include "ProcessViewTest.moc"
