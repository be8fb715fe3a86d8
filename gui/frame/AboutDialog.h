// The About box: the product's name, its version and its picture.
#pragma once

#include <QDialog>

class CAboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr char kVersion[] = QT_TRANSLATE_NOOP("MainWindow", "Version 1.00.02");
  explicit CAboutDialog(QWidget* parent = nullptr);
};
