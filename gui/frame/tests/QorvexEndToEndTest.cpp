// The whole program as a user drives it: the real application object, frame,
// Main Interface and status screen, with keys and clicks on real files.
// Screenshots of both screens are kept in the build folder.
#include <QAbstractButton>
#include <QAction>
#include <QPushButton>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <functional>

#include "frame/MainFrame.h"
#include "frame/MainInterfaceScreen.h"
#include "frame/Tarvo2App.h"
#include "JobFiles.h"
#include "mainview/MainInterfaceDialog.h"
#include "MessageSteps.h"
#include "ModalScript.h"
#include "process/ProcessView.h"
#include "process/ProgressViewDialog.h"
#include "RecordedNames.h"
#include "strings/CommandIds.h"

using namespace qorvex;

namespace {

// Files big enough for a run to last while the test acts on it.
constexpr size_t kBigSize = 6u << 20;

bool WaitFor(const std::function<bool()>& done, int ms = 120000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) QTest::qWait(10);
  return done();
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

void MakeBigPair(const std::string& original, const std::string& modified, unsigned seed, size_t size = kBigSize) {
  std::mt19937 rng(seed);
  const testsupport::Bytes o = testsupport::RandomBytes(rng, size, 16);
  testsupport::WriteFile(original, o);
  testsupport::WriteFile(modified, testsupport::Mutate(rng, o, 200, 16));
}

}  // namespace

class QorvexEndToEndTest : public QObject {
  Q_OBJECT

 public:
  explicit QorvexEndToEndTest(CTarvo2App* app) : m_pApp(app) {}

