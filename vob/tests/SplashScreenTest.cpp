// The splash's states: who closes it, when, and what it looks like. Waiting
// for the real timer uses a one-second splash and generous hang guards; the
// order of events, not their timing, is what is checked.
#include <QElapsedTimer>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include "SplashScreen.h"

namespace {

constexpr int kHangGuardMs = 20000;
constexpr unsigned kOurPicture = 157;
constexpr unsigned kProgramsPicture = 7;  // only the test program has one
constexpr unsigned kNoPicture = 9999;
constexpr unsigned kLong = 3600;  // never runs out during a test

// The class-wide state, which only the class and its kin may see.
struct Probe : CSplashScreen {
  static CSplashScreen* Shown() { return mg_pSplashScreen; }
  static bool TimeoutElapsed() { return mg_bTimeoutElapsed; }
  static bool AppIsIdle() { return mg_bAppIsIdle; }
  static bool AtRest() { return Shown() == nullptr && !TimeoutElapsed() && !AppIsIdle(); }
};

}  // namespace

class SplashScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() {
    delete Probe::Shown();
    QVERIFY(Probe::AtRest());
  }

  void endWithoutASplashChangesNothing() {
    QVERIFY(CSplashScreen::EndSplashScreen());
    QVERIFY(Probe::AtRest());
  }

  void aMissingPictureShowsNothing() {
    QVERIFY(!CSplashScreen::Display(2, kNoPicture, nullptr));
    QVERIFY(Probe::AtRest());
    QVERIFY(CSplashScreen::EndSplashScreen());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(qobject_cast<CSplashScreen*>(w) == nullptr);
  }

  void theWindowIsThePictureCentred_data() {
    QTest::addColumn<unsigned>("id");
    QTest::addColumn<QString>("picture");
    QTest::newRow("the library's own 157") << kOurPicture << ":/TarvoVOb/bitmaps/157.png";
    QTest::newRow("the program's own") << kProgramsPicture << ":/bitmaps/7.png";
  }
  void theWindowIsThePictureCentred() {
    QFETCH(unsigned, id);
    QFETCH(QString, picture);
    const QSize size = QPixmap(picture).size();
    QVERIFY(!size.isEmpty());
    QVERIFY(CSplashScreen::Display(kLong, id, nullptr));
    CSplashScreen* splash = Probe::Shown();
    QVERIFY(splash != nullptr);
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->size(), size);
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(splash->geometry().center(), splash->screen()->availableGeometry().center());
    QCOMPARE(splash->grab().toImage().pixel(size.width() / 2, size.height() / 2),
             QPixmap(picture).toImage().pixel(size.width() / 2, size.height() / 2));
  }

  void centredOnAVisibleOwner() {
    QWidget owner;
    owner.setGeometry(40, 30, 900, 700);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QVERIFY(CSplashScreen::Display(kLong, kOurPicture, &owner));
    QCOMPARE(Probe::Shown()->geometry().center(), owner.frameGeometry().center());
    QVERIFY(Probe::Shown()->isWindow());
  }

  // Idle first: EndSplashScreen says false, the splash stays, and the timer
  // closes it when it fires.
  // Idle at once: the splash stays its whole minimum time, never a little less.
  void idleBeforeTheTimeOut() {
    QElapsedTimer clock;
    clock.start();
    QVERIFY(CSplashScreen::Display(1, kOurPicture, nullptr));
    QPointer<CSplashScreen> splash = Probe::Shown();
    // No event has been processed since Display, so the timer cannot have fired.
    QVERIFY(!CSplashScreen::EndSplashScreen());
    QVERIFY(Probe::AppIsIdle());
    QVERIFY(splash->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(Probe::Shown() == nullptr, kHangGuardMs);
    QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(Probe::AtRest());
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), kHangGuardMs);
  }

  // The time-out first: the splash stays until the application is idle,
  // however often the timer fires meanwhile.
  void timeOutBeforeIdle() {
    QVERIFY(CSplashScreen::Display(1, kOurPicture, nullptr));
    QPointer<CSplashScreen> splash = Probe::Shown();
    QTRY_VERIFY_WITH_TIMEOUT(Probe::TimeoutElapsed(), kHangGuardMs);
    QVERIFY(Probe::Shown() == splash);
    QVERIFY(splash->isVisible());
    QVERIFY(CSplashScreen::EndSplashScreen());
    QVERIFY(Probe::AtRest());
    QVERIFY(!splash->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), kHangGuardMs);
  }

  void aClickCountsAsTheTimeOut() {
    QVERIFY(CSplashScreen::Display(kLong, kOurPicture, nullptr));
    QPointer<CSplashScreen> splash = Probe::Shown();
    QTest::mouseClick(splash, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Probe::TimeoutElapsed(), kHangGuardMs);
    QVERIFY(splash->isVisible());  // the application is not idle yet
    QVERIFY(CSplashScreen::EndSplashScreen());
    QVERIFY(Probe::AtRest());
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), kHangGuardMs);
  }

  void aClickAfterIdleClosesAtOnce() {
    QVERIFY(CSplashScreen::Display(kLong, kOurPicture, nullptr));
    QPointer<CSplashScreen> splash = Probe::Shown();
    QVERIFY(!CSplashScreen::EndSplashScreen());
    QTest::mouseClick(splash, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(Probe::AtRest(), kHangGuardMs);
    QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), kHangGuardMs);
  }

  // A second Display replaces the first; the first one's leftovers (a click
  // still queued, its own destruction) must not touch the second's state.
  void aSecondDisplayReplacesTheFirst() {
    QVERIFY(CSplashScreen::Display(kLong, kOurPicture, nullptr));
    QPointer<CSplashScreen> first = Probe::Shown();
    QTest::mouseClick(first, Qt::LeftButton);  // its time-out is now queued
    QVERIFY(CSplashScreen::Display(kLong, kOurPicture, nullptr));
    QPointer<CSplashScreen> second = Probe::Shown();
    QVERIFY(second != first);
    QVERIFY(!first->isVisible());

    QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), kHangGuardMs);
    QVERIFY(Probe::Shown() == second);
    QVERIFY(!Probe::TimeoutElapsed());
    QVERIFY(!CSplashScreen::EndSplashScreen());  // the second still waits for its time
    QVERIFY(second->isVisible());
  }
};

QTEST_MAIN(SplashScreenTest)
#include "SplashScreenTest.moc"
