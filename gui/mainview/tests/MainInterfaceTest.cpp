// The Main Interface over real temporary folders: what marking, choosing the
// original and Add Files do in both modes, the selection list's rows and
// label editing, the periodic update and the layout. Every message box is
// answered by the test.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "CraftedDelta.h"
#include "mainview/MainInterfaceDialog.h"
#include "ModalScript.h"
#include "TarvoCore.h"

namespace {

void MakeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QVERIFY(file.write(bytes) == bytes.size());
}

struct SeenBox {
  bool seen = false;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Waits for one message box, notes it and presses `answer`.
ModalStep Answer(SeenBox* seen, QMessageBox::StandardButton answer) {
  return {[](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
          [seen, answer](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            seen->seen = true;
            seen->text = box->text();
            seen->icon = box->icon();
            box->button(answer)->click();
          }};
}

}  // namespace

class MainInterfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void singleConstructFillsFields();
  void singleReconstructReadsHeader();
  void singleOriginalFillsField();
  void keysAndDrops();
  void onlyMarkableFilesAreMarked_data();
  void onlyMarkableFilesAreMarked();
  void selectionListShowsFileNames();
  void addFilesConstruct();
  void addFilesReconstruct();
  void recordedOutputsShowWhereTheyGo();
  void rowIcons();
  void labelEditing_data();
  void labelEditing();
  void editorEndsInTheChecks();
  void periodicUpdate();
  void layoutVisibility();
  void tabOrder_data();
  void tabOrder();

 private:
  QString Path(const QString& name) const { return m_pDir->filePath(name); }
  int Row(const QString& name) const;
  void MakeDelta(const QString& original, const QString& modified, const QString& delta);
  void Open(const QString& folder = QString());

  std::unique_ptr<QTemporaryDir> m_pDir;
  std::unique_ptr<CMainInterfaceDialog> m_pScreen;
};

void MainInterfaceTest::init() {
  m_pDir = std::make_unique<QTemporaryDir>();
  QVERIFY(m_pDir->isValid());
  MakeFile(Path(QStringLiteral("orig.bin")), QByteArray(3000, 'o'));
  MakeFile(Path(QStringLiteral("a.exe")), QByteArray(3000, 'o') + "tail");
  MakeFile(Path(QStringLiteral("b.exe")), QByteArray(2000, 'b'));
  MakeFile(Path(QStringLiteral("fake.mvr")), "not a difference file at all, not even close to a header");
}

void MainInterfaceTest::cleanup() { m_pScreen.reset(); }

int MainInterfaceTest::Row(const QString& name) const {
  CDirView* view = m_pScreen->GetDirView();
  for (int i = 0; i < view->GetItemCount(); ++i) {
    if (view->RecordOf(i)->GetDisplayName() == name) return i;
  }
  return -1;
}

void MainInterfaceTest::MakeDelta(const QString& original, const QString& modified, const QString& delta) {
  const S_TARVO_CONSTRUCT_OPTIONS options{sizeof options, 0, 1, 1, 0, 0, 0};
  QCOMPARE(ConstructDeltaFile(QFile::encodeName(original).constData(), QFile::encodeName(modified).constData(),
                              QFile::encodeName(delta).constData(), nullptr, &options),
           TARVO_OK);
}

void MainInterfaceTest::Open(const QString& folder) {
  m_pScreen = std::make_unique<CMainInterfaceDialog>();
  m_pScreen->resize(900, 600);
  m_pScreen->show();
  QVERIFY(m_pScreen->Initialize(folder.isEmpty() ? m_pDir->path() : folder));
  m_pScreen->PeriodicUpdate();
  QCOMPARE(m_pScreen->GetDirView()->GetCurrentFolder()->GetPath(), folder.isEmpty() ? m_pDir->path() : folder);
}

void MainInterfaceTest::singleConstructFillsFields() {
  Open();
  m_pScreen->MarkHighlighted(Row(QStringLiteral("a.exe")));
  QCOMPARE(m_pScreen->GetInputField()->text(), Path(QStringLiteral("a.exe")));
  QCOMPARE(m_pScreen->GetOutputField()->text(), Path(QStringLiteral("a.exe.mvr")));
  QVERIFY(m_pScreen->GetDirView()->GetMarks().isEmpty());
  QCOMPARE(m_pScreen->GetDirView()->ItemText(Row(QStringLiteral("a.exe")), CDirView::kColMark),
           QStringLiteral("+"));
}

