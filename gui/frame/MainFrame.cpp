#include "frame/MainFrame.h"

#include <sys/stat.h>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimerEvent>
#include <QToolBar>
#include <QWhatsThis>
#include <cmath>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "errors/InterfaceException.h"
#include "errors/MessageBox.h"
#include "errors/ReportInterfaceError.h"
#include "errors/WaitCursor.h"
#include "frame/AboutDialog.h"
#include "frame/FrameTexts.h"
#include "frame/QorvexActions.h"
#include "help/HelpWindow.h"
#include "process/MainScreen.h"
#include "process/ProcessView.h"
#include "process/ProgressViewDialog.h"
#include "process/QorvexPictures.h"
#include "process/StartProcessing.h"
#include "process/Tarvo2Engine.h"
#include "strings/CommandIds.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"
#include "TarvoFileLib.h"
#include "TarvoTaskEntry.h"

namespace ftext = qorvex::frame::text;

using namespace qorvex;

namespace {

constexpr int kStatusTimerMs = 500;
constexpr int kProgressSteps = 320;

bool FileExists(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

QString Overwrite(const QString& name) { return LoadString(ids::kOverwriteOutput).replace(QStringLiteral("%s"), name); }

QString Native(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }
std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool AskYes(QWidget* parent, const QString& question) {
  return MessageBox(parent, question, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

CMainFrame::CMainFrame(ScreenFactory makeMainScreen) : m_MakeMainScreen(std::move(makeMainScreen)) {
  InitQorvexPictures();
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowTitle(LoadString(ids::kFrameTitle));
  setWindowIcon(QIcon(QStringLiteral(":/Qorvex/icons/qorvex.png")));
  // The two screens fill the client area; one is shown at a time.
  m_pScreens = new QStackedWidget(this);
  m_pScreens->setObjectName(QStringLiteral("screens"));
  setCentralWidget(m_pScreens);
  m_pActions = new CQorvexActions(this);
  BuildMenus();
  // The smallest useful size: half the screen's width by two fifths of its height.
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QSize s = screen->geometry().size();
    setMinimumSize(s.width() / 2, s.height() * 2 / 5);
    resize(std::max(s.width() * 3 / 4, minimumWidth()), std::max(s.height() * 3 / 4, minimumHeight()));
  }
}

CMainFrame::~CMainFrame() {
  if (m_nStatusTimer != 0) killTimer(m_nStatusTimer);
  // The screens go while this object is whole: their going moves the focus,
  // and nothing may call back into a half-destroyed frame.
  disconnect(qApp, nullptr, this, nullptr);
  delete m_pScreens;
  m_pScreens = nullptr;
}

bool CMainFrame::Create() {
  BuildToolBar();
  m_pMessagePane = new QLabel(statusBar());
  m_pMessagePane->setObjectName(QStringLiteral("messagePane"));
  statusBar()->addWidget(m_pMessagePane, 1);
  m_nStatusTimer = startTimer(kStatusTimerMs);
  if (m_nStatusTimer == 0) return false;
  SetStatusText(LoadString(ids::kLoading));
  return true;
}

// ---------------------------------------------------------------- menus

void CMainFrame::BuildMenus() {
  for (QMenu* menu : m_pActions->FillMenuBar(menuBar())) {
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::OnMenuOpening);
  }
  // Sorting means nothing while the status screen is shown.
  connect(m_pActions->ViewMenu(), &QMenu::aboutToShow, this,
          [this] { m_pActions->SortFilesMenu()->menuAction()->setEnabled(m_nCurrentScreen != 1); });
  // The keys work wherever the focus is inside the window.
  for (QAction* action : m_pActions->All()) addAction(action);

  Bind(cmd::kStartProcessing, &CMainFrame::OnStartProcessing);
  Bind(cmd::kCancelProcessing, &CMainFrame::OnCancelProcessing);
  Bind(cmd::kExit, &CMainFrame::OnExit);
  Bind(cmd::kSelect, &CMainFrame::OnSelect);
  Bind(cmd::kSelectOriginal, &CMainFrame::OnSelectOriginal);
  Bind(cmd::kReverseSelection, &CMainFrame::OnReverseSelection);
  Bind(cmd::kClearSelection, &CMainFrame::OnClearSelection);
  Bind(cmd::kClearOriginal, &CMainFrame::OnClearOriginal);
  Bind(cmd::kClearAll, &CMainFrame::OnClearAll);
  Bind(cmd::kAddFiles, &CMainFrame::OnAddFiles);
  Bind(cmd::kToggleStatusBar, &CMainFrame::OnToggleStatusBar);
  Bind(cmd::kScreenMain, &CMainFrame::OnScreenMain);
  Bind(cmd::kScreenStatus, &CMainFrame::OnScreenStatus);
  Bind(cmd::kSortByName, &CMainFrame::OnSortByName);
  Bind(cmd::kSortBySize, &CMainFrame::OnSortBySize);
  Bind(cmd::kSortByType, &CMainFrame::OnSortByType);
  Bind(cmd::kSortByDate, &CMainFrame::OnSortByDate);
  Bind(cmd::kMarkedInFront, &CMainFrame::OnMarkedInFront);
  Bind(cmd::kSortOrder, &CMainFrame::OnSortOrder);
  Bind(cmd::kRefresh, &CMainFrame::OnRefresh);
  Bind(cmd::kConstruct, &CMainFrame::OnConstruct);
  Bind(cmd::kReconstruct, &CMainFrame::OnReconstruct);
  Bind(cmd::kSingleFile, &CMainFrame::OnSingleFile);
  Bind(cmd::kMultipleFiles, &CMainFrame::OnMultipleFiles);
  Bind(cmd::kHelpTopics, &CMainFrame::OnHelpTopics);
  Bind(cmd::kDefaultHelp, &CMainFrame::OnHelpTopics);
  Bind(cmd::kHelpOnHelp, &CMainFrame::OnHelpOnHelp);
  Bind(cmd::kContextHelp, &CMainFrame::OnContextHelp);
  Bind(cmd::kHelp, &CMainFrame::OnHelp);
  Bind(cmd::kAbout, &CMainFrame::OnAbout);
  Bind(cmd::kProperties, &CMainFrame::OnProperties);
  Bind(cmd::kReconstructNow, &CMainFrame::OnReconstructNow);
  Bind(cmd::kTreeOpen, &CMainFrame::OnTreeOpen);
}

void CMainFrame::Bind(unsigned id, void (CMainFrame::*slot)()) {
  connect(m_pActions->Action(id), &QAction::triggered, this, [this, slot] { RunCommand(slot); });
}

void CMainFrame::RunCommand(void (CMainFrame::*slot)()) {
  // A list error escaping a command is shown here, as the framework would.
  try {
    (this->*slot)();
  } catch (const CInterfaceException& e) {
    ReportInterfaceError(e, this);
  }
  UpdateCommands();
}

void CMainFrame::BuildToolBar() {
  m_pToolBar = addToolBar(tr("Toolbar"));
  m_pToolBar->setObjectName(QStringLiteral("toolBar"));
  m_pToolBar->setMovable(false);
  m_pToolBar->setIconSize(QSize(24, 23));
  m_pActions->FillToolBar(m_pToolBar);
}

QAction* CMainFrame::Command(unsigned id) const { return m_pActions->Action(id); }

// ---------------------------------------------------------------- screens

bool CMainFrame::CreateScreens() {
  CProgressViewDialog* status = nullptr;
  try {
    status = new CProgressViewDialog(this, m_pScreens);
  } catch (const std::bad_alloc&) {
    MessageBox(this, ftext::Tr(ftext::kNoStatusScreen), QMessageBox::NoIcon);
    return false;
  }
  m_pProgressDialog = status;
  if (!status->Initialize()) {
    MessageBox(this, ftext::Tr(ftext::kStatusListFailed), QMessageBox::Critical);
    QApplication::exit(3);
    return false;
  }
  CMainScreen* main = nullptr;
  try {
    main = m_MakeMainScreen ? m_MakeMainScreen(this, m_pScreens) : nullptr;
  } catch (const std::bad_alloc&) {
    main = nullptr;
  }
  if (main == nullptr) {
    delete status;
    MessageBox(this, ftext::Tr(ftext::kNoMainScreen), QMessageBox::NoIcon);
    return false;
  }
  m_pMainScreen = main;
  m_pMainWidget = main->Widget();
  connect(GetProcessView(), &CProcessView::statusTimerPosted, this, &CMainFrame::OnStatusTimer,
          Qt::QueuedConnection);
  // Cancel Processing and the Exit text follow the sessions as they come and go.
  QAbstractItemModel* sessions = GetProcessView()->model();
  connect(sessions, &QAbstractItemModel::rowsInserted, this, &CMainFrame::UpdateCommands);
  // A session short enough to start and end between two ticks has still been
  // seen: the list has had a row since it was last found empty.
  connect(sessions, &QAbstractItemModel::rowsInserted, this, [this] { m_bSessionsSeen = true; });
  connect(sessions, &QAbstractItemModel::rowsRemoved, this, &CMainFrame::UpdateCommands);
  connect(GetProcessView()->selectionModel(), &QItemSelectionModel::currentChanged, this, &CMainFrame::UpdateCommands);
  m_pScreens->addWidget(m_pMainWidget);
  m_pScreens->addWidget(status);
  SwitchToScreen(0, true);

  m_pProgress = new QProgressBar(statusBar());
  m_pProgress->setRange(0, kProgressSteps);
  m_pProgress->setValue(0);
  m_pProgress->setTextVisible(false);
  // At the right end of the status line, as wide as the written 230 pixels
  // less the status line's height (the size grip's room).
  m_pProgress->setFixedWidth(std::max(40, 230 - statusBar()->sizeHint().height() - 4));
  statusBar()->addPermanentWidget(m_pProgress);
  m_pProgress->hide();
  return true;
}

bool CMainFrame::ScreensExist() const { return m_pMainWidget != nullptr && m_pProgressDialog != nullptr; }

CProcessView* CMainFrame::GetProcessView() const {
  return m_pProgressDialog != nullptr ? m_pProgressDialog->GetProcessView() : nullptr;
}

bool CMainFrame::NoSessionsLeft() const {
  const CProcessView* view = GetProcessView();
  return view == nullptr || view->SessionCount() == 0;
}

void CMainFrame::SwitchToScreen(int nScreen, bool bForce) {
  if (nScreen == m_nCurrentScreen && !bForce) return;
  if (!ScreensExist()) return;
  m_nCurrentScreen = nScreen;
  // The stack hides the screen behind, so that Tab never walks into it.
  m_pScreens->setCurrentWidget(nScreen == 1 ? static_cast<QWidget*>(m_pProgressDialog) : m_pMainWidget.data());
  if (nScreen == 1) {
    m_pProgressDialog->RestoreFocus();
  } else {
    m_pMainScreen->RestoreFocus();
  }
  UpdateCommands();
}

// ---------------------------------------------------------------- status line

void CMainFrame::SetStatusText(const QString& text) {
  if (m_pMessagePane != nullptr) m_pMessagePane->setText(text);
}

QString CMainFrame::StatusText() const { return m_pMessagePane != nullptr ? m_pMessagePane->text() : QString(); }

void CMainFrame::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_nStatusTimer) {
    OnStatusTimer();
    return;
  }
  QMainWindow::timerEvent(event);
}

