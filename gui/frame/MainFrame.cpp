#include "MainFrame.h"

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
#include <QStatusBar>
#include <QTimerEvent>
#include <QToolBar>
#include <QWhatsThis>
#include <cmath>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "AboutDialog.h"
#include "CommandIds.h"
#include "HelpWindow.h"
#include "InterfaceException.h"
#include "MainScreen.h"
#include "MessageBox.h"
#include "ProcessView.h"
#include "ProgressViewDialog.h"
#include "QorvexPictures.h"
#include "QorvexStrings.h"
#include "ReportInterfaceError.h"
#include "StartProcessing.h"
#include "StringIds.h"
#include "Tarvo2Engine.h"
#include "TarvoFileLib.h"
#include "TarvoTaskEntry.h"

using namespace qorvex;

namespace {

constexpr int kStatusTimerMs = 500;
constexpr int kProgressSteps = 320;

const QString kNoStatusScreen = QStringLiteral("Fatal Error: Unable to create the progress view dialog");
const QString kNoMainScreen = QStringLiteral("Fatal Error: Unable to create the main interface dialog");
const QString kInvalidCommandLineFile = QStringLiteral("Error: invalid delta file format!");
const QString kViewerFailed = QStringLiteral("Failed to launch MvrView.exe !");
const QString kStatusListFailed = QStringLiteral("Failed to initialize the process view list control");

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
  m_pClient = new QWidget(this);
  m_pClient->installEventFilter(this);
  setCentralWidget(m_pClient);
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
  delete m_pClient;
  m_pClient = nullptr;
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

QAction* CMainFrame::AddCommand(unsigned id, const QString& text, QMenu* menu) {
  auto* action = new QAction(text, this);
  action->setData(id);
  action->setStatusTip(PromptStatusText(id));
  const QString tip = PromptTooltip(id);
  if (!tip.isEmpty()) action->setToolTip(tip);
  action->setWhatsThis(PromptStatusText(id));
  connect(action, &QAction::triggered, this, [this, id] { DoCommand(id); });
  if (menu != nullptr) menu->addAction(action);
  addAction(action);  // its keys work wherever the focus is inside the window
  m_Commands[id] = action;
  return action;
}

void CMainFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  AddCommand(cmd::kStartProcessing, QStringLiteral("Start &Processing"), file);
  AddCommand(cmd::kCancelProcessing, QStringLiteral("&Cancel Processing..."), file);
  file->addSeparator();
  AddCommand(cmd::kExit, LoadString(ids::kExitIdle), file);

  QMenu* select = menuBar()->addMenu(QStringLiteral("&Selection"));
  AddCommand(cmd::kSelect, QStringLiteral("&Select\tSpace"), select);
  AddCommand(cmd::kSelectOriginal, QStringLiteral("Select &Original\tShift+Space/Ctrl+O"), select);
  select->addSeparator();
  AddCommand(cmd::kReverseSelection, QStringLiteral("Re&verse Selection"), select);
  AddCommand(cmd::kClearSelection, QStringLiteral("C&lear Selection"), select);
  AddCommand(cmd::kClearOriginal, QStringLiteral("Cl&ear Original Selection"), select);
  AddCommand(cmd::kClearAll, QStringLiteral("Clear &All Selections\tF8"), select)->setShortcut(Qt::Key_F8);
  select->addSeparator();
  AddCommand(cmd::kAddFiles, QStringLiteral("Add Files For &Processing\tEnter"), select);