void MainInterfaceTest::singleReconstructReadsHeader() {
  MakeDelta(Path(QStringLiteral("orig.bin")), Path(QStringLiteral("a.exe")), Path(QStringLiteral("a.mvr")));
  Open();
  m_pScreen->SetConstructMode(false);
  m_pScreen->MarkHighlighted(Row(QStringLiteral("a.mvr")));
  QCOMPARE(m_pScreen->GetInputField()->text(), Path(QStringLiteral("a.mvr")));
  QCOMPARE(m_pScreen->GetOriginalField()->text(), Path(QStringLiteral("orig.bin")));
  QCOMPARE(m_pScreen->GetOutputField()->text(), Path(QStringLiteral("a.exe")));

  SeenBox seen;
  ModalScript script({Answer(&seen, QMessageBox::Ok)});
  m_pScreen->MarkHighlighted(Row(QStringLiteral("fake.mvr")));
  QVERIFY(script.Finished());
  QCOMPARE(seen.text, Path(QStringLiteral("fake.mvr")) + QStringLiteral(":\n\nInvalid delta file format!"));
  QCOMPARE(seen.icon, QMessageBox::Critical);
  QCOMPARE(m_pScreen->GetInputField()->text(), Path(QStringLiteral("a.mvr")));
  QCOMPARE(m_pScreen->GetOutputField()->text(), Path(QStringLiteral("a.exe")));
  QVERIFY(m_pScreen->GetDirView()->GetMarks().isEmpty());
}

void MainInterfaceTest::singleOriginalFillsField() {
  Open();
  m_pScreen->ChooseOriginal(Row(QStringLiteral("orig.bin")));
  QCOMPARE(m_pScreen->GetOriginalField()->text(), Path(QStringLiteral("orig.bin")));
  QVERIFY(m_pScreen->GetDirView()->GetOriginal().isEmpty());
  // The Single File mode command empties the fields.
  m_pScreen->SetSingleFileMode();
  QCOMPARE(m_pScreen->GetOriginalField()->text(), QString());
}

void MainInterfaceTest::keysAndDrops() {
  Open();
  m_pScreen->SetMultipleFilesMode();
  CDirView* view = m_pScreen->GetDirView();
  auto highlight = [this, view](const char* name) {
    view->clearSelection();
    view->SetFocusedRow(Row(QLatin1String(name)));
    view->SetHighlighted(Row(QLatin1String(name)), true);
  };
  highlight("orig.bin");
  QTest::keyClick(view, Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(view->GetOriginal(), Path(QStringLiteral("orig.bin")));
  highlight("b.exe");
  QTest::keyClick(view, Qt::Key_Space);
  QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);  // the Reconstruct key: nothing in Construct mode
  QCOMPARE(view->GetMarks(), QStringList{Path(QStringLiteral("b.exe"))});
  highlight("a.exe");
  QTest::keyClick(view, Qt::Key_M, Qt::ControlModifier);
  QCOMPARE(view->GetMarks(), (QStringList{Path(QStringLiteral("b.exe")), Path(QStringLiteral("a.exe"))}));
  QTest::keyClick(view, Qt::Key_Space, Qt::ShiftModifier);
  QCOMPARE(view->GetOriginal(), Path(QStringLiteral("a.exe")));

  // Drops onto the fields, in Single File mode.
  m_pScreen->SetSingleFileMode();
  emit m_pScreen->GetOutputField()->rowDropped(Row(QStringLiteral("b.exe")));
  QCOMPARE(m_pScreen->GetOutputField()->text(), Path(QStringLiteral("b.exe")));
  emit m_pScreen->GetOriginalField()->rowDropped(Row(QStringLiteral("orig.bin")));
  QCOMPARE(m_pScreen->GetOriginalField()->text(), Path(QStringLiteral("orig.bin")));
  emit m_pScreen->GetInputField()->rowDropped(Row(QStringLiteral("a.exe")));
  QCOMPARE(m_pScreen->GetInputField()->text(), Path(QStringLiteral("a.exe")));
  QCOMPARE(m_pScreen->GetOutputField()->text(), Path(QStringLiteral("a.exe.mvr")));
}

