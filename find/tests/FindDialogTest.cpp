// FindReferenceFile with its dialog, driven the way a user would drive it.
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "ModalScript.h"
#include "MvrCodec.h"
#include "MvrFind.h"

namespace {

constexpr char kTitle[] = "Search for the Original File";
const QByteArray kOriginal = "the original file\n";

bool IsFinder(QWidget* w) {
  return qobject_cast<QMessageBox*>(w) == nullptr && w->windowTitle() == QLatin1String(kTitle);
}
bool IsMessage(QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; }

template <typename T>
T* Child(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QLatin1String(name));
  if (child == nullptr) qWarning("no child %s", name);
  return child;
}

void MakeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// What a test saw of one message box; closing it with OK.
struct SeenMessage {
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool seen = false;
};
ModalStep AcknowledgeMessage(SeenMessage* seen) {
  return {IsMessage, [seen](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            seen->seen = true;
            seen->text = box->text();
            seen->icon = box->icon();
            box->button(QMessageBox::Ok)->click();
          }};
}

ModalStep Search(const QString& name, const QString& folder) {
  return {IsFinder, [name, folder](QWidget* dialog) {
            Child<QLineEdit>(dialog, "nameEdit")->setText(name);
            Child<QLineEdit>(dialog, "pathEdit")->setText(folder);
            Child<QPushButton>(dialog, "searchButton")->click();
          }};
}

ModalStep Cancel(QString* startPathShown = nullptr) {
  return {IsFinder, [startPathShown](QWidget* dialog) {
            if (startPathShown != nullptr) *startPathShown = Child<QLineEdit>(dialog, "pathEdit")->text();
            Child<QPushButton>(dialog, "cancelButton")->click();
          }};
}

TypeHeadDeltaFile Header(char version) {
  TypeHeadDeltaFile header{};
  std::memcpy(header.chSignature, kDeltaSignatureV2, sizeof header.chSignature);
  header.chSignature[sizeof header.chSignature - 1] = version;
  return header;
}

struct Wanted {
  unsigned long size;
  unsigned long checksum;
};
Wanted WantedFor(const QByteArray& bytes, char version = kDeltaVersion2) {
  return {static_cast<unsigned long>(bytes.size()),
          MvrChecksum(version, 0, bytes.constData(), static_cast<size_t>(bytes.size()))};
}

}  // namespace

class FindDialogTest : public QObject {
  Q_OBJECT

 private:
  QString Path(const QString& relative) const { return m_Dir.filePath(relative); }
  static std::string Local(const QString& path) { return path.toLocal8Bit().toStdString(); }

  // Runs FindReferenceFile against the script; foundPath starts as "untouched".
  CMvrFindResult Find(const QString& given, Wanted wanted, std::vector<ModalStep> steps,
                      std::string* foundPath, char version = kDeltaVersion2) {
    ModalScript script(std::move(steps));
    *foundPath = "untouched";
    const CMvrFindResult result = FindReferenceFile(Local(given).c_str(), wanted.size,
                                                    wanted.checksum, Header(version), *foundPath);
    [&] {
      QVERIFY2(!script.TimedOut(), "a window the test waited for never came");
      QVERIFY2(script.Finished(), "the dialog closed before the test was done with it");
    }();
    return result;
  }

  QTemporaryDir m_Dir;

 private slots:
  // First, because the start path is remembered for the life of the process.
  void firstDialogStartsAtTheRootAndTheSearchFolderIsRemembered() {
    const QString copy = Path(QStringLiteral("A/sub/orig.bin"));
    MakeFile(copy, kOriginal);
    QString firstPath, firstName;
    std::string found;
    const CMvrFindResult result = Find(
        QStringLiteral("/moved/away/orig.bin"), WantedFor(kOriginal),
        {{IsFinder,
          [&](QWidget* dialog) {
            firstPath = Child<QLineEdit>(dialog, "pathEdit")->text();
            firstName = Child<QLineEdit>(dialog, "nameEdit")->text();
            Child<QLineEdit>(dialog, "pathEdit")->setText(Path(QStringLiteral("A")));
            Child<QPushButton>(dialog, "searchButton")->click();
          }}},
        &found);
    QCOMPARE(firstPath, QStringLiteral("/"));
    QCOMPARE(firstName, QStringLiteral("orig.bin"));  // the bare name of the given one
    QCOMPARE(result, MVRFIND_FOUND);
    QCOMPARE(found, Local(copy));

    // The next dialog starts where the user searched from, not in "sub".
    QString secondPath;
    QCOMPARE(Find(QStringLiteral("/moved/away/orig.bin"), WantedFor(kOriginal), {Cancel(&secondPath)},
                  &found),
             MVRFIND_CANCELLED);
    QCOMPARE(secondPath, Path(QStringLiteral("A")));
    QCOMPARE(found, std::string("untouched"));
  }

