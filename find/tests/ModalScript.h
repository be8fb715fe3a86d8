// Drives modal windows from a test: each step waits for the modal window it
// expects, then acts on it from the event loop, so that whatever the action
// opens in turn (a message box over the dialog) is met by the next step.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

struct ModalStep {
  std::function<bool(QWidget*)> accepts;  // is this the window the step waits for?
  std::function<void(QWidget*)> act;
};

class ModalScript {
 public:
  explicit ModalScript(std::vector<ModalStep> steps) : m_Steps(std::move(steps)) {
    m_Clock.start();
    m_Poll.setInterval(5);
    QObject::connect(&m_Poll, &QTimer::timeout, [this] { Poll(); });
    m_Poll.start();
  }

  bool Finished() const { return m_nNext == m_Steps.size() && !m_bActing; }
  bool TimedOut() const { return m_bTimedOut; }

 private:
  // A hang guard, not a time limit on the code under test.
  static constexpr qint64 kGiveUpMs = 60000;

  void Poll() {
    QWidget* active = QApplication::activeModalWidget();
    if (m_Clock.elapsed() > kGiveUpMs) {
      m_bTimedOut = true;
      if (auto* dialog = qobject_cast<QDialog*>(active)) dialog->done(QDialog::Rejected);
      return;
    }
    if (m_bActing || m_nNext == m_Steps.size() || active == nullptr) return;
    if (!m_Steps[m_nNext].accepts(active)) return;
    // The action runs from the event loop rather than inside this timer, so
    // that the loops it opens keep polling.
    m_bActing = true;
    QPointer<QWidget> target = active;
    QTimer::singleShot(0, active, [this, target, act = m_Steps[m_nNext++].act] {
      m_bActing = false;
      if (target) act(target);
    });
  }

  std::vector<ModalStep> m_Steps;
  std::size_t m_nNext = 0;
  bool m_bActing = false;
  bool m_bTimedOut = false;
  QTimer m_Poll;
  QElapsedTimer m_Clock;
};