using Act = std::function<void(CMainInterfaceDialog&, CDirView&)>;
Q_DECLARE_METATYPE(Act)

void MainInterfaceTest::onlyMarkableFilesAreMarked_data() {
  QTest::addColumn<bool>("construct");
  QTest::addColumn<QString>("highlighted");
  QTest::addColumn<Act>("act");
  QTest::addColumn<QStringList>("marks");
  const Act space = [](CMainInterfaceDialog&, CDirView& v) { QTest::keyClick(&v, Qt::Key_Space); };
  const Act ctrlM = [](CMainInterfaceDialog&, CDirView& v) { QTest::keyClick(&v, Qt::Key_M, Qt::ControlModifier); };
  const Act ctrlD = [](CMainInterfaceDialog&, CDirView& v) { QTest::keyClick(&v, Qt::Key_D, Qt::ControlModifier); };
  const Act twice = [](CMainInterfaceDialog& d, CDirView& v) {
    emit v.rowDoubleClicked(v.GetFocusedRow());
    Q_UNUSED(d);
  };
  const Act reverse = [](CMainInterfaceDialog& d, CDirView&) { d.ReverseMarks(); };
  QTest::newRow("construct, Space on a difference file") << true << "fake.mvr" << space << QStringList{};
  QTest::newRow("construct, Ctrl+M on a difference file") << true << "fake.mvr" << ctrlM << QStringList{};
  QTest::newRow("construct, double click on a difference file") << true << "fake.mvr" << twice << QStringList{};
  QTest::newRow("construct, Space on a modified file") << true << "a.exe" << space << QStringList{"a.exe"};
  QTest::newRow("construct, reverse") << true << "a.exe" << reverse << QStringList{"a.exe", "b.exe"};
  QTest::newRow("reconstruct, Space on a plain file") << false << "a.exe" << space << QStringList{};
  QTest::newRow("reconstruct, Ctrl+D on a plain file") << false << "b.exe" << ctrlD << QStringList{};
  QTest::newRow("reconstruct, Ctrl+D on a difference file") << false << "fake.mvr" << ctrlD << QStringList{"fake.mvr"};
  QTest::newRow("reconstruct, reverse") << false << "a.exe" << reverse << QStringList{"fake.mvr"};
}

// Multiple Files mode, orig.bin the original: a file of the other kind
// never gets a mark, so Add Files never queues x.mvr.mvr.
void MainInterfaceTest::onlyMarkableFilesAreMarked() {
  QFETCH(bool, construct);
  QFETCH(QString, highlighted);
  QFETCH(Act, act);
  QFETCH(QStringList, marks);
  Open();
  m_pScreen->SetConstructMode(construct);
  m_pScreen->SetMultipleFilesMode();
  CDirView* view = m_pScreen->GetDirView();
  m_pScreen->ChooseOriginal(Row(QStringLiteral("orig.bin")));
  view->setFocus();
  view->clearSelection();
  view->SetFocusedRow(Row(highlighted));
  view->SetHighlighted(Row(highlighted), true);
  act(*m_pScreen, *view);
  QStringList expected;
  for (const QString& name : marks) expected << Path(name);
  QCOMPARE(view->GetMarks(), expected);

  if (!construct) return;
  m_pScreen->AddFilesForProcessing();
  QCOMPARE(m_pScreen->GetSelectionList()->GetRowCount(), marks.size());
  for (int i = 0; i < marks.size(); ++i) {
    QVERIFY(!QString::fromStdString(m_pScreen->GetSelectionList()->GetEntry(i)->GetOutputFile())
                 .endsWith(QStringLiteral(".mvr.mvr")));
  }
}

