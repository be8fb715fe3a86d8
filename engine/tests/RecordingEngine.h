// An engine that writes down its hooks and runs a test's script in them.
// The record and the script live outside the engine, so that a hook may
// delete it and the test can still read what happened.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "TarvoEngine.h"

namespace enginetest {

class RecordingEngine;

struct Script {
  std::function<void(RecordingEngine&)> onStart, onFinished;
  std::function<void(RecordingEngine&, int)> onStartFile, onFinishedFile, onFileExists;
  std::function<void(RecordingEngine&, int, uint32_t, uint32_t)> onProgress;
  std::function<int(RecordingEngine&, int, E_TARVO_ERROR)> onError;
};

struct Record {
  // "start", "startfile 0", "progress 0" (a series of reports is written
  // once), "exists 1", "finishedfile 0", "error 0 1", "finished", "destroyed".
  std::vector<std::string> hooks;
  struct Progress {
    int entry;
    uint32_t done, total;
  };
  std::vector<Progress> progress;
  int offThread = 0;  // hooks that ran on another thread than the engine's creator
  bool finished = false;
  bool destroyed = false;

  void Note(const std::string& hook) {
    if (hooks.empty() || hooks.back() != hook || hook.rfind("progress", 0) != 0) hooks.push_back(hook);
  }
};

class RecordingEngine : public CTarvoEngine {
 public:
  RecordingEngine(Record& record, const Script& script) : m_record(record), m_script(script) {}
  ~RecordingEngine() override {
    m_record.Note("destroyed");
    m_record.destroyed = true;
  }

  void AddJob(const std::string& reference, const std::string& existing, const std::string& output) {
    m_Entries.Add(new CTarvoTaskEntry(reference.c_str(), existing.c_str(), output.c_str()));
  }
  // A copy of an entry as the GUI fills it, origin of the output included.
  void AddEntry(const CTarvoTaskEntry& entry) { m_Entries.AddCopy(&entry); }
  const Record& GetRecord() const { return m_record; }
  // The only way to refuse one overwrite and still process the entries after
  // it: the refusal needs the cancel flag, which would end the run.
  void WithdrawCancel() { m_bCanceled = false; }
  using CTarvoEngine::ConstructOptions;

 protected:
  void OnStartProcessing() override {
    Hook("start");
    EXPECT_TRUE(IsProcessing());
    EXPECT_TRUE(IsValid());
    EXPECT_EQ(GetCurrentEntry(), -1);
    if (m_script.onStart) m_script.onStart(*this);
  }
  void OnStartFile(int n) override {
    Hook("startfile " + std::to_string(n));
    EXPECT_TRUE(IsProcessing());
    EXPECT_TRUE(IsValid());
    EXPECT_NE(GetTarvoMode(), modeIdle);
    EXPECT_EQ(GetCurrentEntry(), n);
    EXPECT_TRUE(IsMsgHandlerPresent());
    EXPECT_FALSE(Construct()) << "a second run must not start on a running engine";
    if (m_script.onStartFile) m_script.onStartFile(*this, n);
  }
  void OnProgressReport(int n, uint32_t done, uint32_t total) override {
    Hook("progress " + std::to_string(n));
    m_record.progress.push_back({n, done, total});
    if (m_script.onProgress) m_script.onProgress(*this, n, done, total);
  }
  void OnFileExists(int n) override {
    Hook("exists " + std::to_string(n));
    if (m_script.onFileExists) m_script.onFileExists(*this, n);
  }
  void OnFinishedFile(int n) override {
    Hook("finishedfile " + std::to_string(n));
    if (m_script.onFinishedFile) m_script.onFinishedFile(*this, n);
  }
  int OnTarvoError(int n, E_TARVO_ERROR error) override {
    Hook("error " + std::to_string(n) + " " + std::to_string(error));
    return m_script.onError ? m_script.onError(*this, n, error) : 0;
  }
  void OnFinishedProcessing() override {
    Hook("finished");
    EXPECT_FALSE(IsProcessing());
    EXPECT_TRUE(IsValid());
    EXPECT_EQ(GetTarvoMode(), modeIdle);
    EXPECT_EQ(GetCurrentEntry(), -1);
    EXPECT_FALSE(IsMsgHandlerPresent());
    EXPECT_FALSE(IsCanceled());
    m_record.finished = true;
    if (m_script.onFinished) m_script.onFinished(*this);
  }

 private:
  void Hook(const std::string& name) {
    if (std::this_thread::get_id() != m_owner) ++m_record.offThread;
    m_record.Note(name);
  }

  Record& m_record;
  const Script& m_script;
  const std::thread::id m_owner = std::this_thread::get_id();
};

}  // namespace enginetest