  m_pViewMenu = menuBar()->addMenu(QStringLiteral("&View"));
  AddCommand(cmd::kToggleStatusBar, QStringLiteral("Status &Bar"), m_pViewMenu)->setCheckable(true);
  QMenu* screens = m_pViewMenu->addMenu(QStringLiteral("S&creen"));
  auto* screenGroup = new QActionGroup(this);
  screenGroup->addAction(AddCommand(cmd::kScreenMain, QStringLiteral("&Main Interface"), screens));
  screenGroup->addAction(AddCommand(cmd::kScreenStatus, QStringLiteral("File &Processing Status"), screens));
  m_pViewMenu->addSeparator();
  m_pSortMenu = m_pViewMenu->addMenu(QStringLiteral("&Sort Files"));
  AddCommand(cmd::kSortByName, QStringLiteral("By &Name"), m_pSortMenu);
  AddCommand(cmd::kSortBySize, QStringLiteral("By &Size"), m_pSortMenu);
  AddCommand(cmd::kSortByType, QStringLiteral("By &Type"), m_pSortMenu);
  AddCommand(cmd::kSortByDate, QStringLiteral("By &Date"), m_pSortMenu);
  m_pSortMenu->addSeparator();
  AddCommand(cmd::kMarkedInFront, QStringLiteral("&Marked Files in Front"), m_pSortMenu);
  AddCommand(cmd::kSortOrder, QStringLiteral("S&ort Order Change"), m_pSortMenu);
  m_pViewMenu->addSeparator();
  AddCommand(cmd::kRefresh, QStringLiteral("&Refresh\tF5"), m_pViewMenu)->setShortcut(Qt::Key_F5);

  QMenu* mode = menuBar()->addMenu(QStringLiteral("&Mode"));
  AddCommand(cmd::kConstruct, QStringLiteral("&Construct"), mode);
  AddCommand(cmd::kReconstruct, QStringLiteral("&Reconstruct"), mode);
  mode->addSeparator();
  AddCommand(cmd::kSingleFile, QStringLiteral("&Single File"), mode);
  AddCommand(cmd::kMultipleFiles, QStringLiteral("&Multiple Files"), mode);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  AddCommand(cmd::kHelpTopics, QStringLiteral("Help &Topics\tCtrl+F1"), help);
  AddCommand(cmd::kHelpOnHelp, QStringLiteral("&Help on Help"), help);
  AddCommand(cmd::kContextHelp, QStringLiteral("Conte&xt Help\tShift+F1"), help)->setShortcut(Qt::SHIFT | Qt::Key_F1);
  help->addSeparator();
  AddCommand(cmd::kAbout, QStringLiteral("&About Mendivar..."), help);

  // Commands without a menu item of their own.
  AddCommand(cmd::kHelp, QString(), nullptr)->setShortcut(Qt::Key_F1);
  AddCommand(cmd::kDefaultHelp, QString(), nullptr);
  AddCommand(cmd::kProperties, QStringLiteral("&Properties..."), nullptr);
  AddCommand(cmd::kReconstructNow, QStringLiteral("&Reconstruct Now"), nullptr);
  AddCommand(cmd::kTreeOpen, QStringLiteral("&Open"), nullptr);

  for (const auto& [id, action] : m_Commands) {
    if (id == cmd::kToggleStatusBar || id == cmd::kMarkedInFront) continue;
    const bool radio = id == cmd::kScreenMain || id == cmd::kScreenStatus ||
                       (id >= cmd::kSortByName && id <= cmd::kSortByDate) ||
                       (id >= cmd::kConstruct && id <= cmd::kMultipleFiles);
    action->setCheckable(radio);
  }
  m_Commands[cmd::kMarkedInFront]->setCheckable(true);
  for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::OnMenuOpening);
  }
  // Sorting means nothing while the status screen is shown.
  connect(m_pViewMenu, &QMenu::aboutToShow, this,
          [this] { m_pSortMenu->menuAction()->setEnabled(m_nCurrentScreen != 1); });
}

void CMainFrame::BuildToolBar() {
  m_pToolBar = addToolBar(QStringLiteral("Toolbar"));
  m_pToolBar->setObjectName(QStringLiteral("toolBar"));
  m_pToolBar->setMovable(false);
  m_pToolBar->setIconSize(QSize(24, 23));
  const unsigned buttons[] = {cmd::kConstruct, cmd::kReconstruct, 0, cmd::kSelectOriginal, cmd::kSelect, 0,
                              cmd::kAddFiles, cmd::kStartProcessing};
  for (unsigned id : buttons) {
    if (id == 0) {
      m_pToolBar->addSeparator();
      continue;
    }
    QAction* action = m_Commands.at(id);
    action->setIcon(QIcon(QStringLiteral(":/Qorvex/toolbar/%1.png").arg(id)));
    action->setIconVisibleInMenu(false);
    m_pToolBar->addAction(action);
  }
}

