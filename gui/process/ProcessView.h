// The list of the File Processing Status screen: one row per running
// session, owning the session's engine.
#pragma once

#include <QIcon>
#include <QList>
#include <QPersistentModelIndex>
#include <QString>
#include <QTreeWidget>
#include <cstdint>

class CTarvo2Engine;

class CProcessView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit CProcessView(QWidget* parent = nullptr);
  // Sessions still listed are stopped and their engines deleted.
  ~CProcessView() override;

  // Icons, columns, the ended flag. False when the icons cannot be had.
  bool Initialize();

  // Adds the engine's row (the row owns the engine from here on) and starts
  // it: mode 1 constructs, 2 reconstructs. The result of the start; 0 for any
  // other mode, and then the row and the engine are gone again. Throws
  // CProcessViewException when the row cannot be made.
  int StartSession(CTarvo2Engine* pEngine, int nMode);
  // The first half of StartSession: the row, owning the engine, with its
  // mode's text and icon, focused; nothing is started.
  void InsertSessionRow(CTarvo2Engine* pEngine, int nMode);
  // Stops the engine, deletes it and its row.
  void EndSession(CTarvo2Engine* pEngine);

  void SetFileName(CTarvo2Engine* pEngine, const QString& name);
  void SetFileProgress(CTarvo2Engine* pEngine, uint32_t done, uint32_t size);
  // Also asks the frame to put the session on the status line at once.
  void SetTotalProgress(CTarvo2Engine* pEngine, uint32_t done, uint32_t total);

  // The focused row's engine, else the last row's; null when empty.
  CTarvo2Engine* GetCurrentSession() const;
  void CancelHighlighted();
  void CancelAll();

  // The rows a cancel question is about: the current session's, or the
  // highlighted ones. They stay valid only while their sessions run, so a
  // session that ends while the user reads the question is not mistaken
  // for another one started meanwhile.
  QList<QPersistentModelIndex> CurrentRows() const;
  QList<QPersistentModelIndex> HighlightedRows() const;
  // Cancels the sessions of the rows still listed; how many there were.
  int CancelRows(const QList<QPersistentModelIndex>& rows);
  // Said when the user's Yes came after every session asked about ended.
  static QString SessionsEndedText();

  int SessionCount() const { return topLevelItemCount(); }
  CTarvo2Engine* SessionAt(int row) const;
  int IsEnded() const { return m_bEnded; }
  void SetEnded() { m_bEnded = 1; }

  static QString ProgressText(uint32_t done, uint32_t size);

 signals:
  // Emitted after each total-progress report; the frame answers it like a
  // tick of its status timer.
  void statusTimerPosted();

 private:
  QTreeWidgetItem* FindRow(const CTarvo2Engine* pEngine) const;
  QTreeWidgetItem* RowOrThrow(const CTarvo2Engine* pEngine) const;

  QIcon m_ConstructIcon;    // icon 154
  QIcon m_ReconstructIcon;  // icon 153
  int m_bEnded = 0;
};