void CMainFrame::OnStatusTimer() {
  if (m_nCurrentScreen == 0 && m_pMainScreen != nullptr && m_pMainWidget != nullptr && !m_bExiting) {
    m_pMainScreen->PeriodicUpdate();
  }
  if (m_nCurrentScreen == 1 && m_pProgressDialog != nullptr) m_pProgressDialog->PeriodicUpdate();
  CProcessView* view = GetProcessView();
  if (view == nullptr) return;

  // Back to the Main Interface (or a beep) once the last session has ended,
  // but never behind an open question: the user is still reading about the
  // screen that is shown. The next tick after the answer goes back.
  if (QApplication::activeModalWidget() != nullptr) {
    UpdateStatusLine();
    return;
  }
  const bool empty = view->SessionCount() == 0;
  const bool ended = view->IsEnded() != 0;
  if (m_bSessionsSeen && m_nCurrentScreen == 1 && ended && empty) {
    SwitchToScreen(0, false);
    QMetaObject::invokeMethod(this, [this] { SendCommand(cmd::kRefresh); }, Qt::QueuedConnection);
    m_bSessionsSeen = false;
  } else if (m_bSessionsSeen && ended && empty) {
    QApplication::beep();
    m_bSessionsSeen = false;
  } else if (!empty) {
    m_bSessionsSeen = true;
  }

  if (!m_bCommandLineHandled && !m_strCommandLineFile.isEmpty()) {
    m_bCommandLineHandled = true;
    HandleCommandLineFile();
  }
  UpdateStatusLine();
}