QAction* CMainFrame::Command(unsigned id) const {
  const auto it = m_Commands.find(id);
  return it == m_Commands.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- screens

bool CMainFrame::CreateScreens() {
  CProgressViewDialog* status = nullptr;
  try {
    status = new CProgressViewDialog(this, m_pClient);
  } catch (const std::bad_alloc&) {
    MessageBox(this, kNoStatusScreen, QMessageBox::NoIcon);
    return false;
  }
  m_pProgressDialog = status;
  if (!status->Initialize()) {
    MessageBox(this, kStatusListFailed, QMessageBox::Critical);
    QApplication::exit(3);
    return false;
  }
  CMainScreen* main = nullptr;
  try {
    main = m_MakeMainScreen ? m_MakeMainScreen(this, m_pClient) : nullptr;
  } catch (const std::bad_alloc&) {
    main = nullptr;
  }
  if (main == nullptr) {
    delete status;
    MessageBox(this, kNoMainScreen, QMessageBox::NoIcon);
    return false;
  }
  m_pMainScreen = main;
  m_pMainWidget = main->Widget();
  connect(GetProcessView(), &CProcessView::statusTimerPosted, this, &CMainFrame::OnStatusTimer,
          Qt::QueuedConnection);
  PlaceScreens();
  m_pMainWidget->show();
  status->show();
  SwitchToScreen(0, true);

  m_pProgress = new QProgressBar(statusBar());
  m_pProgress->setRange(0, kProgressSteps);
  m_pProgress->setValue(0);
  m_pProgress->setTextVisible(false);
  m_pProgress->hide();
  PlaceProgressBar();
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

void CMainFrame::PlaceScreens() {
  if (!ScreensExist()) return;
  m_pMainWidget->setGeometry(m_pClient->rect());
  m_pProgressDialog->setGeometry(m_pClient->rect());
}

void CMainFrame::PlaceProgressBar() {
  if (m_pProgress == nullptr) return;
  QRect r = statusBar()->rect();
  r.setLeft(r.right() - 230);
  r.setRight(r.right() - r.height());
  m_pProgress->setGeometry(r.adjusted(2, 2, -2, -2));
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceProgressBar();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_pClient && event->type() == QEvent::Resize && ScreensExist()) {
    PlaceScreens();
    SwitchToScreen(m_nCurrentScreen, true);
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::SwitchToScreen(int nScreen, bool bForce) {
  if (nScreen == m_nCurrentScreen && !bForce) return;
  if (!ScreensExist()) return;
  m_nCurrentScreen = nScreen;
  QWidget* front = nScreen == 1 ? static_cast<QWidget*>(m_pProgressDialog) : m_pMainWidget.data();
  QWidget* back = nScreen == 1 ? m_pMainWidget.data() : static_cast<QWidget*>(m_pProgressDialog);
  // The screen behind is hidden too, so that Tab never walks into it.
  front->show();
  front->raise();
  back->hide();
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
  UpdateCommands();
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
      SetStatusText(QStringLiteral("Processing '") + session->GetCurrentFileName() + QStringLiteral("'"));
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
    MessageBox(this, kInvalidCommandLineFile, QMessageBox::NoIcon);
    return;
  }
  QString target = Native(job.GetOutputFile());
  const std::string inUse = job.RecordedOutputInUse();
  if (!inUse.empty()) {
    target = Native(inUse);
    if (!AskYes(this, Overwrite(target))) return;
  }
  if (!ScreensExist()) return;
  DoCommand(cmd::kSingleFile);
  DoCommand(cmd::kReconstruct);
  m_pMainScreen->SetInputField(m_strCommandLineFile);
  m_pMainScreen->SetOriginalField(Native(job.GetReferenceFile()));
  // Accepted, the name is the user's; otherwise it stays recorded.
  if (inUse.empty()) {
    m_pMainScreen->SetRecordedOutputField(target);
  } else {
    m_pMainScreen->SetOutputField(target);
  }
  StartProcessingSession(*m_pMainScreen, *GetProcessView(), *this);
}

// ---------------------------------------------------------------- commands

void CMainFrame::UpdateCommands() {
  CMainScreen* main = m_pMainScreen != nullptr && m_pMainWidget != nullptr ? m_pMainScreen : nullptr;
  const bool both = ScreensExist();
  const bool mainShown = main != nullptr && m_nCurrentScreen == 0;
  const CProcessView* view = GetProcessView();
  const bool rows = view != nullptr && view->SessionCount() > 0;
  const bool multiple = main != nullptr && main->IsMultiple();
  const bool construct = main == nullptr || main->IsConstructMode();
  const bool singleFieldsFull = main != nullptr && !main->InputField().isEmpty() &&
                                !main->OriginalField().isEmpty() && !main->OutputField().isEmpty();
  const bool anyField = main != nullptr && (!main->InputField().isEmpty() || !main->OriginalField().isEmpty() ||
                                            !main->OutputField().isEmpty());
  const int marked = main != nullptr ? main->MarkedCount() : 0;
  const bool original = main != nullptr && main->HasOriginal();
  const bool dirFocused = main != nullptr && main->IsDirViewFocused();
  const QStringList highlighted = main != nullptr ? main->HighlightedPaths() : QStringList();

  auto set = [this](unsigned id, bool enabled) { m_Commands.at(id)->setEnabled(enabled); };
  auto check = [this](unsigned id, bool checked) { m_Commands.at(id)->setChecked(checked); };

  set(cmd::kStartProcessing, both && mainShown && (multiple ? main->SelectionCount() > 0 : singleFieldsFull));
  set(cmd::kCancelProcessing, main != nullptr && view != nullptr && view->GetCurrentSession() != nullptr);
  m_Commands.at(cmd::kExit)->setText(LoadString(rows ? ids::kExitBusy : ids::kExitIdle));

  const bool select = dirFocused && !highlighted.isEmpty() && mainShown;
  set(cmd::kSelect, select);
  m_Commands.at(cmd::kSelect)->setText(
      select ? LoadString(construct ? ids::kSelectModified : ids::kSelectDifference) : QStringLiteral("&Select\tSpace"));
  set(cmd::kSelectOriginal, dirFocused && main->HasFocusedHighlighted() && mainShown);
  set(cmd::kReverseSelection, mainShown && multiple && main->DirItemCount() > 0);
  set(cmd::kClearSelection, mainShown && marked > 0);
  set(cmd::kClearOriginal, mainShown && original);
  set(cmd::kClearAll, mainShown && (multiple ? marked > 0 || original : anyField));
  set(cmd::kAddFiles, mainShown && multiple && marked > 0 && (!construct || original));

  check(cmd::kToggleStatusBar, statusBar()->isVisible());
  check(cmd::kScreenMain, m_nCurrentScreen == 0);
  check(cmd::kScreenStatus, m_nCurrentScreen == 1);
  const unsigned sortIds[] = {cmd::kSortByName, cmd::kSortBySize, cmd::kSortByType, cmd::kSortByDate};
  for (int key = 0; key < 4; ++key) {
    set(sortIds[key], main != nullptr);
    check(sortIds[key], main != nullptr && main->SortKey() == key);
  }
  set(cmd::kMarkedInFront, mainShown);
  check(cmd::kMarkedInFront, main != nullptr && main->MarkedInFront());
  set(cmd::kSortOrder, mainShown);
  m_Commands.at(cmd::kSortOrder)
      ->setText(LoadString(main == nullptr || main->SortAscending() ? ids::kSortDescending : ids::kSortAscending));
  set(cmd::kRefresh, mainShown);
  for (unsigned id : {cmd::kConstruct, cmd::kReconstruct, cmd::kSingleFile, cmd::kMultipleFiles}) set(id, mainShown);
  check(cmd::kConstruct, main != nullptr && construct);
  check(cmd::kReconstruct, main != nullptr && !construct);
  check(cmd::kSingleFile, main != nullptr && !multiple);
  check(cmd::kMultipleFiles, main != nullptr && multiple);

  static const char* const kMvr[] = {".mvr", nullptr};
  set(cmd::kProperties,
      highlighted.size() == 1 && TFLCheckFileStdExtension(QFile::encodeName(highlighted.front()).constData(), kMvr) == 0);
  bool allMvr = !highlighted.isEmpty();
  for (const QString& path : highlighted) {
    const std::string ext = TFLGetFileExtension(QFile::encodeName(path).constData());
    allMvr = allMvr && QString::fromStdString(ext).compare(QStringLiteral(".mvr"), Qt::CaseInsensitive) == 0;
  }
  set(cmd::kReconstructNow, both && allMvr);
  const bool treeFocused = main != nullptr && main->IsTreeFocused();
  set(cmd::kTreeOpen, treeFocused);
  m_Commands.at(cmd::kTreeOpen)
      ->setText(treeFocused && main->IsTreeSelectionExpanded() ? QStringLiteral("&Collapse") : QStringLiteral("&Open"));
}

bool CMainFrame::SendCommand(unsigned id) {
  UpdateCommands();
  QAction* action = Command(id);
  if (action == nullptr || !action->isEnabled()) return false;
  DoCommand(id);
  return true;
}

void CMainFrame::DoCommand(unsigned id) {
  // A list error escaping a command is shown here, as the framework would.
  try {
    CMainScreen* main = m_pMainWidget != nullptr ? m_pMainScreen : nullptr;
    const bool mainShown = main != nullptr && m_nCurrentScreen == 0;
    switch (id) {
      case cmd::kStartProcessing: OnStartProcessing(); break;
      case cmd::kCancelProcessing: OnCancelProcessing(); break;
      case cmd::kExit: BeginExit(); break;
      case cmd::kSelect: if (main) main->MarkHighlighted(); break;
      case cmd::kSelectOriginal: if (main) main->ChooseOriginal(); break;
      case cmd::kReverseSelection: if (main) main->ReverseMarks(); break;
      case cmd::kClearSelection: if (main) main->ClearMarks(); break;
      case cmd::kClearOriginal: if (main) main->ClearOriginal(); break;
      case cmd::kClearAll: OnClearAll(); break;
      case cmd::kAddFiles: if (main) main->AddMarkedFiles(); break;
      case cmd::kToggleStatusBar: OnToggleStatusBar(); break;
      case cmd::kScreenMain: SwitchToScreen(0, false); break;
      case cmd::kScreenStatus: SwitchToScreen(1, false); break;
      case cmd::kSortByName: case cmd::kSortBySize: case cmd::kSortByType: case cmd::kSortByDate:
        if (main) main->SetSortKey(static_cast<int>(id - cmd::kSortByName));
        break;
      case cmd::kMarkedInFront: if (main) main->ToggleMarkedInFront(); break;
      case cmd::kSortOrder: if (main) main->ReverseSortOrder(); break;
      case cmd::kRefresh: if (main) main->Refresh(); break;
      case cmd::kConstruct: if (mainShown) OnModeConstruct(true); break;
      case cmd::kReconstruct: if (mainShown) OnModeConstruct(false); break;
      case cmd::kSingleFile: if (mainShown) OnSingleFile(); break;
      case cmd::kMultipleFiles: if (mainShown) OnMultipleFiles(); break;
      case cmd::kHelpTopics: case cmd::kDefaultHelp: CHelpWindow::ShowContents(); break;
      case cmd::kHelpOnHelp: CHelpWindow::ShowHelpOnHelp(); break;
      case cmd::kContextHelp: QWhatsThis::enterWhatsThisMode(); break;
      case cmd::kHelp: OnHelp(); break;
      case cmd::kAbout: OnAbout(); break;
      case cmd::kProperties: OnProperties(); break;
      case cmd::kReconstructNow: OnReconstructNow(); break;
      case cmd::kTreeOpen: if (main) main->ToggleTreeSelection(); break;
      default: break;
    }
  } catch (const CInterfaceException& e) {
    ReportInterfaceError(e, this);
  }
  UpdateCommands();
}

void CMainFrame::OnStartProcessing() {
  if (!ScreensExist()) return;
  if (!AcceptRecordedOutputs()) return;
  StartProcessingSession(*m_pMainScreen, *GetProcessView(), *this);
}

// Names taken from difference files never replace anything unasked: the
// names in use are put to the user once, and Yes makes them the user's, so
// that the core may replace what is there. A name the core refuses anyway
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
    screen.SetOutputField(Native(inUse));
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
  const QString question = QStringLiteral("These files already exist and will be overwritten:\n\n") +
                           names.join(QLatin1Char('\n')) + QStringLiteral("\n\nDo you want to proceed?");
  if (!AskYes(this, question)) return false;
  for (auto& [entry, path] : inUse) entry->SetOutputFile(path.c_str(), false);
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
  m_pMainScreen->SetOutputField(QString());  // still under the old mode
  m_pMainScreen->SetInputField(QString());
  m_pMainScreen->SetOriginalField(QString());
  m_pMainScreen->ClearMarks();
  m_pMainScreen->ClearOriginal();
  m_pMainScreen->SetSingleFileMode();
}

void CMainFrame::OnMultipleFiles() {
  m_pMainScreen->ClearMarks();
  m_pMainScreen->ClearOriginal();
  m_pMainScreen->SetMultipleFilesMode();
}

void CMainFrame::OnClearAll() {
  if (m_pMainScreen == nullptr) return;
  m_pMainScreen->ClearMarks();
  m_pMainScreen->ClearOriginal();
  m_pMainScreen->SetOutputField(QString());
  m_pMainScreen->SetInputField(QString());
  m_pMainScreen->SetOriginalField(QString());
}

void CMainFrame::OnToggleStatusBar() {
  statusBar()->setVisible(!statusBar()->isVisible());
  PlaceScreens();
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
    MessageBox(this, kViewerFailed, QMessageBox::Critical);
  }
}