// Two jobs of one deep folder differ only at the end of their paths.
void MainInterfaceTest::selectionListShowsFileNames() {
  Open();
  m_pScreen->SetMultipleFilesMode();
  CSelectionList* list = m_pScreen->GetSelectionList();
  const QString deep = Path(QStringLiteral("Projects/some/very/deep/folder/of/the/user/typings/"));
  const QStringList outputs = {deep + QStringLiteral("custom-new.d.ts.mvr"), deep + QStringLiteral("custom-old.d.ts.mvr")};
  for (const QString& output : outputs) {
    list->AddRow(std::make_unique<CTarvoTaskEntry>(QFile::encodeName(Path(QStringLiteral("orig.bin"))).constData(),
                                                   QFile::encodeName(deep + QStringLiteral("m")).constData(),
                                                   QFile::encodeName(output).constData()));
  }
  m_pScreen->resize(700, 600);
  QTest::qWait(0);
  QCOMPARE(list->textElideMode(), Qt::ElideLeft);
  int widths = 0;
  for (int column = 0; column < 3; ++column) widths += list->columnWidth(column);
  QCOMPARE(widths, list->viewport()->width());
  const QFontMetrics metrics(list->font());
  for (int row = 0; row < 2; ++row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    const QString shown = metrics.elidedText(item->text(0), list->textElideMode(), list->columnWidth(0) - 24);
    QVERIFY2(shown.endsWith(QFileInfo(outputs[row]).fileName()), qPrintable(shown));
    QCOMPARE(item->toolTip(0), outputs[row]);
    QCOMPARE(item->toolTip(1), deep + QStringLiteral("m"));
    QCOMPARE(item->toolTip(2), Path(QStringLiteral("orig.bin")));
  }
}

void MainInterfaceTest::addFilesConstruct() {
  Open();
  m_pScreen->SetMultipleFilesMode();
  CSelectionList* list = m_pScreen->GetSelectionList();
  m_pScreen->MarkHighlighted(Row(QStringLiteral("b.exe")));
  m_pScreen->MarkHighlighted(Row(QStringLiteral("a.exe")));
  m_pScreen->AddFilesForProcessing();
  QCOMPARE(list->GetRowCount(), 0);

  m_pScreen->ChooseOriginal(Row(QStringLiteral("orig.bin")));
  m_pScreen->AddFilesForProcessing();
  QCOMPARE(list->GetRowCount(), 2);
  for (int i = 0; i < 2; ++i) {
    const QString name = i == 0 ? QStringLiteral("b.exe") : QStringLiteral("a.exe");
    const CTarvoTaskEntry* entry = list->GetEntry(i);
    QCOMPARE(QString::fromStdString(entry->GetExistingFile()), Path(name));
    QCOMPARE(QString::fromStdString(entry->GetOutputFile()), Path(name) + QStringLiteral(".mvr"));
    QCOMPARE(QString::fromStdString(entry->GetReferenceFile()), Path(QStringLiteral("orig.bin")));
    QCOMPARE(list->topLevelItem(i)->text(0), Path(name) + QStringLiteral(".mvr"));
    QCOMPARE(list->topLevelItem(i)->text(2), Path(QStringLiteral("orig.bin")));
  }
  QCOMPARE(list->currentItem(), list->topLevelItem(0));
  QVERIFY(m_pScreen->GetDirView()->GetMarks().isEmpty());
  QVERIFY(m_pScreen->GetDirView()->GetOriginal().isEmpty());
  QCOMPARE(list->headerItem()->text(0), QStringLiteral("Output (Difference File)"));
  QCOMPARE(list->headerItem()->text(1), QStringLiteral("Modified File"));

  // Later rows leave the focus where it is; the Construct command empties the list.
  m_pScreen->ChooseOriginal(Row(QStringLiteral("orig.bin")));
  m_pScreen->MarkHighlighted(Row(QStringLiteral("a.exe")));
  m_pScreen->AddFilesForProcessing();
  QCOMPARE(list->GetRowCount(), 3);
  QCOMPARE(list->currentItem(), list->topLevelItem(0));
  m_pScreen->SetConstructMode(true);
  QCOMPARE(list->GetRowCount(), 0);
}

