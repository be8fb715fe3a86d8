// The File Processing Status screen: the list of running sessions with a
// button that cancels the highlighted ones and one that returns to the Main
// Interface.
#pragma once

#include <QPointer>
#include <QWidget>

class CProcessHost;
class CProcessView;
class QPushButton;

class CProgressViewDialog : public QWidget {
  Q_OBJECT

 public:
  static constexpr unsigned kTemplateId = 142;
  static constexpr int kCancelId = 1030;
  static constexpr int kMainInterfaceId = 2;
  static constexpr int kListId = 1001;
  // The Main Interface button's help topic goes by this number.
  static constexpr int kMainInterfaceHelpId = 1031;

  CProgressViewDialog(CProcessHost* pHost, QWidget* parent);
  ~CProgressViewDialog() override;

  // Builds the list; false when it cannot be initialised.
  bool Initialize();

  CProcessView* GetProcessView() const { return m_pList; }
  QPushButton* CancelButton() const { return m_pCancel; }
  QPushButton* MainInterfaceButton() const { return m_pMainInterface; }

  void PeriodicUpdate();
  // Called when the screen comes to the front: the focus goes back where it was.
  void RestoreFocus();
  // The help topic for F1 now: the focused control's, else the screen's.
  unsigned HelpContext() const;
  unsigned HelpContextAt(const QWidget* child) const;

  void OnCancel();
  void OnMainInterface();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnFocusChanged(QWidget* old, QWidget* now);

  CProcessHost* m_pHost;
  CProcessView* m_pList = nullptr;
  QPushButton* m_pCancel = nullptr;
  QPushButton* m_pMainInterface = nullptr;
  bool m_bNotReady = true;
  QPointer<QWidget> m_pLastFocus;
};