void CMainFrame::UpdateStatusLine() {
  if (m_pProgress == nullptr) return;
  if (m_bExiting) {
    m_pProgress->hide();
    SetStatusText(LoadString(ids::kExiting));
    return;
  }
  if (QWhatsThis::inWhatsThisMode()) {
    if (!m_bHelpNotice) {
      m_bHelpNotice = true;
      m_pProgress->hide();
      SetStatusText(LoadString(ids::kSelectForHelp));
    }
    return;
  }
  const bool leftHelpMode = m_bHelpNotice;
  m_bHelpNotice = false;
  CTarvo2Engine* session = GetProcessView()->GetCurrentSession();
  if (session != nullptr) {
    if (m_pProgress->isHidden()) m_pProgress->show();
    if (session->IsChanged() != 0 || leftHelpMode) {
      SetStatusText(ftext::Tr(ftext::kProcessing) + session->GetCurrentFileName() + ftext::Tr(ftext::kProcessingEnd));
      m_bStatusShowsSession = true;
      int steps = 0;
      if (session->GetOverallTotal() != 0) {
        const double share = static_cast<double>(session->GetOverallDone()) / session->GetOverallTotal();
        steps = static_cast<int>(std::min(share * kProgressSteps, static_cast<double>(kProgressSteps)));
      }
      m_pProgress->setValue(steps);
      session->SetChanged(0);
    }
  } else if (!m_pProgress->isHidden() || m_bStatusShowsSession || leftHelpMode) {
    // The bar may already be hidden (help mode, an open menu hid it) while
    // the line still speaks of the ended session or of help mode.
    m_pProgress->setValue(0);
    m_pProgress->hide();
    SetStatusText(LoadString(ids::kReadyForHelp));
    m_bStatusShowsSession = false;
  }
}

