// The busy cursor for as long as the object lives; the normal one again
// while the user is asked something in the middle of the work.
#pragma once

#include <QApplication>

class CWaitCursor {
 public:
  CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

  // Runs fn (a question, a dialog) under the normal cursor; returns its result.
  template <typename Fn>
  static auto Lifted(Fn&& fn) {
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
    struct Restore {
      bool busy;
      ~Restore() {
        if (busy) QApplication::restoreOverrideCursor();
      }
    } restore{busy};
    return fn();
  }
};
