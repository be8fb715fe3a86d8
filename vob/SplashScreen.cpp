#include "SplashScreen.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>
#include <climits>
#include <new>

#include "BitmapResource.h"

CSplashScreen* CSplashScreen::mg_pSplashScreen = nullptr;
bool CSplashScreen::mg_bTimeoutElapsed = false;
bool CSplashScreen::mg_bAppIsIdle = false;

CSplashScreen::CSplashScreen() = default;

CSplashScreen::~CSplashScreen() {
  // Also reached when the owner window takes the splash down with it.
  if (mg_pSplashScreen == this) {
    mg_pSplashScreen = nullptr;
    mg_bTimeoutElapsed = false;
    mg_bAppIsIdle = false;
  }
}

bool CSplashScreen::Display(unsigned nTimeout, unsigned nBitmapID, QWidget* pParentWnd) {
  // Two splashes would share one set of flags, and closing either would
  // orphan the other on screen; the newer request wins.
  if (mg_pSplashScreen != nullptr) mg_pSplashScreen->Close();
  try {
    auto* splash = new CSplashScreen;
    if (!splash->Create(nTimeout, nBitmapID, pParentWnd)) {
      delete splash;
      return false;
    }
    splash->show();
    splash->repaint();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool CSplashScreen::EndSplashScreen() {
  if (mg_pSplashScreen == nullptr) return true;
  mg_bAppIsIdle = true;
  if (!mg_bTimeoutElapsed) return false;
  mg_pSplashScreen->Close();
  return true;
}

bool CSplashScreen::Create(unsigned nTimeout, unsigned nBitmapID, QWidget* pParentWnd) {
  m_nTimeout = nTimeout;
  m_nBitmapID = nBitmapID;
  mg_pSplashScreen = this;
  // Owned by the parent's window, yet a window of its own: no frame, above
  // everything, and never taking the focus from the program starting up.
  setParent(pParentWnd != nullptr ? pParentWnd->window() : nullptr,
            Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                Qt::WindowDoesNotAcceptFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setCursor(Qt::WaitCursor);

  const int interval = static_cast<int>(std::min<unsigned long long>(nTimeout * 1000ULL, INT_MAX));
  // A coarse timer may fire a twentieth early; the splash must not.
  m_Shown.start();
  m_nTimer = startTimer(interval, Qt::PreciseTimer);
  if (m_nTimer == 0) return false;
  m_Bitmap = tarvovob::LoadBitmapResource(m_nBitmapID);
  if (m_Bitmap.isNull()) {
    killTimer(m_nTimer);
    m_nTimer = 0;
    return false;
  }
  setFixedSize(m_Bitmap.deviceIndependentSize().toSize());
  CentreOnOwner();
  return true;
}

void CSplashScreen::CentreOnOwner() {
  const QWidget* owner = parentWidget();
  QRect area;
  if (owner != nullptr && owner->isVisible() && !owner->isMinimized()) {
    area = owner->frameGeometry();
  } else {
    const QScreen* where = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (where != nullptr) area = where->availableGeometry();
  }
  QRect frame(QPoint(0, 0), size());
  frame.moveCenter(area.center());
  move(frame.topLeft());
}

void CSplashScreen::OnTimer(int nIDEvent) {
  // A splash already on its way out may still receive a queued click or
  // timer; it must not count for the one that replaced it.
  if (nIDEvent != kTimeoutTimerId || mg_pSplashScreen != this) return;
  mg_bTimeoutElapsed = true;
  if (mg_bAppIsIdle) Close();
}

void CSplashScreen::timerEvent(QTimerEvent* event) {
  // Qt numbers its timers itself: our timer, whatever number it got, and a
  // click's posted time-out both count as the time-out timer.
  const bool timeout = (m_nTimer != 0 && event->timerId() == m_nTimer) ||
                       event->timerId() == kTimeoutTimerId;
  if (timeout && event->timerId() == m_nTimer) {
    if (FireEarly()) return;
    if (m_bCatchingUp) {
      m_bCatchingUp = false;
      killTimer(m_nTimer);
      m_nTimer = startTimer(static_cast<int>(std::min<unsigned long long>(m_nTimeout * 1000ULL, INT_MAX)),
                            Qt::PreciseTimer);
    }
  }
  if (timeout) {
    OnTimer(kTimeoutTimerId);
  } else {
    QWidget::timerEvent(event);
  }
}

bool CSplashScreen::FireEarly() {
  const qint64 wanted = static_cast<qint64>(m_nTimeout) * 1000;
  const qint64 left = wanted - m_Shown.elapsed();
  if (left <= 0) return false;
  // Early all the same: wait out the rest, then keep the period.
  killTimer(m_nTimer);
  m_nTimer = startTimer(static_cast<int>(std::min<qint64>(left, INT_MAX)), Qt::PreciseTimer);
  m_bCatchingUp = true;
  return true;
}

void CSplashScreen::mousePressEvent(QMouseEvent* event) {
  if (QWidget* owner = parentWidget()) {
    owner->window()->raise();
    owner->window()->activateWindow();
  }
  // Counted as the time having run out, through the same path as the timer.
  QCoreApplication::postEvent(this, new QTimerEvent(kTimeoutTimerId));
  event->accept();
}

void CSplashScreen::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_Bitmap);
}

void CSplashScreen::Close() {
  if (m_nTimer != 0) {
    killTimer(m_nTimer);
    m_nTimer = 0;
  }
  if (mg_pSplashScreen == this) {
    mg_pSplashScreen = nullptr;
    mg_bTimeoutElapsed = false;
    mg_bAppIsIdle = false;
  }
  hide();
  m_Bitmap = QPixmap();
  // Deleted from the event loop: Close may run inside this widget's own
  // timer or mouse handler.
  deleteLater();
}
