// Qorvex's start and end: the hidden frame with the splash, the screens on
// the first idle pass, and an exit that waits for the running sessions.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "errors/WaitCursor.h"
#include "frame/MainFrame.h"

class CHelpKeyFilter;

class CTarvo2App : public QApplication {
  Q_OBJECT

 public:
  CTarvo2App(int& argc, char** argv);
  ~CTarvo2App() override;

  // Frame, splash, the command line's file (the first argument after the
  // program's name). False when the program cannot start.
  bool InitInstance(CMainFrame::ScreenFactory makeMainScreen, const QStringList& arguments);
  int Run();

  CMainFrame* GetMainFrame() const { return m_pFrame; }
  bool IsFirstIdle() const { return m_bFirstIdle; }
  bool IsFrameShown() const { return m_bFrameShown; }

  // The first pass of the event loop: screens, status text, the frame shown.
  void OnFirstIdle();

 private:
  void OnExitIdle();

  QPointer<CMainFrame> m_pFrame;
  CHelpKeyFilter* m_pHelpKeys = nullptr;
  QTimer m_ExitPoll;
  bool m_bFirstIdle = true;
  std::unique_ptr<CWaitCursor> m_pStartCursor;  // from the start until the first idle pass
  bool m_bFrameShown = false;
};
