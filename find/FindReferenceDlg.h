// The modal dialog "Search for the Original File": the user gives a name
// pattern and a folder, and the search walks the folder tree on the GUI
// thread, keeping the dialog alive itself so that Stop is heard mid-walk.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <cstdint>
#include <string>

#include "MvrFind.h"
#include "SearchHost.h"

class QLineEdit;
class QPushButton;

namespace mvrfind {
class CStatusLine;
}

class CFindReferenceDlg : public QDialog, private mvrfind::ISearchHost {
  Q_OBJECT

 public:
  explicit CFindReferenceDlg(QWidget* owner);

  // What to look for: the original's recorded size and checksum, and the
  // version byte of the difference file that selects the checksum routine.
  void SetWanted(uint32_t size, uint32_t checksum, char version);
  void SetFileName(const QString& name);
  void SetStartPath(const QString& folder);

  QString StartPath() const { return m_strStartPath; }
  const std::string& FoundPath() const { return m_strFoundPath; }
  // The last search pass's result, or MVRFIND_CANCELLED once the user has
  // closed the dialog.
  CMvrFindResult Result() const { return m_Result; }

  // Cancel, Esc and the close box: stops a running search, else closes.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void OnSearch();
  void OnBrowse();

 private:
  CMvrFindResult SearchPass();
  void SetSearching(bool searching);
  void ShowMessage(QMessageBox::Icon icon, const char* text);

  bool KeepGoing() override;
  void EnterFolder(const std::string& folder) override;

  QPushButton* m_pCancelButton;
  QPushButton* m_pBrowseButton;
  QPushButton* m_pSearchButton;
  QLineEdit* m_pPathEdit;
  QLineEdit* m_pNameEdit;
  mvrfind::CStatusLine* m_pStatusText;

  QString m_strFileName;
  QString m_strStartPath;
  uint32_t m_dwSize = 0;
  uint32_t m_dwCheckSum = 0;
  char m_chVersion = 0;
  bool m_bSearching = false;
  CMvrFindResult m_Result = MVRFIND_CANCELLED;
  std::string m_strFoundPath;
};