void MainInterfaceTest::addFilesReconstruct() {
  MakeDelta(Path(QStringLiteral("orig.bin")), Path(QStringLiteral("a.exe")), Path(QStringLiteral("a.mvr")));
  MakeFile(Path(QStringLiteral("other.bin")), "another original");
  Open();
  m_pScreen->SetConstructMode(false);
  m_pScreen->SetMultipleFilesMode();
  m_pScreen->PeriodicUpdate();
  CSelectionList* list = m_pScreen->GetSelectionList();
  QCOMPARE(list->headerItem()->text(0), QStringLiteral("Output (Modified File)"));
  QCOMPARE(list->headerItem()->text(1), QStringLiteral("Difference File"));

  // Without an original the recorded one is taken.
  m_pScreen->MarkHighlighted(Row(QStringLiteral("a.mvr")));
  m_pScreen->AddFilesForProcessing();
  QCOMPARE(list->GetRowCount(), 1);
  QCOMPARE(QString::fromStdString(list->GetEntry(0)->GetReferenceFile()), Path(QStringLiteral("orig.bin")));
  QCOMPARE(QString::fromStdString(list->GetEntry(0)->GetOutputFile()), Path(QStringLiteral("a.exe")));

  // A chosen original replaces it; a file that is not a difference file is skipped.
  m_pScreen->ChooseOriginal(Row(QStringLiteral("other.bin")));
  m_pScreen->MarkHighlighted(Row(QStringLiteral("fake.mvr")));
  m_pScreen->MarkHighlighted(Row(QStringLiteral("a.mvr")));
  SeenBox seen;
  ModalScript script({Answer(&seen, QMessageBox::Ok)});
  m_pScreen->AddFilesForProcessing();
  QVERIFY(script.Finished());
  QCOMPARE(seen.text, Path(QStringLiteral("fake.mvr")) + QStringLiteral(":\n\nInvalid delta file format!"));
  QCOMPARE(list->GetRowCount(), 2);
  QCOMPARE(QString::fromStdString(list->GetEntry(1)->GetReferenceFile()), Path(QStringLiteral("other.bin")));
  QCOMPARE(QString::fromStdString(list->GetEntry(1)->GetOutputFile()), Path(QStringLiteral("a.exe")));
}

// A recorded modified name is shown where the core will create it, beside
// the difference file, and stays a recorded one until the user gives a name.
void MainInterfaceTest::recordedOutputsShowWhereTheyGo() {
  testsupport::Crafted crafted = testsupport::For({'o'}, {'m'}, {1, 1, 'm'});
  crafted.originalName = "D:\\src\\orig.bin";
  crafted.modifiedName = "C:\\Users\\Ann\\new.bin";
  testsupport::WriteFile(QFile::encodeName(Path(QStringLiteral("win.mvr"))).toStdString(), testsupport::Build(crafted));
  Open();
  m_pScreen->SetConstructMode(false);
  CDropField* output = m_pScreen->GetOutputField();
  m_pScreen->MarkHighlighted(Row(QStringLiteral("win.mvr")));
  QCOMPARE(output->text(), Path(QStringLiteral("new.bin")));
  QCOMPARE(m_pScreen->GetOriginalField()->text(), Path(QStringLiteral("orig.bin")));
  QVERIFY(m_pScreen->IsOutputFieldRecorded());
  // Typed into, dropped on, set by a command: the user's name.
  const std::function<void()> userNames[] = {
      [output] { QTest::keyClick(output, Qt::Key_X); },
      [this] { emit m_pScreen->GetOutputField()->rowDropped(Row(QStringLiteral("b.exe"))); },
      [this] { m_pScreen->SetOutputField(QStringLiteral("typed")); },
      // Another difference file in the Input: the shown path is no longer the recorded one's place.
      [this] { QTest::keyClick(m_pScreen->GetInputField(), Qt::Key_X); },
  };
  for (const auto& name : userNames) {
    m_pScreen->MarkHighlighted(Row(QStringLiteral("win.mvr")));
    QVERIFY(m_pScreen->IsOutputFieldRecorded());
    name();
    QVERIFY(!m_pScreen->IsOutputFieldRecorded());
  }

  // A row of the selection list shows the same name, and an edit makes it the user's.
  m_pScreen->SetMultipleFilesMode();
  CSelectionList* list = m_pScreen->GetSelectionList();
  m_pScreen->MarkHighlighted(Row(QStringLiteral("win.mvr")));
  m_pScreen->AddFilesForProcessing();
  QCOMPARE(list->GetRowCount(), 1);
  QCOMPARE(list->topLevelItem(0)->text(0), Path(QStringLiteral("new.bin")));
  QVERIFY(list->GetEntry(0)->IsOutputRecorded());
  QVERIFY(list->EndLabelEdit(0, Path(QStringLiteral("mine.bin"))));
  QVERIFY(!list->GetEntry(0)->IsOutputRecorded());
}

