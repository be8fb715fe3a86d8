// MvrView: shows what a difference file records about its construction.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <string>

#include "CommandLine.h"
#include "ViewerDialog.h"
#include "ViewerTexts.h"

int main(int argc, char** argv) {
  // Taken before Qt sees the arguments: Qt would otherwise act on words of
  // the file name that look like its own options (-style, -reverse, ...).
  const std::string fileName = mvrview::JoinArguments(argc, argv);

  int qtArgc = 1;
  char programName[] = "MvrView";
  char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : programName, nullptr};
  QApplication app(qtArgc, qtArgv);
  QApplication::setApplicationName(QString::fromLatin1(mvrview::text::kProgramName));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/MvrView/icons/128.png")));

  if (fileName.empty()) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                    QString::fromLatin1(mvrview::text::kSyntax), QMessageBox::Ok);
    box.exec();
    return 0;
  }
  CViewerDialog dialog(fileName);
  dialog.InitDialog();
  dialog.exec();
  return 0;
}
