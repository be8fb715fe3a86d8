#include "process/StartProcessing.h"

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <memory>
#include <string>

#include "errors/MessageBox.h"
#include "errors/WaitCursor.h"
#include "MvrFileInfo.h"
#include "MvrFind.h"
#include "process/ConstructionChoice.h"
#include "process/MainScreen.h"
#include "process/ProcessHost.h"
#include "process/ProcessTexts.h"
#include "process/ProcessView.h"
#include "process/Tarvo2Engine.h"
#include "strings/QorvexStrings.h"
#include "strings/StringIds.h"

namespace ptext = qorvex::process::text;

namespace {

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool IsMissingOrFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode);
}

void Tell(CProcessHost& host, const QString& text) {
  qorvex::MessageBox(host.HostWindow(), text, QMessageBox::Critical);
}

// Reads the difference file's header and finds its original; the found path
// in `original`. False after the user has been told why not.
bool LocateOriginal(CProcessHost& host, const std::string& deltaFile, std::string& original,
                    unsigned long* pTargetSize) {
  CDeltaFileInfo info;
  if (info.PrepareInfo(deltaFile.c_str()) == 0) {
    Tell(host, ptext::Tr(ptext::kInvalidDifferenceFile));
    return false;
  }
  std::string found;
  const CMvrFindResult result = CWaitCursor::Lifted([&] {
    return FindReferenceFile(original.c_str(), info.GetReferenceFileSize(), info.GetReferenceFileCheckSum(),
                             info.GetHeader(), found, host.HostWindow());
  });
  if (result != MVRFIND_FOUND) return false;
  original = found;
  if (pTargetSize != nullptr) *pTargetSize = info.GetTargetFileSize();
  return true;
}

std::unique_ptr<CTarvo2Engine> NewEngine(CProcessHost& host, CProcessView& view) {
  auto engine = std::make_unique<CTarvo2Engine>(&view);
  if (!engine->IsValid()) {
    Tell(host, ptext::Tr(ptext::kNoEngine));
    return nullptr;
  }
  return engine;
}

bool StartMultiple(CMainScreen& screen, CProcessView& view, CProcessHost& host, int mode) {
  if (screen.SelectionCount() == 0) return false;
  std::unique_ptr<CTarvo2Engine> engine = NewEngine(host, view);
  if (!engine) return false;
  for (int i = 0; i < screen.SelectionCount(); ++i) {
    CTarvoTaskEntry* entry = screen.SelectionEntry(i);
    if (entry == nullptr) continue;
    if (mode == CTarvoEngine::modeReconstruct && IsMissingOrFolder(entry->GetReferenceFile())) {
      std::string original = entry->GetReferenceFile();
      if (!LocateOriginal(host, entry->GetExistingFile(), original, nullptr)) return false;
      entry->SetReferenceFile(original.c_str(), false);
    }
    CTarvoTaskEntry* job = engine->GetEntryArrayPtr()->GetAt(engine->GetEntryArrayPtr()->AddCopy(entry));
    if (mode == CTarvoEngine::modeConstruct) ApplyConstructionChoice(*job, host.ConstructionChoice());
  }
  // The row owns the engine from here on, also when the start fails.
  const bool started = view.StartSession(engine.release(), mode) != 0;
  if (started) {
    screen.RemoveAllSelections();
  } else {
    Tell(host, ptext::Tr(ptext::kNoSession));
  }
  host.SwitchToScreen(1, false);
  return started;
}

bool StartSingle(CMainScreen& screen, CProcessView& view, CProcessHost& host, int mode) {
  const bool recorded = mode == CTarvoEngine::modeReconstruct && screen.IsOutputFieldRecorded();
  std::string output = Local(screen.OutputField());
  // A recorded name with a NUL in it would reach the entry cut short; with
  // no name the core reads the whole one from the file, and refuses it.
  if (recorded && output.find('\0') != std::string::npos) output.clear();
  const std::string input = Local(screen.InputField());
  std::string original = Local(screen.OriginalField());
  unsigned long targetSize = 0;
  if (mode == CTarvoEngine::modeReconstruct && !LocateOriginal(host, input, original, &targetSize)) return false;
  std::unique_ptr<CTarvo2Engine> engine = NewEngine(host, view);
  if (!engine) return false;
  CTarvoTaskEntry entry(original.c_str(), input.c_str(), output.c_str());
  // A name taken from the difference file keeps the rule for such names.
  entry.SetOutputRecorded(recorded);
  if (recorded && screen.IsRecordedOutputFieldAccepted()) entry.AcceptRecordedOutput();
  if (targetSize != 0) entry.SetOutputFileSize(static_cast<uint32_t>(targetSize));
  if (mode == CTarvoEngine::modeConstruct) ApplyConstructionChoice(entry, host.ConstructionChoice());
  engine->GetEntryArrayPtr()->AddCopy(&entry);
  if (view.StartSession(engine.release(), mode) == 0) {
    Tell(host, ptext::Tr(ptext::kNoSession));
    return false;
  }
  screen.RemoveAllSelections();
  host.SwitchToScreen(1, false);
  screen.SetOutputField(QString());
  screen.SetInputField(QString());
  screen.SetOriginalField(QString());
  return true;
}

}  // namespace

bool StartProcessingSession(CMainScreen& screen, CProcessView& view, CProcessHost& host) {
  bool started = false;
  {
    const CWaitCursor wait;
    host.SetStatusText(qorvex::LoadString(qorvex::ids::kInitializingSession));
    const int mode = screen.IsConstructMode() ? CTarvoEngine::modeConstruct : CTarvoEngine::modeReconstruct;
    started = screen.IsMultiple() ? StartMultiple(screen, view, host, mode) : StartSingle(screen, view, host, mode);
  }
  host.SetStatusText(qorvex::LoadString(qorvex::ids::kReadyForHelp));
  return started;
}