void MainInterfaceTest::rowIcons() {
  Open();
  CSelectionList* list = m_pScreen->GetSelectionList();
  MakeFile(Path(QStringLiteral("b.exe.mvr")), "old output");
  auto add = [list](const QString& reference, const QString& existing, const QString& output) {
    list->AddRow(std::make_unique<CTarvoTaskEntry>(QFile::encodeName(reference).constData(),
                                                   QFile::encodeName(existing).constData(),
                                                   QFile::encodeName(output).constData()));
  };
  add(Path(QStringLiteral("orig.bin")), Path(QStringLiteral("a.exe")), Path(QStringLiteral("a.exe.mvr")));
  add(Path(QStringLiteral("orig.bin")), Path(QStringLiteral("b.exe")), Path(QStringLiteral("b.exe.mvr")));
  add(Path(QStringLiteral("orig.bin")), Path(QStringLiteral("missing.exe")), Path(QStringLiteral("m.mvr")));
  add(Path(QStringLiteral("missing.bin")), Path(QStringLiteral("a.exe")), Path(QStringLiteral("x.mvr")));
  QCOMPARE(list->GetIconId(0), CSelectionList::kIconReady);
  QCOMPARE(list->GetIconId(1), CSelectionList::kIconOutputExists);
  QCOMPARE(list->GetIconId(2), CSelectionList::kIconFilesMissing);
  QCOMPARE(list->GetIconId(3), CSelectionList::kIconFilesMissing);

  // Delete removes the highlighted rows with their jobs.
  list->clearSelection();
  list->topLevelItem(1)->setSelected(true);
  list->topLevelItem(3)->setSelected(true);
  QTest::keyClick(list, Qt::Key_Delete);
  QCOMPARE(list->GetRowCount(), 2);
  QCOMPARE(QString::fromStdString(list->GetEntry(1)->GetExistingFile()), Path(QStringLiteral("missing.exe")));
}

void MainInterfaceTest::labelEditing_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("message");  // empty: no question
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("taken");
  QTest::addColumn<int>("icon");
  const QString badFolder = QStringLiteral(
      "You have typed an output file name\nwith an invalid directory!\n\nDo you really want to use it?");
  QTest::newRow("empty") << QString() << "You must type a filename" << int(QMessageBox::Ok) << false
                         << int(CSelectionList::kIconReady);
  QTest::newRow("missing folder, yes") << "nofolder/out.mvr" << badFolder << int(QMessageBox::Yes) << true
                                       << int(CSelectionList::kIconFilesMissing);
  QTest::newRow("missing folder, no") << "nofolder/out.mvr" << badFolder << int(QMessageBox::No) << false
                                      << int(CSelectionList::kIconReady);
  QTest::newRow("existing file") << "b.exe" << QString() << 0 << true << int(CSelectionList::kIconOutputExists);
}

void MainInterfaceTest::labelEditing() {
  QFETCH(QString, typed);
  QFETCH(QString, message);
  QFETCH(int, answer);
  QFETCH(bool, taken);
  QFETCH(int, icon);
  Open();
  CSelectionList* list = m_pScreen->GetSelectionList();
  const QString before = Path(QStringLiteral("a.exe.mvr"));
  list->AddRow(std::make_unique<CTarvoTaskEntry>(QFile::encodeName(Path(QStringLiteral("orig.bin"))).constData(),
                                                 QFile::encodeName(Path(QStringLiteral("a.exe"))).constData(),
                                                 QFile::encodeName(before).constData()));
  const QString name = typed.isEmpty() ? typed : Path(typed);
  SeenBox seen;
  std::vector<ModalStep> steps;
  if (!message.isEmpty()) steps.push_back(Answer(&seen, static_cast<QMessageBox::StandardButton>(answer)));
  ModalScript script(steps);
  QCOMPARE(list->EndLabelEdit(0, name), taken);
  QVERIFY(script.Finished());
  QCOMPARE(seen.text, message);
  const QString expected = taken ? name : before;
  QCOMPARE(QString::fromStdString(list->GetEntry(0)->GetOutputFile()), expected);
  QCOMPARE(list->topLevelItem(0)->text(0), expected);
  QCOMPARE(list->GetIconId(0), icon);
}

