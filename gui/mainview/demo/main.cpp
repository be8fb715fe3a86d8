// Shows the Main Interface screen on its own, in a plain window, with the
// frame's 500 ms tick, until the program's main window hosts it. Options set
// up a scene for a look or a screenshot:
//   --folder DIR      open the tree at DIR
//   --multiple        Multiple Files mode
//   --reconstruct     Reconstruct mode
//   --original NAME   choose NAME (in DIR) as the original file
//   --queue N1,N2     mark these files and add them to the selection list
//   --mark N1,N2      mark these files
//   --grab FILE       write a picture of the window to FILE after a second and quit
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>
#include <QVBoxLayout>

#include "mainview/MainInterfaceDialog.h"

namespace {

void MarkByName(CMainInterfaceDialog& screen, const QString& names) {
  CDirView* view = screen.GetDirView();
  for (const QString& name : names.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    for (int i = 0; i < view->GetItemCount(); ++i) {
      if (view->RecordOf(i)->GetDisplayName() == name) screen.MarkHighlighted(i);
    }
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Qorvex"));
  QApplication::setApplicationDisplayName(QStringLiteral("Mendivar"));

  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("Start folder."), QStringLiteral("DIR"));
  const QCommandLineOption multiple(QStringLiteral("multiple"), QStringLiteral("Multiple Files mode."));
  const QCommandLineOption reconstruct(QStringLiteral("reconstruct"), QStringLiteral("Reconstruct mode."));
  const QCommandLineOption original(QStringLiteral("original"), QStringLiteral("Original file."), QStringLiteral("NAME"));
  const QCommandLineOption queue(QStringLiteral("queue"), QStringLiteral("Files to queue."), QStringLiteral("NAMES"));
  const QCommandLineOption mark(QStringLiteral("mark"), QStringLiteral("Files to mark."), QStringLiteral("NAMES"));
  const QCommandLineOption grab(QStringLiteral("grab"), QStringLiteral("Picture to write."), QStringLiteral("FILE"));
  parser.addOptions({folder, multiple, reconstruct, original, queue, mark, grab});
  parser.process(app);

  QWidget window;
  window.setWindowTitle(QStringLiteral("Mendivar"));
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* screen = new CMainInterfaceDialog(&window);
  layout->addWidget(screen);
  window.resize(980, 640);
  if (!screen->Initialize(parser.value(folder))) return 1;
  window.show();

  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, screen, &CMainInterfaceDialog::PeriodicUpdate);
  tick.start(500);

  // The scene is set once the first tick has loaded the folder.
  QTimer::singleShot(0, screen, [&] {
    screen->PeriodicUpdate();
    if (parser.isSet(reconstruct)) screen->SetConstructMode(false);
    if (parser.isSet(multiple)) screen->SetMultipleFilesMode();
    screen->PeriodicUpdate();
    auto chooseOriginal = [&] {
      if (!parser.isSet(original)) return;
      CDirView* view = screen->GetDirView();
      for (int i = 0; i < view->GetItemCount(); ++i) {
        if (view->RecordOf(i)->GetDisplayName() == parser.value(original)) screen->ChooseOriginal(i);
      }
    };
    if (parser.isSet(queue)) {
      chooseOriginal();
      MarkByName(*screen, parser.value(queue));
      screen->AddFilesForProcessing();
    }
    chooseOriginal();
    MarkByName(*screen, parser.value(mark));
    screen->GetDirView()->setFocus();
  });
  if (parser.isSet(grab)) {
    QTimer::singleShot(1500, &window, [&] {
      window.grab().save(parser.value(grab));
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
