#include "frame/Tarvo2App.h"

#include <QCommandLineParser>
#include <new>

#include "errors/MessageBox.h"
#include "frame/FrameTexts.h"
#include "help/HelpKeyFilter.h"
#include "SplashScreen.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"

namespace ftext = qorvex::frame::text;

namespace {

constexpr unsigned kSplashSeconds = 2;
constexpr unsigned kSplashBitmap = 157;
// How often an exit looks whether the last session has gone.
constexpr int kExitPollMs = 50;

}  // namespace

CTarvo2App::CTarvo2App(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(qorvex::LoadString(qorvex::ids::kProgramName));
  setApplicationDisplayName(qorvex::LoadString(qorvex::ids::kProgramName));
  m_pHelpKeys = new CHelpKeyFilter(this);
  installEventFilter(m_pHelpKeys);
  m_ExitPoll.setInterval(kExitPollMs);
  connect(&m_ExitPoll, &QTimer::timeout, this, &CTarvo2App::OnExitIdle);
}

CTarvo2App::~CTarvo2App() { delete m_pFrame; }

bool CTarvo2App::InitInstance(CMainFrame::ScreenFactory makeMainScreen, const QStringList& arguments) {
  m_bFirstIdle = true;
  m_bFrameShown = false;
  CMainFrame* frame = nullptr;
  try {
    frame = new CMainFrame(std::move(makeMainScreen));
  } catch (const std::bad_alloc&) {
    qorvex::MessageBox(nullptr,
                       ftext::Tr(ftext::kNoMainWindow),
                       QMessageBox::Critical);
    return false;
  }
  if (!frame->Create()) {
    delete frame;
    return false;
  }
  m_pFrame = frame;
  connect(frame, &CMainFrame::exitConfirmed, this, [this] { m_ExitPoll.start(); });
  CSplashScreen::Display(kSplashSeconds, kSplashBitmap, frame);

  QCommandLineParser parser;
  parser.addPositionalArgument(QStringLiteral("file"), ftext::Tr(ftext::kFileArgument));
  parser.process(arguments);
  if (!parser.positionalArguments().isEmpty()) frame->SetCommandLineFile(parser.positionalArguments().front());

  m_pStartCursor = std::make_unique<CWaitCursor>();
  QTimer::singleShot(0, this, &CTarvo2App::OnFirstIdle);
  return true;
}

void CTarvo2App::OnFirstIdle() {
  if (!m_bFirstIdle || m_pFrame == nullptr) return;
  m_bFirstIdle = false;
  m_pStartCursor.reset();
  const bool screens = m_pFrame->CreateScreens();
  m_pFrame->SetStatusText(qorvex::LoadString(qorvex::ids::kReadyForHelp));
  m_bFrameShown = true;
  m_pFrame->show();
  m_pFrame->repaint();
  if (!screens) CSplashScreen::EndSplashScreen();
}

void CTarvo2App::OnExitIdle() {
  if (m_pFrame == nullptr || !m_pFrame->IsExiting() || !m_pFrame->NoSessionsLeft()) return;
  m_ExitPoll.stop();
  delete m_pFrame;  // the last session has gone: the window goes, and the program ends
  quit();
}

int CTarvo2App::Run() { return exec(); }