void CMainFrame::OnMenuOpening() {
  UpdateCommands();
  if (m_pProgressDialog == nullptr) return;
  if (m_pProgress != nullptr) m_pProgress->hide();
  if (CTarvo2Engine* session = GetProcessView()->GetCurrentSession()) session->SetChanged(1);
}

void CMainFrame::SetCommandLineFile(const QString& file) {
  m_strCommandLineFile = file.isEmpty() ? file : QFileInfo(file).absoluteFilePath();
}

void CMainFrame::HandleCommandLineFile() {
  // The names as the Main Interface fills them from a chosen difference
  // file: where the core will look and write.
  CTarvoTaskEntry job;
  job.SetExistingFile(Local(m_strCommandLineFile).c_str(), true);
  if (!job.CompleteTargetOutput()) {
    MessageBox(this, ftext::Tr(ftext::kInvalidCommandLineFile), QMessageBox::NoIcon);
    return;
  }
  QString target = Native(job.GetOutputFile());
  const std::string inUse = job.RecordedOutputInUse();
  if (!inUse.empty()) {
    target = Native(inUse);
    if (!AskYes(this, Overwrite(target))) return;
  }
  if (!ScreensExist()) return;
  OnSingleFile();
  OnReconstruct();
  m_pMainScreen->SetInputField(m_strCommandLineFile);
  m_pMainScreen->SetOriginalField(Native(job.GetReferenceFile()));
  // The name stays a recorded one; accepted, the core may replace the
  // entry under it (never write through a link there).
  m_pMainScreen->SetRecordedOutputField(target);
  if (!inUse.empty()) m_pMainScreen->AcceptRecordedOutputField();
  StartProcessingSession(*m_pMainScreen, *GetProcessView(), *this);
}