// The in-place editor, as a user types into it: the typed name goes through
// the same checks once the editor has closed.
void MainInterfaceTest::editorEndsInTheChecks() {
  Open();
  m_pScreen->SetMultipleFilesMode();
  CSelectionList* list = m_pScreen->GetSelectionList();
  list->AddRow(std::make_unique<CTarvoTaskEntry>("o", QFile::encodeName(Path(QStringLiteral("a.exe"))).constData(),
                                                 "out.mvr"));
  QTreeWidgetItem* row = list->topLevelItem(0);
  list->setCurrentItem(row, 2);
  list->editItem(row, 2);
  auto* editor = list->findChild<QLineEdit*>();
  QVERIFY(editor != nullptr);
  QCOMPARE(editor->text(), QStringLiteral("out.mvr"));
  editor->setText(QString());
  SeenBox seen;
  ModalScript script({Answer(&seen, QMessageBox::Ok)});
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_VERIFY(script.Finished());
  QCOMPARE(seen.text, QStringLiteral("You must type a filename"));
  QCOMPARE(row->text(0), QStringLiteral("out.mvr"));

  list->editItem(row, 0);
  QTRY_VERIFY(list->findChild<QLineEdit*>() != nullptr);
  editor = list->findChild<QLineEdit*>();
  editor->setText(Path(QStringLiteral("new.mvr")));
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_COMPARE(QString::fromStdString(list->GetEntry(0)->GetOutputFile()), Path(QStringLiteral("new.mvr")));
  QCOMPARE(row->text(0), Path(QStringLiteral("new.mvr")));
}

void MainInterfaceTest::periodicUpdate() {
  QVERIFY(QDir().mkpath(Path(QStringLiteral("inner"))));
  MakeFile(Path(QStringLiteral("inner/only.txt")), "x");
  Open();
  auto labelTexts = [this] {
    QStringList texts;
    for (QLabel* label : m_pScreen->findChildren<QLabel*>()) texts << label->text();
    return texts;
  };
  QVERIFY(labelTexts().contains(QStringLiteral("Modified File")));
  QVERIFY(labelTexts().contains(QStringLiteral("--")));
  m_pScreen->SetConstructMode(false);
  QVERIFY(labelTexts().contains(QStringLiteral("--")));  // labels follow at the tick
  m_pScreen->PeriodicUpdate();
  QVERIFY(labelTexts().contains(QStringLiteral("+")));
  QVERIFY(!labelTexts().contains(QStringLiteral("--")));

  // The file list follows the tree at the next tick, not at once.
  CSystemView* tree = m_pScreen->GetSystemView();
  QTreeWidgetItem* here = tree->currentItem();
  here->setExpanded(true);
  QTreeWidgetItem* inner = nullptr;
  for (int i = 0; i < here->childCount(); ++i) {
    if (here->child(i)->text(0) == QLatin1String("inner")) inner = here->child(i);
  }
  QVERIFY(inner != nullptr);
  tree->setCurrentItem(inner);
  QVERIFY(Row(QStringLiteral("only.txt")) < 0);
  m_pScreen->PeriodicUpdate();
  QCOMPARE(Row(QStringLiteral("only.txt")), 0);
  QCOMPARE(QDir::currentPath(), Path(QStringLiteral("inner")));

  // A folder that cannot be read: the tree goes back to the one shown before.
  QVERIFY(QDir(Path(QStringLiteral("inner"))).removeRecursively());
  tree->setCurrentItem(here);
  m_pScreen->PeriodicUpdate();
  tree->setCurrentItem(inner);
  SeenBox seen;
  ModalScript script({Answer(&seen, QMessageBox::Ok)});
  m_pScreen->PeriodicUpdate();
  QVERIFY(script.Finished());
  QCOMPARE(seen.text, QStringLiteral("inner is not accessible:\n\nUnknown error:\nThe error code is 0x80070002L"));
  QCOMPARE(tree->currentItem(), here);
  QVERIFY(Row(QStringLiteral("a.exe")) >= 0);
}

