// Error objects: what each one says and allows, and the message box that
// ReportInterfaceError makes of it, answered the way a user would.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <functional>
#include <memory>

#include "errors/ErrnoHResult.h"
#include "errors/InterfaceException.h"
#include "errors/ReportInterfaceError.h"
#include "errors/WaitCursor.h"
#include "ModalScript.h"

namespace {

const QString kAdvice = QStringLiteral(
    "\n\nIf the error is a result of a visual element failure\nin the main interface, try "
    "selecting \"Refresh\" itemin the main menu or pressing F5.\nIf it does not help, restart "
    "Tarvo as soon as it is possible.");

struct SeenBox {
  bool seen = false;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  unsigned helpId = 0;
};

// Reports e, pressing `answer` in the box if one comes, and says what was seen.
bool Report(const CInterfaceException& e, QMessageBox::StandardButton answer, SeenBox* seen) {
  ModalScript script({{[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                       [seen, answer](QWidget* w) {
                         auto* box = qobject_cast<QMessageBox*>(w);
                         seen->seen = true;
                         seen->text = box->text();
                         seen->icon = box->icon();
                         seen->buttons = box->standardButtons();
                         seen->helpId = box->property(kHelpIdProperty).toUInt();
                         box->button(answer)->click();
                       }}});
  return ReportInterfaceError(e);
}

}  // namespace

class InterfaceErrorTest : public QObject {
  Q_OBJECT

