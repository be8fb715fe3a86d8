// The program's help: one bundled HTML page shown in a window of its own.
// A help context is a number; the page has an anchor "h<number>" for every
// context it explains, and a context without an anchor opens the contents.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget {
  Q_OBJECT

 public:
  // Opens (creating on first use) the one help window at the topic.
  static CHelpWindow* ShowContext(unsigned context);
  static CHelpWindow* ShowContents();
  static CHelpWindow* ShowHelpOnHelp();
  // The window if it has been created, else null.
  static CHelpWindow* Instance();

  // Whether the page has a topic for the context.
  static bool HasTopic(unsigned context);
  // The anchor shown last ("contents" for the start of the page).
  QString CurrentAnchor() const { return m_strAnchor; }

  ~CHelpWindow() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  CHelpWindow();
  void Open(const QString& anchor);

  QTextBrowser* m_pBrowser = nullptr;
  QString m_strAnchor;
};
