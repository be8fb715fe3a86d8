// Engines that are deleted by their own hooks or in the middle of a run,
// several engines at once, and an engine used for a second run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "EventLoop.h"
#include "JobFiles.h"
#include "RecordingEngine.h"

using namespace enginetest;

namespace {

bool IsFirstCheckpoint(const Record& record, int entry, uint32_t done, uint32_t total) {
  return done != 0 && done != total &&
         std::count_if(record.progress.begin(), record.progress.end(), [&](const Record::Progress& p) {
           return p.entry == entry && p.done != 0 && p.done != p.total;
         }) == 1;
}

TEST(EngineState, NewEngine) {
  CTarvoEngine engine;
  EXPECT_TRUE(engine.IsValid());
  EXPECT_FALSE(engine.IsProcessing());
  EXPECT_EQ(engine.GetTarvoMode(), CTarvoEngine::modeIdle);
  EXPECT_EQ(engine.GetCurrentEntry(), -1);
  EXPECT_EQ(engine.GetErrorStatus(), TARVO_OK);
  EXPECT_EQ(engine.GetConstructionSpeed(), 43);
  EXPECT_FALSE(engine.IsMsgHandlerPresent());
  // Both setters only ever switch their flag on.
  engine.SaveFullPath(false);
  engine.NotifyOverwrite(false);
  EXPECT_TRUE(engine.IsFullPathSaved());
  EXPECT_TRUE(engine.ShouldNotifyOverwrite());
}

class EngineLifetime : public ::testing::Test {
 protected:
  // Three construction jobs; the output of job 1 exists already.
  void SetUp() override {
    for (int i = 0; i < 3; ++i) jobs.push_back(files.Make("job" + std::to_string(i), 40u + static_cast<unsigned>(i)));
    testsupport::WriteFile(jobs[1].delta, Bytes(4, 'k'));
  }
  RecordingEngine* NewEngine(Record& record, const Script& script) {
    auto* engine = new RecordingEngine(record, script);
    for (const Job& job : jobs) engine->AddJob(job.original, job.modified, job.delta);
    return engine;
  }

