// The order of the hooks and the results of whole runs, with real core calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "EventLoop.h"
#include "FolderSwapHook.h"
#include "JobFiles.h"
#include "RecordedNames.h"
#include "RecordingEngine.h"

using namespace enginetest;

namespace {

// Failed: whatever the core left behind (a partial file may stay), it is no usable output.
enum class Output { Written, Absent, Kept, Failed };

struct Scenario {
  const char* name;
  CTarvoEngine::CTarvoMode mode;
  int jobs;
  std::function<void(std::vector<Job>&)> prepare;  // after the inputs are made
  std::function<void(Script&)> script;
  std::function<void(RecordingEngine&)> beforeStart;
  std::vector<std::string> hooks;
  E_TARVO_ERROR status;
  std::vector<Output> outputs;
};

const char kKept[] = "an output that is to stay";

void DeltaOfJob1Exists(std::vector<Job>& jobs) {
  testsupport::WriteFile(jobs[1].delta, Bytes(kKept, kKept + sizeof kKept));
}
void RebuiltOfJob1Exists(std::vector<Job>& jobs) {
  testsupport::WriteFile(jobs[1].rebuilt, Bytes(kKept, kKept + sizeof kKept));
}
void LoseOriginalOfJob0(std::vector<Job>& jobs) { ::unlink(jobs[0].original.c_str()); }

// Refuses the overwrite (which needs the cancel flag) and then withdraws the
// cancel, so that the entries after the refused one are processed too.
void RefuseOverwriteOnly(Script& s) {
  s.onFileExists = [](RecordingEngine& e, int) { e.CancelProcessing(); };
  s.onFinishedFile = [](RecordingEngine& e, int) { e.WithdrawCancel(); };
}

const std::vector<std::string> kThreeGood = {
    "start",         "startfile 0", "progress 0", "finishedfile 0", "startfile 1", "progress 1",
    "finishedfile 1", "startfile 2", "progress 2", "finishedfile 2", "finished"};

const Scenario kScenarios[] = {
    {"ThreeConstructions", CTarvoEngine::modeConstruct, 3, nullptr, nullptr, nullptr, kThreeGood, TARVO_OK,
     {Output::Written, Output::Written, Output::Written}},
    {"ThreeReconstructions", CTarvoEngine::modeReconstruct, 3, nullptr, nullptr, nullptr, kThreeGood, TARVO_OK,
     {Output::Written, Output::Written, Output::Written}},
    {"EmptyList", CTarvoEngine::modeConstruct, 0, nullptr, nullptr, nullptr, {"start", "finished"}, TARVO_OK, {}},
    {"OverwriteRefusedInTheMiddle", CTarvoEngine::modeConstruct, 3, DeltaOfJob1Exists, RefuseOverwriteOnly, nullptr,
     {"start", "startfile 0", "progress 0", "finishedfile 0", "startfile 1", "exists 1", "finishedfile 1",
      "startfile 2", "progress 2", "finishedfile 2", "finished"},
     TARVO_OK, {Output::Written, Output::Kept, Output::Written}},
    {"ReconstructionOverwriteRefused", CTarvoEngine::modeReconstruct, 3, RebuiltOfJob1Exists, RefuseOverwriteOnly,
     nullptr,
     {"start", "startfile 0", "progress 0", "finishedfile 0", "startfile 1", "exists 1", "finishedfile 1",
      "startfile 2", "progress 2", "finishedfile 2", "finished"},
     TARVO_OK, {Output::Written, Output::Kept, Output::Written}},
    {"ErrorAnsweredStop", CTarvoEngine::modeConstruct, 3, LoseOriginalOfJob0,
     [](Script& s) { s.onError = [](RecordingEngine&, int, E_TARVO_ERROR) { return 1; }; }, nullptr,
     {"start", "startfile 0", "finishedfile 0", "error 0 1", "finished"}, TARVO_ERR_OPEN_ORIGINAL,
     {Output::Failed, Output::Absent, Output::Absent}},
    {"ErrorAnsweredGoOn", CTarvoEngine::modeConstruct, 3, LoseOriginalOfJob0, nullptr, nullptr,
     {"start", "startfile 0", "finishedfile 0", "error 0 1", "startfile 1", "progress 1", "finishedfile 1",
      "startfile 2", "progress 2", "finishedfile 2", "finished"},
     TARVO_OK, {Output::Failed, Output::Written, Output::Written}},
    // The hook's own "stop" is dropped once it has answered early.
    {"ErrorAnsweredEarlyWhileTheHookGoesOn", CTarvoEngine::modeConstruct, 3, LoseOriginalOfJob0,
     [](Script& s) {
       s.onError = [](RecordingEngine& e, int, E_TARVO_ERROR) {
         e.ResumeProcessing();
         // The worker is free again: the next entry starts while this hook still runs.
         const Record& r = e.GetRecord();
         EXPECT_TRUE(PumpUntil([&] { return std::count(r.hooks.begin(), r.hooks.end(), "startfile 1") != 0; }));
         return 1;
       };
     },
     nullptr,
     {"start", "startfile 0", "finishedfile 0", "error 0 1", "startfile 1", "progress 1", "finishedfile 1",
      "startfile 2", "progress 2", "finishedfile 2", "finished"},
     TARVO_OK, {Output::Failed, Output::Written, Output::Written}},
    {"CancelFromProgress", CTarvoEngine::modeConstruct, 3, nullptr,
     [](Script& s) { s.onProgress = [](RecordingEngine& e, int, uint32_t, uint32_t) { e.CancelProcessing(); }; },
     nullptr, {"start", "startfile 0", "progress 0", "finishedfile 0", "finished"}, TARVO_ERR_CANCELLED,
     {Output::Absent, Output::Absent, Output::Absent}},
    {"CancelPendingBeforeTheRun", CTarvoEngine::modeConstruct, 3, nullptr, nullptr,
     [](RecordingEngine& e) { e.CancelProcessing(); }, {"start", "finished"}, TARVO_OK,
     {Output::Absent, Output::Absent, Output::Absent}},
};

void PrintTo(const Scenario& sc, std::ostream* os) { *os << sc.name; }

class EngineRun : public ::testing::TestWithParam<Scenario> {
 protected:
  JobFiles files;
};

TEST_P(EngineRun, HooksComeInOrderOnTheStartingThread) {
  const Scenario& sc = GetParam();
  std::vector<Job> jobs;
  for (int i = 0; i < sc.jobs; ++i) {
    const std::string name = "job" + std::to_string(i);
    jobs.push_back(sc.mode == CTarvoEngine::modeConstruct ? files.Make(name, 10u + static_cast<unsigned>(i))
                                                           : files.MakeWithDelta(name, 10u + static_cast<unsigned>(i)));
  }
  if (sc.prepare) sc.prepare(jobs);

  Script script;
  if (sc.script) sc.script(script);
  Record record;
  RecordingEngine engine(record, script);
  for (const Job& job : jobs) {
    if (sc.mode == CTarvoEngine::modeConstruct) engine.AddJob(job.original, job.modified, job.delta);
    else engine.AddJob(job.original, job.delta, job.rebuilt);
  }
  if (sc.beforeStart) sc.beforeStart(engine);

  ASSERT_TRUE(sc.mode == CTarvoEngine::modeConstruct ? engine.Construct() : engine.Reconstruct());
  ASSERT_TRUE(PumpUntil([&] { return record.finished; }));

  EXPECT_EQ(record.hooks, sc.hooks);
  EXPECT_EQ(record.offThread, 0);
  EXPECT_EQ(engine.GetErrorStatus(), sc.status);
  EXPECT_FALSE(engine.IsCanceled());
  for (size_t i = 0; i < sc.outputs.size(); ++i) {
    const Job& job = jobs[i];
    const std::string& output = sc.mode == CTarvoEngine::modeConstruct ? job.delta : job.rebuilt;
    switch (sc.outputs[i]) {
      case Output::Written:
        EXPECT_TRUE(sc.mode == CTarvoEngine::modeConstruct ? files.DeltaRebuildsModified(job)
                                                            : files.RebuiltIsModified(job))
            << "entry " << i;
        break;
      case Output::Absent:
        EXPECT_FALSE(testsupport::Exists(output)) << "entry " << i;
        break;
      case Output::Failed:
        EXPECT_FALSE(files.DeltaRebuildsModified(job)) << "entry " << i;
        break;
      case Output::Kept:
        EXPECT_EQ(testsupport::ReadFile(output), Bytes(kKept, kKept + sizeof kKept)) << "entry " << i;
        break;
    }
  }
  EXPECT_TRUE(files.box.TempFilesLeft().empty());
}

INSTANTIATE_TEST_SUITE_P(Scenarios, EngineRun, ::testing::ValuesIn(kScenarios),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace

namespace {

TEST(EngineProgress, CarriesTheEntryAndTheCoresCounts) {
  JobFiles files;
  for (const auto mode : {CTarvoEngine::modeConstruct, CTarvoEngine::modeReconstruct}) {
    SCOPED_TRACE(mode);
    const Job job = files.MakeWithDelta(mode == CTarvoEngine::modeConstruct ? "c" : "r", 3);
    ::unlink(mode == CTarvoEngine::modeConstruct ? job.delta.c_str() : job.rebuilt.c_str());
    const Script script;
    Record record;
    RecordingEngine engine(record, script);
    engine.AddJob("", "", "");  // fails at once, and the entry after it reports as entry 1
    if (mode == CTarvoEngine::modeConstruct) engine.AddJob(job.original, job.modified, job.delta);
    else engine.AddJob(job.original, job.delta, job.rebuilt);
    ASSERT_TRUE(mode == CTarvoEngine::modeConstruct ? engine.Construct() : engine.Reconstruct());
    ASSERT_TRUE(PumpUntil([&] { return record.finished; }));

    const auto& p = record.progress;
    ASSERT_GE(p.size(), 3u);
    EXPECT_EQ(p.front().done, 0u);
    EXPECT_EQ(p.back().done, job.modifiedBytes.size());
    for (size_t i = 0; i < p.size(); ++i) {
      EXPECT_EQ(p[i].entry, 1);
      EXPECT_EQ(p[i].total, job.modifiedBytes.size());
      if (i > 0) {
        EXPECT_GE(p[i].done, p[i - 1].done);
      }
    }
  }
}

// A standard entry hands the core the record of 20 bytes that predates the
// choice; a chosen one the whole record with its matcher and compressor. A
// run with each makes a difference file that rebuilds the modified file.
TEST(EngineConstruction, OptionsCarryTheEntrysChoice) {
  const struct {
    const char* name;
    int32_t matcher, compressor;
    uint32_t size;
  } cases[] = {
      {"standard", TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_STANDARD, 20},
      {"fast", TARVO_MATCHER_STANDARD, TARVO_COMPRESSOR_FAST, 28},
      {"thorough", TARVO_MATCHER_THOROUGH, TARVO_COMPRESSOR_STRONGEST, 28},
  };
  JobFiles files;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Job job = files.Make(c.name, 40);
    CTarvoTaskEntry entry(job.original.c_str(), job.modified.c_str(), job.delta.c_str());
    ASSERT_TRUE(entry.SetMatcher(c.matcher));
    ASSERT_TRUE(entry.SetCompressor(c.compressor));
    const Script script;
    Record record;
    RecordingEngine engine(record, script);
    engine.SetConstructionSpeed(7);
    const S_TARVO_CONSTRUCT_OPTIONS options = engine.ConstructOptions(entry);
    EXPECT_EQ(options.dwSize, c.size);
    EXPECT_EQ(options.lConstructionSpeed, 7);
    EXPECT_EQ(options.bFullReferencePath, 1);
    EXPECT_EQ(options.bFullTargetPath, 1);
    EXPECT_EQ(options.bNotifyOverwrite, 1);
    EXPECT_EQ(options.lMatcher, c.matcher);
    EXPECT_EQ(options.lCompressor, c.compressor);

    engine.AddEntry(entry);
    ASSERT_TRUE(engine.Construct());
    ASSERT_TRUE(PumpUntil([&] { return record.finished; }));
    EXPECT_EQ(engine.GetErrorStatus(), TARVO_OK);
    EXPECT_TRUE(files.DeltaRebuildsModified(job));
  }
}

}  // namespace

namespace {

using recordedtest::Fate;
using recordedtest::RecordedName;

// One reconstruction of the entry; the hooks it called.
std::vector<std::string> ReconstructOnce(const CTarvoTaskEntry& entry, E_TARVO_ERROR* status) {
  const Script script;
  Record record;
  RecordingEngine engine(record, script);
  engine.AddEntry(entry);
  EXPECT_TRUE(engine.Reconstruct());
  EXPECT_TRUE(PumpUntil([&] { return record.finished; }));
  *status = engine.GetErrorStatus();
  return record.hooks;
}

class EngineRecordedName : public ::testing::TestWithParam<RecordedName> {
 protected:
  testsupport::Sandbox box;
};

// The entry is completed from the difference file as the GUI completes it:
// the core then gets the name as a recorded one, and nothing under it is
// replaced without the user.
TEST_P(EngineRecordedName, EntryCompletedFromTheFile) {
  const RecordedName& name = GetParam();
  const recordedtest::Scene scene(box.Root(), name);
  const recordedtest::WorkingFolder here(scene.Path("cwd"));
  CTarvoTaskEntry entry(nullptr, scene.Delta().c_str(), nullptr);
  ASSERT_TRUE(entry.CompleteTargetOutput());
  EXPECT_TRUE(entry.IsOutputRecorded());
  EXPECT_EQ(entry.RecordedOutputInUse(), name.fate == Fate::Taken ? scene.TakenPath() : "");
  if (name.fate == Fate::Created) {
    EXPECT_EQ(entry.GetOutputFile(), scene.Folder() + "/" + name.created);
  }

  E_TARVO_ERROR status = TARVO_OK;
  const std::vector<std::string> hooks = ReconstructOnce(entry, &status);
  switch (name.fate) {
    case Fate::Created:
      EXPECT_EQ(status, TARVO_OK);
      EXPECT_TRUE(scene.CreatedHoldsTheModifiedFile());
      break;
    case Fate::Refused:
      EXPECT_EQ(status, TARVO_ERR_CREATE_OUTPUT);
      EXPECT_EQ(hooks, (std::vector<std::string>{"start", "startfile 0", "finishedfile 0", "error 0 4", "finished"}));
      break;
    case Fate::Taken:  // refused by the core itself, without a question
      EXPECT_EQ(status, TARVO_ERR_OVERWRITE_REFUSED);
      EXPECT_EQ(hooks, (std::vector<std::string>{"start", "startfile 0", "finishedfile 0", "finished"}));
      break;
  }
  EXPECT_EQ(scene.Changes(), scene.ExpectedChanges());
}

INSTANTIATE_TEST_SUITE_P(Names, EngineRecordedName, ::testing::ValuesIn(recordedtest::RecordedNames()),
                         [](const auto& p) {
                           std::string n = p.param.what;
                           for (char& c : n) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return n;
                         });

// Once the user has said Yes to the name in use, the name stays a recorded
// one and the core may replace that entry: a file, or a link (dangling or
// not) as the link itself, what it points to untouched. The core still asks
// the engine first.
TEST(EngineRecordedNameAccepted, ReplacesWhatTheUserWasAskedAbout) {
  for (const char* what : {"existing file", "dangling link", "link to a file elsewhere"}) {
    SCOPED_TRACE(what);
    testsupport::Sandbox box;
    const RecordedName* name = nullptr;
    for (const RecordedName& n : recordedtest::RecordedNames()) {
      if (std::string(n.what) == what) name = &n;
    }
    ASSERT_NE(name, nullptr);
    const recordedtest::Scene scene(box.Root(), *name);
    CTarvoTaskEntry entry(nullptr, scene.Delta().c_str(), nullptr);
    ASSERT_TRUE(entry.CompleteTargetOutput());
    const std::string asked = entry.RecordedOutputInUse();
    ASSERT_EQ(asked, scene.TakenPath());
    entry.AcceptRecordedOutput();
    EXPECT_TRUE(entry.IsOutputRecorded());

    const Script script;
    Record record;
    RecordingEngine engine(record, script);
    engine.AddEntry(entry);
    ASSERT_TRUE(engine.Reconstruct());
    ASSERT_TRUE(PumpUntil([&] { return record.finished; }));
    EXPECT_EQ(engine.GetErrorStatus(), TARVO_OK);
    EXPECT_NE(std::find(record.hooks.begin(), record.hooks.end(), "exists 0"), record.hooks.end());
    EXPECT_EQ(scene.Changes(), std::vector<std::string>{"~ d/" + asked.substr(asked.rfind('/') + 1)});
    struct stat st {};
    ASSERT_EQ(::lstat(asked.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(testsupport::ReadFile(asked), recordedtest::kModified);
  }
}

// The difference file's folder swapped for a link to the scene's root
// between the checks and the output: the entry is created in the folder the
// run began with, nothing appears where the link leads.
TEST(EngineRecordedNameSwap, TheFolderIsTheOneTheRunBeganWith) {
  testsupport::Sandbox box;
  const RecordedName* name = &recordedtest::RecordedNames().front();
  ASSERT_EQ(name->fate, Fate::Created);
  const recordedtest::Scene scene(box.Root(), *name);
  CTarvoTaskEntry entry(nullptr, scene.Delta().c_str(), nullptr);
  ASSERT_TRUE(entry.CompleteTargetOutput());
  ArmFolderSwap(scene.Folder().c_str(), box.Root().c_str());
  E_TARVO_ERROR status = TARVO_OK;
  ReconstructOnce(entry, &status);
  EXPECT_TRUE(FolderSwapped());
  RestoreSwappedFolder(scene.Folder());
  EXPECT_EQ(status, TARVO_OK);
  EXPECT_EQ(scene.Changes(), scene.ExpectedChanges());
  EXPECT_TRUE(scene.CreatedHoldsTheModifiedFile());
}

}  // namespace
