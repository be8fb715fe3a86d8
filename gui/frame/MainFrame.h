// Qorvex's main window: the menu, the toolbar, the status line with its
// progress bar, the two screens it switches between, the 500 ms status
// timer, and the commands that are not the screens' own.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>

#include "frame/QorvexActions.h"
#include "process/ProcessHost.h"
#include "process/ProgressViewDialog.h"

class CMainScreen;
class CProcessView;
class CProgressViewDialog;
class CTarvo2Engine;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QToolBar;

class CMainFrame : public QMainWindow, public CProcessHost {
  Q_OBJECT

 public:
  using ScreenFactory = std::function<CMainScreen*(CMainFrame* frame, QWidget* parent)>;

  // The Main Interface is made by the factory when the screens are created.
  explicit CMainFrame(ScreenFactory makeMainScreen);
  ~CMainFrame() override;

  // Toolbar, status bar and the status timer. False when any is missing.
  bool Create();
  // Both screens, then screen 0; false (after saying so) when one fails.
  bool CreateScreens();
  bool ScreensExist() const;

  // CProcessHost
  void SwitchToScreen(int nScreen, bool bForce) override;
  int CurrentScreen() const override { return m_nCurrentScreen; }
  void SetStatusText(const QString& text) override;
  QWidget* HostWindow() override { return this; }
  EConstructionChoice ConstructionChoice() const override { return m_pActions->ConstructionChoice(); }

  CMainScreen* GetMainScreen() const { return m_pMainScreen; }
  CProgressViewDialog* GetProgressDialog() const { return m_pProgressDialog; }
  CProcessView* GetProcessView() const;

  // The command of this number, as the menu, toolbar and keys reach it.
  QAction* Command(unsigned id) const;
  CQorvexActions* Actions() const { return m_pActions; }
  // What the commands' enabling depends on, now.
  CCommandState CommandState() const;
  // Brings every command's enabled state, check mark and text up to date;
  // called whenever something they depend on changes.
  void UpdateCommands();
  // Runs a command when it is enabled; false when it is not.
  bool SendCommand(unsigned id);

  // The difference file named on the command line, reconstructed at the
  // first tick after the screens exist. A relative name is taken in the
  // working folder of this call: the browser moves it later.
  void SetCommandLineFile(const QString& file);

  void OnStatusTimer();
  QString StatusText() const;
  QProgressBar* ProgressBar() const { return m_pProgress; }
  QMenu* SortFilesMenu() const { return m_pActions->SortFilesMenu(); }
  QMenu* ViewMenu() const { return m_pActions->ViewMenu(); }

  // Exit: asks when sessions run, then stops them all; the window goes once
  // the status list is empty. False when the user chose to stay.
  bool BeginExit();
  bool IsExiting() const { return m_bExiting; }
  // The status list has no rows left (or never existed).
  bool NoSessionsLeft() const;

 signals:
  void exitConfirmed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void Bind(unsigned id, void (CMainFrame::*slot)());
  void RunCommand(void (CMainFrame::*slot)());
  // The Main Interface when it exists (and is shown); else null.
  CMainScreen* ExistingMain() const;
  CMainScreen* ShownMain() const;
  void OnMenuOpening();
  void HandleCommandLineFile();
  void UpdateStatusLine();

  // One slot per command.
  void OnStartProcessing();
  bool AcceptRecordedOutputs();
  void OnCancelProcessing();
  void OnExit();
  void OnSelect();
  void OnSelectOriginal();
  void OnReverseSelection();
  void OnClearSelection();
  void OnClearOriginal();
  void OnClearAll();
  void OnAddFiles();
  void OnToggleStatusBar();
  void OnScreenMain();
  void OnScreenStatus();
  void SortBy(int key);
  void OnSortByName();
  void OnSortBySize();
  void OnSortByType();
  void OnSortByDate();
  void OnMarkedInFront();
  void OnSortOrder();
  void OnRefresh();
  void OnConstruct();
  void OnReconstruct();
  void OnModeConstruct(bool construct);
  void OnSingleFile();
  void OnMultipleFiles();
  void OnHelpTopics();
  void OnHelpOnHelp();
  void OnContextHelp();
  void OnHelp();
  void OnAbout();
  void OnProperties();
  void OnReconstructNow();
  void OnTreeOpen();

  ScreenFactory m_MakeMainScreen;
  CQorvexActions* m_pActions = nullptr;
  QStackedWidget* m_pScreens = nullptr;
  QToolBar* m_pToolBar = nullptr;
  QLabel* m_pMessagePane = nullptr;
  QProgressBar* m_pProgress = nullptr;
  CMainScreen* m_pMainScreen = nullptr;
  QPointer<QWidget> m_pMainWidget;
  QPointer<CProgressViewDialog> m_pProgressDialog;
  int m_nCurrentScreen = 0;
  int m_nStatusTimer = 0;
  bool m_bHelpNotice = false;
  bool m_bStatusShowsSession = false;  // the line reads "Processing '...'"

  bool m_bSessionsSeen = false;
  bool m_bExiting = false;
  bool m_bCommandLineHandled = false;
  QString m_strCommandLineFile;
};