// ---------------------------------------------------------------- commands

CCommandState CMainFrame::CommandState() const {
  CCommandState state;
  CMainScreen* main = m_pMainScreen != nullptr && m_pMainWidget != nullptr ? m_pMainScreen : nullptr;
  state.bothScreens = ScreensExist();
  state.mainExists = main != nullptr;
  state.screen = m_nCurrentScreen;
  state.statusBarVisible = statusBar()->isVisible();
  if (const CProcessView* view = GetProcessView()) {
    state.sessionRows = view->SessionCount();
    state.currentSession = view->GetCurrentSession() != nullptr;
  }
  if (main == nullptr) return state;
  state.multiple = main->IsMultiple();
  state.construct = main->IsConstructMode();
  state.selectionRows = main->SelectionCount();
  state.inputField = !main->InputField().isEmpty();
  state.originalField = !main->OriginalField().isEmpty();
  state.outputField = !main->OutputField().isEmpty();
  state.marked = main->MarkedCount();
  state.original = main->HasOriginal();
  state.dirFocused = main->IsDirViewFocused();
  state.highlighted = main->HighlightedPaths();
  state.focusedHighlighted = main->HasFocusedHighlighted();
  state.dirItems = main->DirItemCount();
  state.treeFocused = main->IsTreeFocused();
  state.treeExpanded = main->IsTreeSelectionExpanded();
  state.sortKey = main->SortKey();
  state.markedInFront = main->MarkedInFront();
  state.ascending = main->SortAscending();
  return state;
}

void CMainFrame::UpdateCommands() { m_pActions->Apply(CommandState()); }

bool CMainFrame::SendCommand(unsigned id) {
  UpdateCommands();
  QAction* action = Command(id);
  if (action == nullptr || !action->isEnabled()) return false;
  action->trigger();
  return true;
}

CMainScreen* CMainFrame::ShownMain() const {
  return m_pMainScreen != nullptr && m_pMainWidget != nullptr && m_nCurrentScreen == 0 ? m_pMainScreen : nullptr;
}

CMainScreen* CMainFrame::ExistingMain() const { return m_pMainWidget != nullptr ? m_pMainScreen : nullptr; }

void CMainFrame::OnExit() { BeginExit(); }

void CMainFrame::OnSelect() {
  if (CMainScreen* main = ExistingMain()) main->MarkHighlighted();
}

void CMainFrame::OnSelectOriginal() {
  if (CMainScreen* main = ExistingMain()) main->ChooseOriginal();
}

void CMainFrame::OnReverseSelection() {
  if (CMainScreen* main = ExistingMain()) main->ReverseMarks();
}

void CMainFrame::OnClearSelection() {
  if (CMainScreen* main = ExistingMain()) main->ClearMarks();
}

void CMainFrame::OnClearOriginal() {
  if (CMainScreen* main = ExistingMain()) main->ClearOriginal();
}

void CMainFrame::OnAddFiles() {
  if (CMainScreen* main = ExistingMain()) main->AddMarkedFiles();
}

void CMainFrame::OnScreenMain() { SwitchToScreen(0, false); }
void CMainFrame::OnScreenStatus() { SwitchToScreen(1, false); }

void CMainFrame::SortBy(int key) {
  if (CMainScreen* main = ExistingMain()) main->SetSortKey(key);
}

void CMainFrame::OnSortByName() { SortBy(0); }
void CMainFrame::OnSortBySize() { SortBy(1); }
void CMainFrame::OnSortByType() { SortBy(2); }
void CMainFrame::OnSortByDate() { SortBy(3); }

