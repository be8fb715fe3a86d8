// The viewer's one window: when a difference file was made, and the names
// and sizes of the two files it was made from.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class CNameField;

class CViewerDialog : public QDialog {
  Q_OBJECT

 public:
  // fileName: bytes as the command line gave them.
  explicit CViewerDialog(std::string fileName, QWidget* parent = nullptr);

  // Reads the file and fills the fields; a file that is not a difference file
  // is said so in a message box, and the fields stay empty.
  void InitDialog();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FitToNames();

  std::string m_strFileName;
  QLabel* m_pConstructedOn;
  QLabel* m_pModifiedSize;
  CNameField* m_pModifiedName;
  QLabel* m_pOriginalSize;
  CNameField* m_pOriginalName;
};