 private slots:
  void hresultRows_data();
  void hresultRows();
  void constructors_data();
  void constructors();
  void report_data();
  void report();
  void errnoCodes_data();
  void errnoCodes();
  void accessDeniedFolder();
  void retryLoop_data();
  void retryLoop();
  void reportedOnceWithoutRetry();
  void boxesShowTheNormalCursor();
};

void InterfaceErrorTest::hresultRows_data() {
  QTest::addColumn<quint32>("hr");
  QTest::addColumn<QString>("message");
  QTest::addColumn<int>("internal");
  QTest::addColumn<int>("retry");
  QTest::addColumn<unsigned>("helpId");
  QTest::newRow("unknown") << 0x12345678u << "Unknown error:\nThe error code is 0x12345678L" << 0 << 0 << 0u;
  QTest::newRow("unknown, small") << 0x0000ABCDu << "Unknown error:\nThe error code is 0x0000ABCDL" << 0 << 0 << 0u;
  QTest::newRow("not implemented") << 0x80004001u << "The feature is not implemented" << 0 << 0 << 0u;
  QTest::newRow("no interface") << 0x80004002u << "Specified interface is not supported" << 0 << 0 << 0u;
  QTest::newRow("pointer") << 0x80004003u << "Invalid pointer was specified" << 1 << 0 << 0u;
  QTest::newRow("aborted") << 0x80004004u << "Operation was aborted" << 0 << 0 << 0u;
  QTest::newRow("fail") << 0x80004005u << "General failure" << 0 << 0 << 0u;
  QTest::newRow("unexpected") << 0x8000FFFFu << "Unexpected failure" << 0 << 0 << 0u;
  QTest::newRow("access") << 0x80070005u << "Access is denied" << 0 << 1 << 11201u;
  QTest::newRow("handle") << 0x80070006u << "Invalid handle was specified" << 1 << 0 << 0u;
  QTest::newRow("memory") << 0x8007000Eu << "Not enough memory to perform the action" << 0 << 0 << 11207u;
  QTest::newRow("not ready") << 0x80070015u << "Device is not ready" << 0 << 1 << 11202u;
  QTest::newRow("net drive") << 0x80070035u << "The network drive is not currenly available." << 0 << 0 << 11209u;
  QTest::newRow("net path") << 0x80070043u << "The network path could not be found." << 0 << 1 << 11208u;
  QTest::newRow("argument") << 0x80070057u << "Invalid argument was passed to the function" << 1 << 0 << 0u;
  QTest::newRow("not accepted") << 0x800704B8u
                                << "The request is not accepted by the network.\nPlease, try again later." << 0
                                << 0 << 11203u;
  QTest::newRow("logon") << 0x8007051Fu << "No logon services available\nto serve the request." << 0 << 1
                         << 11204u;
}

void InterfaceErrorTest::hresultRows() {
  QFETCH(quint32, hr);
  QFETCH(QString, message);
  QFETCH(int, internal);
  QFETCH(int, retry);
  QFETCH(unsigned, helpId);
  const CInterfaceException e(MakeHResult(hr));
  QCOMPARE(e.m_strMessage, message);
  QCOMPARE(e.m_bInternal, internal);
  QCOMPARE(e.m_bRetry, retry);
  QCOMPARE(e.m_nHelpId, helpId);
  QCOMPARE(static_cast<quint32>(e.m_hResult), hr);
}

using MakeException = std::function<std::unique_ptr<CInterfaceException>()>;
Q_DECLARE_METATYPE(MakeException)

void InterfaceErrorTest::constructors_data() {
  QTest::addColumn<MakeException>("make");
  QTest::addColumn<QString>("className");
  QTest::addColumn<QString>("message");
  QTest::addColumn<int>("internal");
  QTest::addColumn<unsigned>("helpId");
  auto row = [](const char* name, MakeException make, const char* cls, const QString& message,
                int internal, unsigned helpId) {
    QTest::newRow(name) << make << QString::fromLatin1(cls) << message << internal << helpId;
  };
  row("generic", [] { return std::make_unique<CInterfaceException>(); }, "CInterfaceException",
      "Generic internal error", 1, 0);
  row("folder, no interface", [] { return std::make_unique<CShellFolderException>(3, kHrAccessDenied); },
      "CShellFolderException", "No IShellFolder interface is specified\nfor CShellFolder object", 1, 11201);
  row("folder, unknown", [] { return std::make_unique<CShellFolderException>(7, kHrAccessDenied); },
      "CShellFolderException", "Unknow error in CShellFolder object", 0, 11201);
  row("folder, other kind", [] { return std::make_unique<CShellFolderException>(1, kHrNotReady); },
      "CShellFolderException", "Device is not ready", 0, 11202);
  row("list view", [] { return std::make_unique<CDirViewException>(0, kHrFail, 1); }, "CDirViewException",
      "Problem with list view control", 1, 11206);
  row("list view, allocator", [] { return std::make_unique<CDirViewException>(2, kHrOutOfMemory, 1); },
      "CDirViewException", "Cannot get the shell memory allocator\ninterface\n\nNot enough memory to perform the action",
      0, 11207);
  row("list view, other", [] { return std::make_unique<CDirViewException>(5, kHrOutOfMemory, 1); },
      "CDirViewException", "Not enough memory to perform the action", 0, 11207);
  row("tree view", [] { return std::make_unique<CSystemViewException>(0, kHrFail, 1); },
      "CSystemViewException", "Problem with the tree view control", 1, 11205);
  row("tree view, allocator", [] { return std::make_unique<CSystemViewException>(1, kHrFail, 1); },
      "CSystemViewException", "Cannot get shell memory allocator interface\n\nGeneral failure", 0, 0);
  row("allocator", [] { return std::make_unique<CShellMallocException>(kHrOutOfMemory, nullptr); },
      "CShellMallocException", "Not enough memory to perform the action", 0, 11207);
  row("selection list", [] { return std::make_unique<CSelectionListException>(0); },
      "CSelectionListException", "Error in List Control", 1, 11206);
  row("status list", [] { return std::make_unique<CProcessViewException>(0); }, "CProcessViewException",
      "List view error in ProcessView", 1, 11206);
}

void InterfaceErrorTest::constructors() {
  QFETCH(MakeException, make);
  QFETCH(QString, className);
  QFETCH(QString, message);
  QFETCH(int, internal);
  QFETCH(unsigned, helpId);
  const std::unique_ptr<CInterfaceException> e = make();
  QCOMPARE(QString::fromLatin1(e->GetRuntimeClassName()), className);
  QCOMPARE(e->m_strMessage, message);
  QCOMPARE(e->m_bInternal, internal);
  QCOMPARE(e->m_nHelpId, helpId);
}

void InterfaceErrorTest::report_data() {
  QTest::addColumn<MakeException>("make");
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("boxShown");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("buttons");
  QTest::addColumn<unsigned>("helpId");
  QTest::addColumn<bool>("givesUp");
  const int ok = QMessageBox::Ok;
  const int retryCancel = QMessageBox::Retry | QMessageBox::Cancel;
  auto work = [](HRESULT hr) {
    return [hr] {
      auto e = std::make_unique<CShellFolderException>(0, hr);
      e->m_strObjectName = QStringLiteral("Work");
      return std::unique_ptr<CInterfaceException>(std::move(e));
    };
  };
  QTest::newRow("unknown code") << MakeException([] { return std::make_unique<CInterfaceException>(0x12345678); })
                                << ok << true << "Unknown error:\nThe error code is 0x12345678L" << ok << 0u
                                << true;
  QTest::newRow("denied folder, retry") << MakeException(work(kHrAccessDenied)) << int(QMessageBox::Retry) << true
                                        << "Work is not accessible:\n\nAccess is denied" << retryCancel << 11201u
                                        << false;
  QTest::newRow("denied folder, cancel") << MakeException(work(kHrAccessDenied)) << int(QMessageBox::Cancel)
                                         << true << "Work is not accessible:\n\nAccess is denied" << retryCancel
                                         << 11201u << true;
  QTest::newRow("retry withheld by caller")
      << MakeException([work] {
           auto e = work(kHrAccessDenied)();
           e->m_bRetry = 0;
           return e;
         })
      << ok << true << "Work is not accessible:\n\nAccess is denied" << ok << 11201u << true;
  QTest::newRow("folder without name")
      << MakeException([] { return std::make_unique<CShellFolderException>(0, kHrNotReady); })
      << int(QMessageBox::Retry) << true << "Device is not ready" << retryCancel << 11202u << false;
  QTest::newRow("invalid pointer") << MakeException(work(kHrInvalidPointer)) << ok << true
                                   << QStringLiteral("An internal error:\n\nInvalid pointer was specified") + kAdvice
                                   << ok << 0u << true;
  QTest::newRow("list control") << MakeException([] { return std::make_unique<CSelectionListException>(0); })
                                << ok << true
                                << QStringLiteral("An internal error:\n\nError in List Control") + kAdvice << ok
                                << 11206u << true;
  QTest::newRow("cancelled by user") << MakeException(work(kHrCancelledByUser)) << ok << false << QString() << 0
                                     << 0u << true;
  QTest::newRow("allocator, memory")
      << MakeException([] { return std::make_unique<CDirViewException>(2, kHrOutOfMemory, 1); }) << ok << true
      << "Cannot get the shell memory allocator\ninterface\n\nNot enough memory to perform the action" << ok
      << 11207u << true;
}

void InterfaceErrorTest::report() {
  QFETCH(MakeException, make);
  QFETCH(int, answer);
  QFETCH(bool, boxShown);
  QFETCH(QString, text);
  QFETCH(int, buttons);
  QFETCH(unsigned, helpId);
  QFETCH(bool, givesUp);
  SeenBox seen;
  const std::unique_ptr<CInterfaceException> e = make();
  QCOMPARE(Report(*e, static_cast<QMessageBox::StandardButton>(answer), &seen), givesUp);
  QCOMPARE(seen.seen, boxShown);
  if (!boxShown) return;
  QCOMPARE(seen.text, text);
  QCOMPARE(seen.icon, QMessageBox::Critical);
  QCOMPARE(int(seen.buttons), buttons);
  QCOMPARE(seen.helpId, helpId);
}

void InterfaceErrorTest::errnoCodes_data() {
  QTest::addColumn<int>("err");
  QTest::addColumn<QString>("message");
  QTest::newRow("EACCES") << EACCES << "Access is denied";
  QTest::newRow("EPERM") << EPERM << "Access is denied";
  QTest::newRow("ENOMEM") << ENOMEM << "Not enough memory to perform the action";
  QTest::newRow("ENOMEDIUM") << ENOMEDIUM << "Device is not ready";
  QTest::newRow("EINVAL") << EINVAL << "Invalid argument was passed to the function";
  QTest::newRow("ENOENT") << ENOENT << "Unknown error:\nThe error code is 0x80070002L";
  // An errno that happens to be a table row's low bits must not take its words.
  QTest::newRow("EIO") << EIO << "Unknown error:\nThe error code is 0xA0000005L";
  QTest::newRow("ELOOP") << ELOOP << "Unknown error:\nThe error code is 0xA0000028L";
}

void InterfaceErrorTest::errnoCodes() {
  QFETCH(int, err);
  QFETCH(QString, message);
  QCOMPARE(CInterfaceException(HResultFromErrno(err)).m_strMessage, message);
}

// A folder the user may not read, as the browser meets it. The super-user
// reads every folder, so then the refusal is the one the system would give.
void InterfaceErrorTest::accessDeniedFolder() {
  QTemporaryDir root;
  QVERIFY(root.isValid());
  const QByteArray folder = QFile::encodeName(root.filePath(QStringLiteral("Work")));
  QVERIFY(::mkdir(folder.constData(), 0) == 0);
  int err = EACCES;
  if (DIR* dir = ::opendir(folder.constData())) {
    ::closedir(dir);
  } else {
    err = errno;
  }
  ::chmod(folder.constData(), 0700);

  CShellFolderException e(0, HResultFromErrno(err));
  e.m_strObjectName = QStringLiteral("Work");
  SeenBox seen;
  QVERIFY(!Report(e, QMessageBox::Retry, &seen));
  QCOMPARE(seen.text, QStringLiteral("Work is not accessible:\n\nAccess is denied"));
  QCOMPARE(seen.buttons, QMessageBox::Retry | QMessageBox::Cancel);
}

QTEST_MAIN(InterfaceErrorTest)
// The operation fails with a retryable error as long as `failures` lasts;
// the user answers each box in turn.
void InterfaceErrorTest::retryLoop_data() {
  QTest::addColumn<int>("failures");
  QTest::addColumn<QList<int>>("answers");
  QTest::addColumn<int>("runs");
  QTest::addColumn<bool>("worked");
  QTest::newRow("works at once") << 0 << QList<int>{} << 1 << true;
  QTest::newRow("retry twice, then it works") << 2 << QList<int>{QMessageBox::Retry, QMessageBox::Retry} << 3 << true;
  QTest::newRow("cancel at the first box") << 5 << QList<int>{QMessageBox::Cancel} << 1 << false;
  QTest::newRow("retry, then cancel") << 5 << QList<int>{QMessageBox::Retry, QMessageBox::Cancel} << 2 << false;
}

void InterfaceErrorTest::retryLoop() {
  QFETCH(int, failures);
  QFETCH(QList<int>, answers);
  QFETCH(int, runs);
  QFETCH(bool, worked);
  std::vector<ModalStep> steps;
  for (int answer : answers) {
    steps.push_back({[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                     [answer](QWidget* w) {
                       qobject_cast<QMessageBox*>(w)->button(static_cast<QMessageBox::StandardButton>(answer))->click();
                     }});
  }
  ModalScript script(steps);
  int ran = 0;
  const bool result = RunWithRetry(nullptr, [&] {
    if (ran++ < failures) throw CInterfaceException(kHrAccessDenied);
  });
  QVERIFY(script.Finished());
  QCOMPARE(ran, runs);
  QCOMPARE(result, worked);
}

void InterfaceErrorTest::reportedOnceWithoutRetry() {
  SeenBox seen;
  ModalScript script({{[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                       [&seen](QWidget* w) {
                         auto* box = qobject_cast<QMessageBox*>(w);
                         seen.buttons = box->standardButtons();
                         box->button(QMessageBox::Ok)->click();
                       }}});
  const CInterfaceException retryable(kHrAccessDenied);
  ReportInterfaceErrorOnce(retryable);
  QVERIFY(script.Finished());
  QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  QCOMPARE(retryable.m_bRetry, 1);  // the error object itself is left as it was
}

// A question in the middle of busy work is answered with the normal cursor,
// and the busy one comes back after it.
void InterfaceErrorTest::boxesShowTheNormalCursor() {
  const CWaitCursor busy;
  Qt::CursorShape during = Qt::BlankCursor;
  ModalScript script({{[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                       [&during](QWidget* w) {
                         during = QApplication::overrideCursor()->shape();
                         qobject_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
                       }}});
  qorvex::MessageBox(nullptr, QStringLiteral("x"), QMessageBox::Information);
  QVERIFY(script.Finished());
  QCOMPARE(during, Qt::ArrowCursor);
  QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

#include "InterfaceErrorTest.moc"