void CMainFrame::OnMarkedInFront() {
  if (CMainScreen* main = ExistingMain()) main->ToggleMarkedInFront();
}

void CMainFrame::OnSortOrder() {
  if (CMainScreen* main = ExistingMain()) main->ReverseSortOrder();
}

void CMainFrame::OnRefresh() {
  if (CMainScreen* main = ExistingMain()) main->Refresh();
}

void CMainFrame::OnConstruct() {
  if (ShownMain() != nullptr) OnModeConstruct(true);
}

void CMainFrame::OnReconstruct() {
  if (ShownMain() != nullptr) OnModeConstruct(false);
}

void CMainFrame::OnHelpTopics() { CHelpWindow::ShowContents(); }
void CMainFrame::OnHelpOnHelp() { CHelpWindow::ShowHelpOnHelp(); }
void CMainFrame::OnContextHelp() { QWhatsThis::enterWhatsThisMode(); }

void CMainFrame::OnTreeOpen() {
  if (CMainScreen* main = ExistingMain()) main->ToggleTreeSelection();
}

void CMainFrame::OnStartProcessing() {
  if (!ScreensExist()) return;
  if (!AcceptRecordedOutputs()) return;
  StartProcessingSession(*m_pMainScreen, *GetProcessView(), *this);
}

// Names taken from difference files never replace anything unasked: the
// names in use are put to the user once, and Yes lets the core replace the
// entry under each name (a link as the link), never write through it. A name the core refuses anyway
// is not asked about. False when the user said No.
bool CMainFrame::AcceptRecordedOutputs() {
  CMainScreen& screen = *m_pMainScreen;
  if (!screen.IsMultiple()) {
    const QString output = screen.OutputField();
    if (!screen.IsOutputFieldRecorded() || screen.IsConstructMode()) {
      return !FileExists(output) || AskYes(this, Overwrite(output));
    }
    CTarvoTaskEntry job(nullptr, Local(screen.InputField()).c_str(), Local(output).c_str());
    job.SetOutputRecorded(true);
    const std::string inUse = job.RecordedOutputInUse();
    if (inUse.empty()) return true;
    if (!AskYes(this, Overwrite(Native(inUse)))) return false;
    screen.SetRecordedOutputField(Native(inUse));
    screen.AcceptRecordedOutputField();
    return true;
  }
  std::vector<std::pair<CTarvoTaskEntry*, std::string>> inUse;
  QStringList names;
  for (int i = 0; i < screen.SelectionCount(); ++i) {
    CTarvoTaskEntry* entry = screen.SelectionEntry(i);
    std::string path = entry != nullptr ? entry->RecordedOutputInUse() : std::string();
    if (path.empty()) continue;
    names << Native(path);
    inUse.emplace_back(entry, std::move(path));
  }
  if (inUse.empty()) return true;
  const QString question = ftext::Tr(ftext::kTheseExist) +
                           names.join(QLatin1Char('\n')) + ftext::Tr(ftext::kProceed);
  if (!AskYes(this, question)) return false;
  for (auto& used : inUse) used.first->AcceptRecordedOutput();
  return true;
}