 private slots:
  // The user's own settings (the construction choice) stay out of reach.
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_Settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_Settings.path());
  }
  void init() {
    m_Files = std::make_unique<enginetest::JobFiles>();
    Start(Q(m_Files->box.Root()));
  }
  void cleanup() {
    delete m_pApp->GetMainFrame();
    m_Files.reset();
  }

  void singleFileConstructThenReconstruct() {
    const enginetest::Job job = m_Files->Make("single", 31);
    ShowFolder();
    Press("single.mod", Qt::Key_Space);
    Press("single.orig", Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(Dialog()->GetInputField()->text(), Q(job.modified));
    QCOMPARE(Dialog()->GetOriginalField()->text(), Q(job.original));
    QCOMPARE(Dialog()->GetOutputField()->text(), Q(job.modified + ".mvr"));
    Snapshot("main-interface-single-file");
    ClickToolbar(cmd::kStartProcessing);
    QVERIFY(WaitFor([this] { return Frame()->CurrentScreen() == 0 && Frame()->NoSessionsLeft(); }));
    const enginetest::Job made{job.original, job.modified, job.modified + ".mvr", job.rebuilt, job.modifiedBytes};
    QVERIFY(m_Files->DeltaRebuildsModified(made));

    // Back again: the modified file goes, the difference file brings it back.
    ::unlink(job.modified.c_str());
    ClickToolbar(cmd::kReconstruct);
    QVERIFY(WaitFor([this] { return Dialog()->GetDirView()->GetItemCount() == 2; }));
    Press("single.mod.mvr", Qt::Key_Space);
    QCOMPARE(Dialog()->GetOutputField()->text(), Q(job.modified));
    QCOMPARE(Dialog()->GetOriginalField()->text(), Q(job.original));
    ClickToolbar(cmd::kStartProcessing);
    QVERIFY(WaitFor([&] { return Frame()->NoSessionsLeft() && testsupport::Exists(job.modified); }));
    QCOMPARE(testsupport::ReadFile(job.modified), job.modifiedBytes);
  }

  // Three jobs; the first one's modified file disappears before the start,
  // and No to "Continue on the other files?" leaves the other two undone.
  void multipleFilesOneFailsAnsweredNo() {
    const enginetest::Job jobs[] = {m_Files->Make("m0", 41), m_Files->Make("m1", 42), m_Files->Make("m2", 43)};
    ClickMenu(cmd::kMultipleFiles);
    ShowFolder();
    Press("m0.orig", Qt::Key_Space, Qt::ShiftModifier);
    for (const char* name : {"m0.mod", "m1.mod", "m2.mod"}) Press(name, Qt::Key_Space);
    QVERIFY(Frame()->SendCommand(cmd::kAddFiles));
    QCOMPARE(Dialog()->GetSelectionList()->GetRowCount(), 3);
    Snapshot("main-interface-multiple-files");
    ::unlink(jobs[0].modified.c_str());
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::No, &seen)});
    ClickToolbar(cmd::kStartProcessing);
    QVERIFY(WaitFor([&] { return script.Finished() && Frame()->NoSessionsLeft(); }));
    QVERIFY(seen.text.startsWith(QStringLiteral("Error in ") + Q(jobs[0].modified)));
    QVERIFY(seen.text.endsWith(QStringLiteral("Continue on the other files?")));
    QVERIFY(!testsupport::Exists(jobs[1].modified + ".mvr"));
    QVERIFY(!testsupport::Exists(jobs[2].modified + ".mvr"));
    QCOMPARE(Dialog()->GetSelectionList()->GetRowCount(), 0);
  }

  void twoSessionsAtOnceThenCancelOne() {
    const std::string dir = m_Files->box.Root();
    // The one to cancel is four times as big, so that a loaded machine does
    // not finish it before the answer reaches it.
    MakeBigPair(dir + "/a.orig", dir + "/a.mod", 51, 4 * kBigSize);
    MakeBigPair(dir + "/b.orig", dir + "/b.mod", 52);
    const testsupport::Bytes bModified = testsupport::ReadFile(dir + "/b.mod");
    ShowFolder();
    for (const char* name : {"a", "b"}) {
      Press(std::string(name) + ".mod", Qt::Key_Space);
      Press(std::string(name) + ".orig", Qt::Key_Space, Qt::ShiftModifier);
      ClickToolbar(cmd::kStartProcessing);
      QCOMPARE(Frame()->CurrentScreen(), 1);
      if (name[0] == 'a') Frame()->SwitchToScreen(0, false);
    }
    CProcessView* view = Frame()->GetProcessView();
    QCOMPARE(view->SessionCount(), 2);
    QVERIFY(WaitFor([view] { return !view->topLevelItem(0)->text(3).isEmpty(); }));
    Snapshot("file-processing-status");
    // Cancel the first session only: highlight its row, press Cancel..., answer Yes.
    view->topLevelItem(0)->setSelected(true);
    Frame()->OnStatusTimer();
    ModalScript script({Answer(QMessageBox::Yes)});
    QTest::mouseClick(Frame()->GetProgressDialog()->CancelButton(), Qt::LeftButton);
    QVERIFY(WaitFor([&] { return script.Finished() && Frame()->NoSessionsLeft(); }));
    QVERIFY(!testsupport::Exists(dir + "/a.mod.mvr"));  // no partial output
    const enginetest::Job b{dir + "/b.orig", dir + "/b.mod", dir + "/b.mod.mvr", dir + "/b.out", bModified};
    QVERIFY(m_Files->DeltaRebuildsModified(b));
    QVERIFY(WaitFor([this] { return Frame()->CurrentScreen() == 0; }));
  }

  // Two highlighted difference files rebuilt with the names they record;
  // one of those files exists, so the user is asked once first.
  void reconstructNowOfHighlightedFiles() {
    const enginetest::Job p = m_Files->MakeWithDelta("p", 71);
    const enginetest::Job q = m_Files->MakeWithDelta("q", 72);
    ::unlink(p.modified.c_str());
    testsupport::WriteFile(q.modified, {'o', 'l', 'd'});
    ShowFolder();
    CDirView* view = Dialog()->GetDirView();
    view->clearSelection();
    for (const char* name : {"p.mvr", "q.mvr"}) {
      view->SetHighlighted(view->IndexOf(m_Dir + QLatin1Char('/') + QLatin1String(name)), true);
    }
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::Yes, &seen)});
    QVERIFY(Frame()->SendCommand(cmd::kReconstructNow));
    QVERIFY(WaitFor([&] { return script.Finished() && Frame()->NoSessionsLeft(); }));
    QCOMPARE(seen.count, 1);
    QVERIFY(seen.text.contains(Q(q.modified)));
    QVERIFY(!seen.text.contains(Q(p.modified)));
    QCOMPARE(testsupport::ReadFile(p.modified), p.modifiedBytes);
    QCOMPARE(testsupport::ReadFile(q.modified), q.modifiedBytes);
  }

  // The Selection menu opened from the menu bar acts on the file list,
  // which had the focus before the menu took it.
  void selectionMenuFromTheMenuBar() {
    const enginetest::Job job = m_Files->Make("menu", 81);
    ShowFolder();
    CDirView* view = Dialog()->GetDirView();
    view->setFocus();
    view->clearSelection();
    view->SetFocusedRow(view->IndexOf(Q(job.modified)));
    view->SetHighlighted(view->IndexOf(Q(job.modified)), true);
    QMenu* selection = nullptr;
    for (QAction* top : Frame()->menuBar()->actions()) {
      if (top->text() == QLatin1String("&Selection")) selection = top->menu();
    }
    QVERIFY(selection != nullptr);
    // Alt+S: the menu bar takes the focus, then the menu opens.
    Frame()->menuBar()->setFocus(Qt::MenuBarFocusReason);
    selection->popup(Frame()->mapToGlobal(QPoint(20, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(selection));
    QCOMPARE(Frame()->Command(cmd::kSelect)->text(), QStringLiteral("&Select  Modified\tSpace/Ctrl+M"));
    QVERIFY(Frame()->Command(cmd::kSelect)->isEnabled());
    QVERIFY(Frame()->Command(cmd::kSelectOriginal)->isEnabled());
    selection->close();
  }

  // A click on Add Files right after Space: the toolbar must not wait for
  // the next tick to know that a file is marked.
  void addFilesRightAfterTheMark() {
    const enginetest::Job job = m_Files->Make("quick", 82);
    ClickMenu(cmd::kMultipleFiles);
    ShowFolder();
    Press("quick.orig", Qt::Key_Space, Qt::ShiftModifier);
    Press("quick.mod", Qt::Key_Space);
    auto* toolbar = Frame()->findChild<QToolBar*>(QStringLiteral("toolBar"));
    QWidget* button = toolbar->widgetForAction(Frame()->Command(cmd::kAddFiles));
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(Dialog()->GetSelectionList()->GetRowCount(), 1);
    QCOMPARE(Q(Dialog()->GetSelectionList()->GetEntry(0)->GetExistingFile()), Q(job.modified));
  }

  // One highlighted difference file whose recorded modified name is any of
  // the names a stranger might record; the folder's first file, highlighted
  // by the reload, is another difference file that is not to be touched.
  void reconstructNowOfARecordedName_data() {
    QTest::addColumn<int>("name");
    const auto& names = recordedtest::RecordedNames();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) QTest::newRow(names[i].what) << i;
  }
  void reconstructNowOfARecordedName() {
    QFETCH(int, name);
    using recordedtest::Fate;
    const recordedtest::RecordedName& recorded = recordedtest::RecordedNames()[static_cast<std::size_t>(name)];
    delete m_pApp->GetMainFrame();
    const recordedtest::Scene scene(m_Files->box.Root(), recorded);
    Start(Q(scene.Folder()));
    ShowFolder();
    CDirView* view = Dialog()->GetDirView();
    view->clearSelection();
    view->SetHighlighted(view->IndexOf(Q(scene.Delta())), true);
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::No, &seen)});
    QVERIFY(Frame()->SendCommand(cmd::kReconstructNow));
    QVERIFY(WaitFor([&] { return Frame()->NoSessionsLeft() && (recorded.fate == Fate::Created || script.Finished()); }));

    switch (recorded.fate) {
      case Fate::Created:
        QCOMPARE(seen.count, 0);
        QVERIFY(scene.CreatedHoldsTheModifiedFile());
        break;
      case Fate::Refused:
        QCOMPARE(seen.count, 1);
        QVERIFY2(seen.text.startsWith(QStringLiteral("Error in ")), qPrintable(seen.text));
        QVERIFY(seen.text.endsWith(QStringLiteral(":\n\nCannot create the new modified file")));
        break;
      case Fate::Taken:  // asked once, naming only that file; No starts nothing and leaves it queued
        QCOMPARE(seen.count, 1);
        QCOMPARE(seen.text, QStringLiteral("These files already exist and will be overwritten:\n\n") +
                                Q(scene.TakenPath()) + QStringLiteral("\n\nDo you want to proceed?"));
        QCOMPARE(Dialog()->GetSelectionList()->GetRowCount(), 1);
        break;
    }
    QCOMPARE(scene.Changes(), scene.ExpectedChanges());
  }

  void exitDuringASession() {
    const std::string dir = m_Files->box.Root();
    MakeBigPair(dir + "/x.orig", dir + "/x.mod", 61);
    ShowFolder();
    Press("x.mod", Qt::Key_Space);
    Press("x.orig", Qt::Key_Space, Qt::ShiftModifier);
    ClickToolbar(cmd::kStartProcessing);
    QPointer<CMainFrame> frame = Frame();
    QCOMPARE(frame->GetProcessView()->SessionCount(), 1);
    SeenMessage seen;
    ModalScript script({Answer(QMessageBox::Yes, &seen)});
    frame->close();  // the window's close box goes the way of Exit
    QVERIFY(WaitFor([&] { return script.Finished(); }));
    QCOMPARE(seen.text, QStringLiteral("Mendivar is still processing files.\n\nDo you want to exit anyway?"));
    QVERIFY(WaitFor([&] { return frame.isNull(); }));
    QVERIFY(!testsupport::Exists(dir + "/x.mod.mvr"));
  }

 private:
  // A new frame whose browser opens at `folder`; the file list follows at the
  // first tick.
  void Start(const QString& folder) {
    m_Dir = folder;
    QVERIFY(m_pApp->InitInstance(
        [folder](CMainFrame* frame, QWidget* parent) { return CreateMainInterface(frame, parent, folder); },
        {QStringLiteral("Qorvex")}));
    QVERIFY(WaitFor([this] { return m_pApp->IsFrameShown(); }));
    QVERIFY(Frame()->ScreensExist());
  }

  CMainFrame* Frame() const { return m_pApp->GetMainFrame(); }
  CMainInterfaceDialog* Dialog() const {
    return static_cast<CMainInterfaceScreen*>(Frame()->GetMainScreen())->Dialog();
  }

  // The tree opens at the folder given to Start; the file list follows at the next tick.
  void ShowFolder() {
    QVERIFY(WaitFor([this] {
      const CShellFolder* folder = Dialog()->GetDirView()->GetCurrentFolder();
      return folder != nullptr && folder->GetPath() == m_Dir;
    }));
    Dialog()->GetDirView()->Reload();
  }

  void Press(const std::string& name, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    CDirView* view = Dialog()->GetDirView();
    const int index = view->IndexOf(m_Dir + QLatin1Char('/') + Q(name));
    QVERIFY2(index >= 0, name.c_str());
    view->setFocus();
    view->clearSelection();
    view->SetFocusedRow(index);
    view->SetHighlighted(index, true);
    QTest::keyClick(view, key, mods);
  }

  void ClickToolbar(unsigned id) {
    Frame()->UpdateCommands();
    auto* toolbar = Frame()->findChild<QToolBar*>(QStringLiteral("toolBar"));
    QWidget* button = toolbar->widgetForAction(Frame()->Command(id));
    QVERIFY(button != nullptr && button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
  }

  void ClickMenu(unsigned id) { QVERIFY(Frame()->SendCommand(id)); }

  void Snapshot(const QString& name) {
    QDir().mkpath(QStringLiteral(QT_TESTCASE_BUILDDIR "/screenshots"));
    Frame()->grab().save(QStringLiteral(QT_TESTCASE_BUILDDIR "/screenshots/%1.png").arg(name));
  }

  CTarvo2App* m_pApp;
  QTemporaryDir m_Settings;
  std::unique_ptr<enginetest::JobFiles> m_Files;
  QString m_Dir;
};

int main(int argc, char** argv) {
  CTarvo2App app(argc, argv);
  QorvexEndToEndTest test(&app);
  return QTest::qExec(&test, argc, argv);
}
#include "QorvexEndToEndTest.moc"