void MainInterfaceTest::layoutVisibility() {
  Open();
  // Each list has a name of its own for a screen reader.
  const QStringList names = {m_pScreen->GetSystemView()->accessibleName(), m_pScreen->GetDirView()->accessibleName(),
                             m_pScreen->GetSelectionList()->accessibleName()};
  QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 3);
  QVERIFY(!names.contains(QString()));
  QWidget* fields[] = {m_pScreen->GetInputField(), m_pScreen->GetOriginalField(), m_pScreen->GetOutputField()};
  auto visible = [](QWidget* w) { return !w->isHidden(); };
  for (QWidget* field : fields) QVERIFY(visible(field));
  QVERIFY(!visible(m_pScreen->GetSelectionList()));
  m_pScreen->SetMultipleFilesMode();
  for (QWidget* field : fields) QVERIFY(!visible(field));
  QVERIFY(visible(m_pScreen->GetSelectionList()));
  QVERIFY(visible(m_pScreen->GetSystemView()));

  // A window too small for the tree hides it instead of drawing it inside out.
  m_pScreen->resize(12, 600);
  QVERIFY(!visible(m_pScreen->GetSystemView()));
  QVERIFY(m_pScreen->GetSystemView()->width() >= 0);
  m_pScreen->resize(900, 12);
  QVERIFY(!visible(m_pScreen->GetSystemView()));
  QVERIFY(!visible(m_pScreen->GetDirView()));
  m_pScreen->resize(900, 600);
  QVERIFY(visible(m_pScreen->GetSystemView()));

  // The tree splitter's drop sets the tree's width; it never passes the window's edge.
  const QRect tree = m_pScreen->GetSystemView()->geometry();
  m_pScreen->OnSplitterDrop(CMainInterfaceDialog::kIdTreeSplitter, m_pScreen->mapToGlobal(QPoint(tree.left() + 300, 0)));
  QCOMPARE(m_pScreen->GetSystemView()->width(), 300);
  m_pScreen->OnSplitterDrop(CMainInterfaceDialog::kIdTreeSplitter, m_pScreen->mapToGlobal(QPoint(5000, 0)));
  QVERIFY(m_pScreen->GetSystemView()->geometry().right() < m_pScreen->width());
  // The list splitter moved up by 50 makes the list 50 higher.
  const int height = m_pScreen->GetSelectionList()->height();
  const int top = m_pScreen->GetSelectionList()->geometry().top();
  m_pScreen->OnSplitterDrop(CMainInterfaceDialog::kIdListSplitter,
                            m_pScreen->mapToGlobal(QPoint(0, top - 2 - 50)));
  QVERIFY(qAbs(m_pScreen->GetSelectionList()->height() - (height + 50)) <= 2);
}

void MainInterfaceTest::tabOrder_data() {
  QTest::addColumn<bool>("multiple");
  QTest::addColumn<QStringList>("order");
  QTest::newRow("single file") << false
                               << QStringList{"systemView", "dirView", "inputField", "originalField", "outputField"};
  QTest::newRow("multiple files") << true << QStringList{"systemView", "dirView", "selectionList"};
}

// Tab walks the screen top to bottom, left to right, over the parts shown.
void MainInterfaceTest::tabOrder() {
  QFETCH(bool, multiple);
  QFETCH(QStringList, order);
  Open();
  if (multiple) m_pScreen->SetMultipleFilesMode();
  QStringList walked;
  QWidget* w = m_pScreen->GetSystemView();
  do {
    if (w->isVisibleTo(m_pScreen.get()) && (w->focusPolicy() & Qt::TabFocus) != 0 && m_pScreen->isAncestorOf(w) &&
        w->focusProxy() == nullptr && !w->objectName().isEmpty() && !walked.contains(w->objectName())) {
      walked << w->objectName();
    }
    w = w->nextInFocusChain();
  } while (w != m_pScreen->GetSystemView());
  QCOMPARE(walked, order);
}

QTEST_MAIN(MainInterfaceTest)
#include "MainInterfaceTest.moc"