void CMainFrame::OnReconstructNow() {
  if (!ScreensExist()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const QStringList names = m_pMainScreen->HighlightedTexts();
  if (names.isEmpty()) {
    QApplication::restoreOverrideCursor();
    return;
  }
  DoCommand(cmd::kReconstruct);
  DoCommand(cmd::kMultipleFiles);
  // The reload has highlighted its first row; only the collected names are
  // to be highlighted again.
  m_pMainScreen->ClearHighlight();
  for (const QString& name : names) {
    if (!m_pMainScreen->HighlightItemByText(name)) break;
  }
  DoCommand(cmd::kSelect);
  DoCommand(cmd::kAddFiles);
  QApplication::restoreOverrideCursor();
  // The output names come from the difference files: the start asks before
  // any of them replaces something.
  DoCommand(cmd::kStartProcessing);
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
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (m_pMainWidget != nullptr) m_pMainWidget->hide();
  if (m_pProgressDialog != nullptr) m_pProgressDialog->hide();
  repaint();
  if (m_pProgress != nullptr) m_pProgress->hide();
  statusBar()->repaint();
  if (m_pMainScreen != nullptr && m_pMainWidget != nullptr) m_pMainScreen->ReleaseForExit();
  if (CProcessView* view = GetProcessView()) view->CancelAll();
  QApplication::restoreOverrideCursor();
  emit exitConfirmed();
  return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The window goes only when the application destroys it; closing asks first.
  event->ignore();
  BeginExit();
}

// ---------------------------------------------------------------- the screen's context menus

bool CMainFrame::IsCommandEnabled(int nId, QString* pText) {
  UpdateCommands();
  const QAction* action = Command(static_cast<unsigned>(nId));
  if (action == nullptr) return false;
  if (pText != nullptr) *pText = action->text();
  return action->isEnabled();
}

void CMainFrame::OnCommand(int nId) { SendCommand(static_cast<unsigned>(nId)); }
