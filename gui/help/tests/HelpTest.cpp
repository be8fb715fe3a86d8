// The help page and its window: every context the program opens has a
// topic, unknown ones fall back to the contents, and F1 over a message box
// opens the box's topic.
#include <QApplication>
#include <QTest>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "errors/MessageBox.h"
#include "help/HelpKeyFilter.h"
#include "help/HelpWindow.h"

class HelpTest : public QObject {
  Q_OBJECT

 private slots:
  void everyContextHasATopic_data() {
    QTest::addColumn<unsigned>("context");
    // The two screens, their controls (the status screen's Main Interface
    // button counts as 1031), the commands, the core's and the browser's messages.
    for (unsigned id : {131202u, 131214u}) QTest::addRow("screen %u", id) << id;
    for (unsigned control : {1005u, 1006u, 1024u, 1033u, 1034u, 1035u, 1001u, 1030u, 1031u}) {
      QTest::addRow("control %u", control) << 0x50000u + control;
    }
    for (unsigned command : {32792u, 32806u, 57665u, 32783u, 32784u, 32791u, 32787u, 32788u, 32794u, 32797u, 59393u,
                             32796u, 32793u, 32778u, 32785u, 32775u, 32802u, 32803u, 32804u, 32805u, 32808u, 32809u,
                             32810u, 32811u, 103u, 57664u, 57666u}) {
      QTest::addRow("command %u", command) << 0x10000u + command;
    }
    for (unsigned code = 0; code < 18; ++code) QTest::addRow("core message %u", code) << 11000u + code;
    for (unsigned id = 11201; id <= 11209; ++id) QTest::addRow("browser message %u", id) << id;
    QTest::addRow("invalid delta file") << 61227u;
  }
  void everyContextHasATopic() {
    QFETCH(unsigned, context);
    QVERIFY(CHelpWindow::HasTopic(context));
    CHelpWindow* window = CHelpWindow::ShowContext(context);
    QCOMPARE(window->CurrentAnchor(), QStringLiteral("h%1").arg(context));
  }

  void unknownContextsOpenTheContents() {
    QVERIFY(!CHelpWindow::HasTopic(4242));
    QCOMPARE(CHelpWindow::ShowContext(4242)->CurrentAnchor(), QStringLiteral("contents"));
    QCOMPARE(CHelpWindow::ShowHelpOnHelp()->CurrentAnchor(), QStringLiteral("helponhelp"));
  }

  void f1OverAMessageBoxOpensItsTopic() {
    if (CHelpWindow* old = CHelpWindow::Instance()) delete old;
    CHelpKeyFilter filter;
    qApp->installEventFilter(&filter);
    QString anchor;
    QTimer::singleShot(50, [&anchor] {
      QWidget* box = QApplication::activeModalWidget();
      QTest::keyClick(box, Qt::Key_F1);
      anchor = CHelpWindow::Instance() != nullptr ? CHelpWindow::Instance()->CurrentAnchor() : QString();
      qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    qorvex::MessageBox(nullptr, QStringLiteral("text"), QMessageBox::Critical, QMessageBox::Ok, 11001);
    qApp->removeEventFilter(&filter);
    QCOMPARE(anchor, QStringLiteral("h11001"));
  }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