  JobFiles files;
  std::vector<Job> jobs;
};

TEST_F(EngineLifetime, DeletedInsideOnFinishedProcessing) {
  Script script;
  // As the GUI ends a session: cancel (harmless now), then delete.
  script.onFinished = [](RecordingEngine& e) {
    e.CancelProcessing();
    delete &e;
  };
  Record record;
  ASSERT_TRUE(NewEngine(record, script)->Construct());
  ASSERT_TRUE(PumpUntil([&] { return record.destroyed; }));
  EXPECT_EQ(record.hooks.back(), "destroyed");
  EXPECT_EQ(record.hooks[record.hooks.size() - 2], "finished");
  for (const Job& job : jobs) EXPECT_TRUE(files.DeltaRebuildsModified(job));
}

enum class Output { Written, Absent, Kept, Any };

struct MidRun {
  const char* name;
  std::function<void(Script&, RecordingEngine*& engine, const Record&, std::vector<Job>&)> arrange;
  std::vector<std::string> hooks;  // the whole record, or its start when `prefixOnly`
  bool prefixOnly;
  std::vector<Output> outputs;
};

void PrintTo(const MidRun& m, std::ostream* os) { *os << m.name; }

const MidRun kMidRun[] = {
    {"InOnStartProcessing",
     [](Script& s, RecordingEngine*&, const Record&, std::vector<Job>&) {
       s.onStart = [](RecordingEngine& e) { delete &e; };
     },
     {"start", "destroyed"}, false, {Output::Absent, Output::Kept, Output::Absent}},
    {"InOnStartFile",
     [](Script& s, RecordingEngine*&, const Record&, std::vector<Job>&) {
       s.onStartFile = [](RecordingEngine& e, int n) {
         if (n == 1) delete &e;
       };
     },
     {"start", "startfile 0", "progress 0", "finishedfile 0", "startfile 1", "destroyed"}, false,
     {Output::Written, Output::Kept, Output::Absent}},
    {"AtACheckpoint",
     [](Script& s, RecordingEngine*&, const Record& r, std::vector<Job>&) {
       s.onProgress = [&r](RecordingEngine& e, int n, uint32_t done, uint32_t total) {
         if (IsFirstCheckpoint(r, n, done, total)) delete &e;
       };
     },
     {"start", "startfile 0", "progress 0", "destroyed"}, false, {Output::Absent, Output::Kept, Output::Absent}},
    {"InOnFileExists",
     [](Script& s, RecordingEngine*&, const Record&, std::vector<Job>&) {
       s.onFileExists = [](RecordingEngine& e, int) { delete &e; };
     },
     {"start", "startfile 0", "progress 0", "finishedfile 0", "startfile 1", "exists 1", "destroyed"}, false,
     {Output::Written, Output::Kept, Output::Absent}},
    {"InOnTarvoError",
     [](Script& s, RecordingEngine*&, const Record&, std::vector<Job>& jobs) {
       ::unlink(jobs[0].original.c_str());
       s.onError = [](RecordingEngine& e, int, E_TARVO_ERROR) {
         delete &e;
         return 0;
       };
     },
     {"start", "startfile 0", "finishedfile 0", "error 0 1", "destroyed"}, false,
     {Output::Any, Output::Kept, Output::Absent}},
    // While the worker is inside the core or waits to be heard.
    {"FromTheEventLoop",
     [](Script& s, RecordingEngine*& engine, const Record& r, std::vector<Job>&) {
       s.onProgress = [&engine, &r](RecordingEngine&, int n, uint32_t done, uint32_t total) {
         if (n == 0 && IsFirstCheckpoint(r, n, done, total)) {
           QTimer::singleShot(0, [&engine] { delete std::exchange(engine, nullptr); });
         }
       };
     },
     {"start", "startfile 0", "progress 0"}, true, {Output::Any, Output::Kept, Output::Absent}},
};

class EngineDestroyed : public EngineLifetime, public ::testing::WithParamInterface<MidRun> {};

TEST_P(EngineDestroyed, StopsTheWorkerWithoutFurtherHooks) {
  const MidRun& m = GetParam();
  Script script;
  Record record;
  RecordingEngine* engine = nullptr;
  m.arrange(script, engine, record, jobs);
  engine = NewEngine(record, script);
  ASSERT_TRUE(engine->Construct());
  ASSERT_TRUE(PumpUntil([&] { return record.destroyed; }));
  // Whatever the worker still sends must find nobody to call.
  QCoreApplication::processEvents();

  ASSERT_FALSE(record.hooks.empty());
  EXPECT_EQ(record.hooks.back(), "destroyed");
  if (m.prefixOnly) {
    ASSERT_GE(record.hooks.size(), m.hooks.size());
    EXPECT_TRUE(std::equal(m.hooks.begin(), m.hooks.end(), record.hooks.begin()));
  } else {
    EXPECT_EQ(record.hooks, m.hooks);
  }
  EXPECT_FALSE(record.finished);
  EXPECT_EQ(record.offThread, 0);
  for (size_t i = 0; i < m.outputs.size(); ++i) {
    switch (m.outputs[i]) {
      case Output::Written: EXPECT_TRUE(files.DeltaRebuildsModified(jobs[i])) << "entry " << i; break;
      case Output::Absent: EXPECT_FALSE(testsupport::Exists(jobs[i].delta)) << "entry " << i; break;
      case Output::Kept: EXPECT_EQ(testsupport::ReadFile(jobs[i].delta), Bytes(4, 'k')) << "entry " << i; break;
      case Output::Any: break;
    }
  }
  EXPECT_TRUE(files.box.TempFilesLeft().empty());
}

INSTANTIATE_TEST_SUITE_P(MidRun, EngineDestroyed, ::testing::ValuesIn(kMidRun),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(EngineLifetime, SeveralEnginesAtOnce) {
  constexpr int kEngines = 4;
  std::vector<Job> own;
  for (int i = 0; i < kEngines * 2; ++i) own.push_back(files.Make("many" + std::to_string(i), 70u + static_cast<unsigned>(i)));
  const Script script;
  std::vector<Record> records(kEngines);
  std::vector<std::unique_ptr<RecordingEngine>> engines;
  for (int k = 0; k < kEngines; ++k) {
    engines.push_back(std::make_unique<RecordingEngine>(records[k], script));
    for (int j = 0; j < 2; ++j) {
      const Job& job = own[static_cast<size_t>(2 * k + j)];
      engines.back()->AddJob(job.original, job.modified, job.delta);
    }
  }
  for (auto& e : engines) ASSERT_TRUE(e->Construct());
  ASSERT_TRUE(PumpUntil([&] {
    return std::all_of(records.begin(), records.end(), [](const Record& r) { return r.finished; });
  }));
  const std::vector<std::string> expected = {"start",       "startfile 0", "progress 0", "finishedfile 0",
                                             "startfile 1", "progress 1",  "finishedfile 1", "finished"};
  for (const Record& r : records) {
    EXPECT_EQ(r.hooks, expected);
    EXPECT_EQ(r.offThread, 0);
  }
  for (const Job& job : own) EXPECT_TRUE(files.DeltaRebuildsModified(job));
}

// The GUI's pattern for a follow-up: start the next run from the end of the last.
TEST_F(EngineLifetime, SecondRunStartedInsideOnFinishedProcessing) {
  Script script;
  int runs = 0;
  script.onFinished = [&](RecordingEngine& e) {
    if (++runs > 1) return;
    CTarvoTaskArray& entries = *e.GetEntryArrayPtr();
    entries.Empty();
    for (const Job& job : jobs) entries.Add(new CTarvoTaskEntry(job.original.c_str(), job.delta.c_str(), job.rebuilt.c_str()));
    EXPECT_TRUE(e.Reconstruct());
  };
  Record record;
  std::unique_ptr<RecordingEngine> engine(NewEngine(record, script));
  ASSERT_TRUE(engine->Construct());
  ASSERT_TRUE(PumpUntil([&] { return runs == 2; }));
  EXPECT_EQ(std::count(record.hooks.begin(), record.hooks.end(), "start"), 2);
  EXPECT_EQ(std::count(record.hooks.begin(), record.hooks.end(), "finishedfile 2"), 2);
  for (const Job& job : jobs) EXPECT_TRUE(files.RebuiltIsModified(job));
  EXPECT_EQ(engine->GetErrorStatus(), TARVO_OK);
}

}  // namespace