void CMainFrame::OnCancelProcessing() {
  CProcessView* view = GetProcessView();
  const QList<QPersistentModelIndex> rows = view != nullptr ? view->CurrentRows() : QList<QPersistentModelIndex>();
  if (rows.isEmpty()) return;
  if (MessageBox(this, LoadString(ids::kCancelSessions), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes) {
    return;
  }
  // The question's own loop may have let the session end meanwhile.
  if (view->CancelRows(rows) == 0) MessageBox(this, CProcessView::SessionsEndedText(), QMessageBox::Information);
}

void CMainFrame::OnModeConstruct(bool construct) {
  m_pMainScreen->SetConstructFlag(construct);
  m_pMainScreen->RemoveAllSelections();
  m_pMainScreen->SetInputField(QString());
  m_pMainScreen->SetOriginalField(QString());
  m_pMainScreen->SetOutputField(QString());
}

void CMainFrame::OnSingleFile() {
  if (ShownMain() == nullptr) return;
  m_pMainScreen->SetOutputField(QString());  // still under the old mode
  m_pMainScreen->SetInputField(QString());
  m_pMainScreen->SetOriginalField(QString());
  m_pMainScreen->ClearMarks();
  m_pMainScreen->ClearOriginal();
  m_pMainScreen->SetSingleFileMode();
}

void CMainFrame::OnMultipleFiles() {
  if (ShownMain() == nullptr) return;
  m_pMainScreen->ClearMarks();
  m_pMainScreen->ClearOriginal();
  m_pMainScreen->SetMultipleFilesMode();
}

void CMainFrame::OnClearAll() {
  if (ExistingMain() == nullptr) return;
  m_pMainScreen->ClearMarks();
  m_pMainScreen->ClearOriginal();
  m_pMainScreen->SetOutputField(QString());
  m_pMainScreen->SetInputField(QString());
  m_pMainScreen->SetOriginalField(QString());
}

void CMainFrame::OnToggleStatusBar() {
  statusBar()->setVisible(!statusBar()->isVisible());
  if (QWidget* current = m_nCurrentScreen == 1 ? static_cast<QWidget*>(m_pProgressDialog) : m_pMainWidget.data()) {
    current->update();
  }
}

void CMainFrame::OnHelp() {
  unsigned context = 0;
  if (m_nCurrentScreen == 1 && m_pProgressDialog != nullptr) {
    context = m_pProgressDialog->HelpContext();
  } else if (m_pMainScreen != nullptr && m_pMainWidget != nullptr) {
    context = m_pMainScreen->HelpContext();
  }
  if (context != 0) {
    CHelpWindow::ShowContext(context);
  } else {
    CHelpWindow::ShowContents();
  }
}

void CMainFrame::OnAbout() {
  CAboutDialog about(this);
  about.exec();
}

void CMainFrame::OnProperties() {
  if (m_pMainScreen == nullptr) return;
  const QStringList highlighted = m_pMainScreen->HighlightedPaths();
  if (highlighted.isEmpty()) return;
  // The viewer is started from this program's own folder, with the whole
  // path as its one argument (no length cut, no quoting to go wrong).
  const QString viewer = QFile::decodeName(QByteArray::fromStdString(TFLExecDirFile("MvrView")));
  if (!QProcess::startDetached(viewer, {highlighted.front()})) {
    MessageBox(this, ftext::Tr(ftext::kViewerFailed), QMessageBox::Critical);
  }
}

void CMainFrame::OnReconstructNow() {
  if (!ScreensExist()) return;
  {
    const CWaitCursor wait;
    const QStringList names = m_pMainScreen->HighlightedTexts();
    if (names.isEmpty()) return;
    OnReconstruct();
    OnMultipleFiles();
    // The reload has highlighted its first row; only the collected names are
    // to be highlighted again.
    m_pMainScreen->ClearHighlight();
    for (const QString& name : names) {
      if (!m_pMainScreen->HighlightItemByText(name)) break;
    }
    OnSelect();
    OnAddFiles();
  }
  // The output names come from the difference files: the start asks before
  // any of them replaces something.
  OnStartProcessing();
}

// ---------------------------------------------------------------- exit

bool CMainFrame::BeginExit() {
  if (m_bExiting) return true;
  if (!NoSessionsLeft() &&
      MessageBox(this, LoadString(ids::kExitWhileProcessing), QMessageBox::Question,
                 QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
    return false;
  }
  m_bExiting = true;
  SetStatusText(LoadString(ids::kExiting));
  const CWaitCursor wait;
  m_pScreens->hide();
  repaint();
  if (m_pProgress != nullptr) m_pProgress->hide();
  statusBar()->repaint();
  if (m_pMainScreen != nullptr && m_pMainWidget != nullptr) m_pMainScreen->ReleaseForExit();
  if (CProcessView* view = GetProcessView()) view->CancelAll();
  emit exitConfirmed();
  return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The window goes only when the application destroys it; closing asks first.
  event->ignore();
  BeginExit();
}
