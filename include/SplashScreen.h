// The start-up picture: a frameless, top-most window exactly the size of its
// picture, centred, that stays up for at least a given time and until the
// application says it is idle, whichever comes later. A click on it counts as
// the time having passed.
#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

#if defined(TARVOVOB_BUILD)
#define TARVOVOB_API __attribute__((visibility("default")))
#else
#define TARVOVOB_API
#endif

class TARVOVOB_API CSplashScreen : public QWidget {
  Q_OBJECT

 public:
  // Shows picture nBitmapID for at least nTimeout seconds. The program's own
  // picture ":/bitmaps/<id>.png" is taken before the library's. A splash that
  // is already showing is closed first. False when no window could be shown
  // (no such picture, no timer); nothing is left behind then.
  static bool Display(unsigned nTimeout, unsigned nBitmapID, QWidget* pParentWnd);
  // The application is idle: closes the splash when its time has passed and
  // returns true; otherwise returns false and the splash closes itself when
  // the time is up. True when no splash is showing.
  static bool EndSplashScreen();

  // The one timer whose firing (or a click) ends the waiting time.
  static constexpr int kTimeoutTimerId = 14;

  ~CSplashScreen() override;

 protected:
  CSplashScreen();
  bool Create(unsigned nTimeout, unsigned nBitmapID, QWidget* pParentWnd);
  void OnTimer(int nIDEvent);

  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

  // The splash being shown and how far it has got; one at a time per process.
  static CSplashScreen* mg_pSplashScreen;
  static bool mg_bTimeoutElapsed;
  static bool mg_bAppIsIdle;

 private:
  void Close();
  void CentreOnOwner();
  // The timer fired before the minimum time: re-armed for the rest.
  bool FireEarly();

  QPixmap m_Bitmap;
  int m_nTimer = 0;  // the running timer, 0 when none
  unsigned m_nBitmapID = 0;
  unsigned m_nTimeout = 0;
  QElapsedTimer m_Shown;       // since the timer was started
  bool m_bCatchingUp = false;  // the timer runs for the rest of an early firing
};
