// The viewer's dialog: which text lands in which field, and what a file that
// is no difference file looks like.
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
#include "TarvoTypes.h"
#include "ViewerDialog.h"

namespace {

QByteArray DeltaBytes(uint32_t originalSize, uint32_t modifiedSize, const QByteArray& original,
                      const QByteArray& modified) {
  QByteArray b(static_cast<qsizetype>(kDeltaHeaderSize), '\0');
  auto put = [&b](int at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>(value >> (8 * i));
  };
  std::memcpy(b.data() + 4, kDeltaMagic, 4);
  put(12, modifiedSize, 4);
  put(16, originalSize, 4);
  std::memcpy(b.data() + 28, kDeltaSignatureV2, 16);
  put(52, static_cast<uint32_t>(modified.size()), 2);
  put(54, static_cast<uint32_t>(original.size()), 2);
  return b + original + modified + QByteArray(40, '\x5a');
}

QString TextOf(QWidget* dialog, const char* name) {
  QWidget* w = dialog->findChild<QWidget*>(QLatin1String(name));
  if (w != nullptr && w->property("fullName").isValid()) return w->property("fullName").toString();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
  return QStringLiteral("<no field %1>").arg(QLatin1String(name));
}

}  // namespace

class ViewerDialogTest : public QObject {
  Q_OBJECT

  QTemporaryDir m_Dir;

 private slots:
  void fields_data() {
    QTest::addColumn<QByteArray>("bytes");  // empty: no file at all
    QTest::addColumn<QString>("originalName");
    QTest::addColumn<QString>("originalSize");
    QTest::addColumn<QString>("modifiedName");
    QTest::addColumn<QString>("modifiedSize");
    QTest::addColumn<bool>("complains");

    QTest::newRow("bare names") << DeltaBytes(1000, 2048, "old.txt", "new.txt") << "old.txt"
                                << "0.98 Kb" << "new.txt" << "2.00 Kb" << false;
    QTest::newRow("full names") << DeltaBytes(1536, 0, "/home/u/old files/a.txt", "/home/u/b.txt")
                                << "/home/u/old files/a.txt" << "1.50 Kb" << "/home/u/b.txt"
                                << "0.00 Kb" << false;
    QByteArray pastTheEnd = DeltaBytes(1000, 2048, "old.txt", "new.txt");
    pastTheEnd[52] = '\x04';  // the modified name now claims 260 bytes
    pastTheEnd[53] = '\x01';
    QTest::newRow("names run past the end") << pastTheEnd << "" << "" << "" << "" << true;
    QTest::newRow("shorter than a header")
        << DeltaBytes(1000, 2048, "", "").left(50) << "" << "" << "" << "" << true;
    QTest::newRow("not a difference file")
        << QByteArray("just some text that is long enough to hold a header, and then some more.")
        << "" << "" << "" << "" << true;
    QTest::newRow("missing") << QByteArray() << "" << "" << "" << "" << true;
  }

  void fields() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, originalName);
    QFETCH(QString, originalSize);
    QFETCH(QString, modifiedName);
    QFETCH(QString, modifiedSize);
    QFETCH(bool, complains);

    const QString path = m_Dir.filePath(QStringLiteral("a file %1.mvr").arg(QTest::currentDataTag()));
    if (!bytes.isEmpty()) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(bytes);
    }

    QString complaint;
    ModalScript script({{[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                         [&](QWidget* w) {
                           auto* box = qobject_cast<QMessageBox*>(w);
                           complaint = box->text();
                           box->button(QMessageBox::Ok)->click();
                         }}});
    CViewerDialog dialog(path.toLocal8Bit().toStdString());
    dialog.InitDialog();

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Difference File - ") + path);
    QCOMPARE(complaint, complains ? QStringLiteral("This file is not .mvr file") : QString());
    QCOMPARE(TextOf(&dialog, "originalName"), originalName);
    QCOMPARE(TextOf(&dialog, "originalSize"), originalSize);
    QCOMPARE(TextOf(&dialog, "modifiedName"), modifiedName);
    QCOMPARE(TextOf(&dialog, "modifiedSize"), modifiedSize);
    QCOMPARE(TextOf(&dialog, "constructedOn").isEmpty(), complains);
  }

  // A name wider than its field keeps both ends in sight, and is all there
  // once the field has the focus; Enter closes the window as Esc does.
  void longNamesAndEnter() {
    const QByteArray original = "/a/rather/long/folder/of/originals/" + QByteArray(120, 'o') + "/first.bin";
    const QByteArray modified = "/another/long/folder/" + QByteArray(120, 'm') + "/second.bin";
    const QString path = m_Dir.filePath(QStringLiteral("long.mvr"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(DeltaBytes(10, 20, original, modified));
    file.close();
    CViewerDialog dialog(path.toLocal8Bit().toStdString());
    dialog.InitDialog();
    dialog.resize(500, dialog.height());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const char* name : {"originalName", "modifiedName"}) {
      auto* field = dialog.findChild<QLineEdit*>(QLatin1String(name));
      const QString whole = field->property("fullName").toString();
      QVERIFY(whole.endsWith(QLatin1String(".bin")));
      QVERIFY2(field->text().contains(QChar(0x2026)), qPrintable(field->text()));
      QVERIFY(field->text().startsWith(whole.left(4)));
      QVERIFY(field->text().endsWith(QLatin1String(".bin")));
      QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
      QCOMPARE(field->text(), whole);
      QCOMPARE(field->selectedText(), whole);
    }
    QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("modifiedName")), Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void labelsAndTheNameField() {
    CViewerDialog dialog("x.mvr");
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->objectName().isEmpty()) labels << label->text();
    }
    labels.sort();
    QCOMPARE(labels, QStringList({QStringLiteral("And  Modified File"), QStringLiteral("Constructed  On"),
                                  QStringLiteral("The Original File"), QStringLiteral("from ")}));
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("originalName"));
    QVERIFY(name->isReadOnly());
    QCOMPARE(name->maxLength(), 256);
  }
};

QTEST_MAIN(ViewerDialogTest)
#include "ViewerDialogTest.moc"