  void anExistingFileIsTakenWithoutADialog() {
    const QString existing = Path(QStringLiteral("present/wrong-size.bin"));
    MakeFile(existing, "not the original at all");
    bool dialogOpened = false;
    std::string found;
    {
      ModalScript script({{IsFinder, [&](QWidget* dialog) {
                             dialogOpened = true;
                             Child<QPushButton>(dialog, "cancelButton")->click();
                           }}});
      const Wanted wanted = WantedFor(kOriginal);
      QCOMPARE(FindReferenceFile(Local(existing).c_str(), wanted.size, wanted.checksum,
                                 Header(kDeltaVersion2), found),
               MVRFIND_FOUND);
    }
    QVERIFY(!dialogOpened);
    QCOMPARE(found, Local(existing));  // its size and checksum are reconstruction's business

    // A folder of that name is not the file: the dialog opens.
    QCOMPARE(Find(Path(QStringLiteral("present")), WantedFor(kOriginal), {Cancel()}, &found),
             MVRFIND_CANCELLED);
    QCOMPARE(found, std::string("untouched"));
  }

  void nothingFoundSaysSoAndKeepsTheDialogOpen() {
    QDir().mkpath(Path(QStringLiteral("B/empty/deeper")));
    SeenMessage message;
    QString nameAfter, pathAfter, cancelCaption;
    bool searchEnabled = false;
    std::string found;
    const CMvrFindResult result = Find(
        QStringLiteral("orig.bin"), WantedFor(kOriginal),
        {Search(QStringLiteral("*.bin"), Path(QStringLiteral("B"))), AcknowledgeMessage(&message),
         {IsFinder,
          [&](QWidget* dialog) {
            nameAfter = Child<QLineEdit>(dialog, "nameEdit")->text();
            pathAfter = Child<QLineEdit>(dialog, "pathEdit")->text();
            cancelCaption = Child<QPushButton>(dialog, "cancelButton")->text();
            searchEnabled = Child<QPushButton>(dialog, "searchButton")->isEnabled();
            Child<QPushButton>(dialog, "cancelButton")->click();
          }}},
        &found);
    QCOMPARE(result, MVRFIND_CANCELLED);
    QVERIFY(message.seen);
    QCOMPARE(message.text, QStringLiteral("Cannot find the reference file"));
    QCOMPARE(message.icon, QMessageBox::NoIcon);
    QCOMPARE(nameAfter, QStringLiteral("*.bin"));
    QCOMPARE(pathAfter, Path(QStringLiteral("B")));
    QCOMPARE(cancelCaption, QStringLiteral("&Cancel"));
    QVERIFY(searchEnabled);

    // A search that found nothing leaves the remembered folder alone.
    QString nextPath;
    Find(QStringLiteral("orig.bin"), WantedFor(kOriginal), {Cancel(&nextPath)}, &found);
    QCOMPARE(nextPath, Path(QStringLiteral("A")));
  }

  void stopEndsASearchMidWalkWithoutAMessage() {
    for (int i = 0; i < 10; ++i) {
      for (int j = 0; j < 5; ++j) QDir().mkpath(Path(QStringLiteral("C/d%1/e%2").arg(i).arg(j)));
    }
    // Reachable only through d5, after the walk has been stopped in d5.
    MakeFile(Path(QStringLiteral("C/d5/child/orig.bin")), kOriginal);
    const QString stopIn = Path(QStringLiteral("C/d5"));

    struct DuringSearch {
      QString cancelCaption;
      bool searchEnabled = true, browseEnabled = true, nameEnabled = true, pathEnabled = true;
      bool stopped = false;
      bool messageShown = false;
    } during;
    struct AfterSearch {
      QString cancelCaption, status, name, path;
      bool allEnabled = false, visible = false;
    } after;

    std::string found;
    const CMvrFindResult result = Find(
        QStringLiteral("orig.bin"), WantedFor(kOriginal),
        {{IsFinder,
          [&](QWidget* dialog) {
            auto* cancel = Child<QPushButton>(dialog, "cancelButton");
            auto* search = Child<QPushButton>(dialog, "searchButton");
            auto* browse = Child<QPushButton>(dialog, "browseButton");
            auto* name = Child<QLineEdit>(dialog, "nameEdit");
            auto* path = Child<QLineEdit>(dialog, "pathEdit");
            auto* status = Child<QLabel>(dialog, "statusText");
            // Fires at every turn the walk gives the event loop.
            QTimer watcher;
            watcher.setInterval(0);
            QObject::connect(&watcher, &QTimer::timeout, [&] {
              if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                during.messageShown = true;
                box->done(QMessageBox::Ok);
              }
              if (during.stopped || status->text() != stopIn) return;
              during.cancelCaption = cancel->text();
              during.searchEnabled = search->isEnabled();
              during.browseEnabled = browse->isEnabled();
              during.nameEnabled = name->isEnabled();
              during.pathEnabled = path->isEnabled();
              during.stopped = true;
              cancel->click();
            });
            watcher.start();
            name->setText(QStringLiteral("orig.bin"));
            path->setText(Path(QStringLiteral("C")));
            search->click();  // returns when the walk has ended
            watcher.stop();

            after.cancelCaption = cancel->text();
            after.status = status->text();
            after.name = name->text();
            after.path = path->text();
            after.allEnabled = search->isEnabled() && browse->isEnabled() && name->isEnabled() &&
                               path->isEnabled();
            after.visible = dialog->isVisible();
            cancel->click();
          }}},
        &found);

