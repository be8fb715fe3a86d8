// Running the test thread's event loop while workers talk to it.
#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <functional>

namespace enginetest {

// Pumps events until done() holds. The deadline only guards against a hang;
// nothing is timed.
inline bool PumpUntil(const std::function<bool()>& done) {
  if (done()) return true;
  const QDeadlineTimer deadline(std::chrono::seconds(60));
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done() || deadline.hasExpired()) loop.quit();
  });
  poll.start(1);
  loop.exec();
  return done();
}

}  // namespace enginetest