    QVERIFY2(during.stopped, "the walk never reached the folder to stop in");
    QCOMPARE(during.cancelCaption, QStringLiteral("&Stop"));
    QVERIFY(!during.searchEnabled && !during.browseEnabled && !during.nameEnabled &&
            !during.pathEnabled);
    QVERIFY(!during.messageShown);
    QVERIFY(after.visible);
    QCOMPARE(after.cancelCaption, QStringLiteral("&Cancel"));
    QVERIFY(after.allEnabled);
    QCOMPARE(after.status, QString());
    QCOMPARE(after.name, QStringLiteral("orig.bin"));
    QCOMPARE(after.path, Path(QStringLiteral("C")));
    QCOMPARE(result, MVRFIND_CANCELLED);
    QCOMPARE(found, std::string("untouched"));
  }

  void aReadErrorShowsTheDiskErrorMessage() {
    // Our own memory file reads with an I/O error from offset 0, and stat
    // calls it a regular file of size 0: a real read error on demand.
    {
      const int fd = ::open("/proc/self/mem", O_RDONLY);
      char byte;
      const bool fails = fd >= 0 && ::read(fd, &byte, 1) < 0;
      if (fd >= 0) ::close(fd);
      if (!fails) QSKIP("no file here fails to read");
    }
    QDir().mkpath(Path(QStringLiteral("D")));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), Path(QStringLiteral("D/orig.bin"))));

    SeenMessage message;
    std::string found;
    const CMvrFindResult result =
        Find(QStringLiteral("orig.bin"), Wanted{0, 1},
             {Search(QStringLiteral("orig.bin"), Path(QStringLiteral("D"))),
              AcknowledgeMessage(&message), Cancel()},
             &found);
    QCOMPARE(result, MVRFIND_CANCELLED);
    QVERIFY(message.seen);
    QCOMPARE(message.text, QStringLiteral("A disk error has occured\nduring the search!"));
    QCOMPARE(message.icon, QMessageBox::Critical);
  }

  void captionsAndLabels() {
    QString title, cancel, search, browse;
    QStringList labels, focusOrder;
    std::string found;
    Find(QStringLiteral("orig.bin"), WantedFor(kOriginal),
         {{IsFinder,
           [&](QWidget* dialog) {
             title = dialog->windowTitle();
             search = Child<QPushButton>(dialog, "searchButton")->text();
             browse = Child<QPushButton>(dialog, "browseButton")->text();
             cancel = Child<QPushButton>(dialog, "cancelButton")->text();
             for (QLabel* label : dialog->findChildren<QLabel*>()) {
               if (label->objectName() != QLatin1String("statusText")) labels << label->text();
             }
             QVERIFY(Child<QPushButton>(dialog, "searchButton")->isDefault());
             // The keyboard starts in the name and goes down, then right.
             QWidget* w = dialog->focusWidget();
             for (int i = 0; i < 5 && w != nullptr; ++i, w = w->nextInFocusChain()) {
               while (w != nullptr && w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
               if (w != nullptr) focusOrder << w->objectName();
             }
             Child<QPushButton>(dialog, "cancelButton")->click();
           }}},
         &found);
    QCOMPARE(title, QStringLiteral("Search for the Original File"));
    QCOMPARE(search, QStringLiteral("&Search"));
    QCOMPARE(cancel, QStringLiteral("&Cancel"));
    QCOMPARE(browse, QStringLiteral("&Browse..."));
    QCOMPARE(focusOrder, QStringList({"nameEdit", "pathEdit", "searchButton", "cancelButton", "browseButton"}));
    labels.sort();
    QCOMPARE(labels, QStringList({QStringLiteral("Original File Name      (wildcards  are acceptable)"),
                                  QStringLiteral("Path to Start the Search From")}));
  }
};

QTEST_MAIN(FindDialogTest)
#include "FindDialogTest.moc"
