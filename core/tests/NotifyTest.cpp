#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeltaFile.h"
#include "TarvoCore.h"
#include "TestSupport.h"
#include "platform/MessageWindow.h"

using namespace testsupport;

namespace {

// A host that records every event and answers from a script.
struct Host {
  std::vector<SeenEvent> events;
  int32_t answerExists = 0;
  int32_t answerFirstAndLast = 0;
  size_t cancelAtCheckpoint = 0;  // 1-based; 0 never
  uintptr_t userValue = 0;

  int32_t Answer(const TypeNotifyEvent& e) {
    events.emplace_back(e);
    if (e.nKind == TARVO_EVENT_FILE_EXISTS) return answerExists;
    if (e.dwDone == 0 || e.dwDone == e.dwTotal) return answerFirstAndLast;
    return cancelAtCheckpoint != 0 && Checkpoints() >= cancelAtCheckpoint;
  }
  size_t Checkpoints() const {
    size_t n = 0;
    for (const auto& e : events) n += e.kind == TARVO_EVENT_PROGRESS && e.done != 0 && e.done != e.total;
    return n;
  }
};

Host* g_host = nullptr;

int32_t HostFunction(TypeNotifyEvent* e, uintptr_t user) {
  g_host->userValue = user;
  return g_host->Answer(*e);
}

// Same-thread window: the message is handled inside Send.
class RecordingWindow final : public platform::IMessageWindow {
 public:
  intptr_t Send(uint32_t m, uintptr_t w, intptr_t l) override {
    message = m;
    wParam = w;
    return host.Answer(*reinterpret_cast<TypeNotifyEvent*>(l));
  }
  Host host;
  uint32_t message = 0;
  uintptr_t wParam = 0;
};

class Notify : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 rng(21);
    original = RandomBytes(rng, 100000, 8);
    WriteFile(orig, original);
    WriteFile(mod, Mutate(rng, original, 100, 8));
    g_host = &host;
  }
  S_TARVO_NOTIFY_INFO FunctionTarget(uintptr_t user) {
    S_TARVO_NOTIFY_INFO n{};
    n.dwMethod = TARVO_NOTIFY_FUNCTION;
    n.pfnNotify = HostFunction;
    n.nMessage = user;
    return n;
  }
  E_TARVO_ERROR Build(const S_TARVO_NOTIFY_INFO* n, const S_TARVO_CONSTRUCT_OPTIONS* o = nullptr) {
    return ConstructDeltaFile(orig.c_str(), mod.c_str(), delta.c_str(), n, o);
  }

  Sandbox box;
  Bytes original;
  std::string orig = box.Path("o"), mod = box.Path("m"), delta = box.Path("d.mvr");
  Host host;
};

TEST_F(Notify, ProgressRunsFromZeroToTotalInOrder) {
  const auto n = FunctionTarget(0);
  ASSERT_EQ(Build(&n), TARVO_OK);
  ASSERT_GE(host.events.size(), 3u);
  const uint32_t total = static_cast<uint32_t>(ReadFile(mod).size());
  EXPECT_EQ(host.events.front().done, 0u);
  EXPECT_EQ(host.events.back().done, total);
  for (size_t i = 0; i < host.events.size(); ++i) {
    EXPECT_EQ(host.events[i].kind, TARVO_EVENT_PROGRESS);
    EXPECT_EQ(host.events[i].name, mod);
    EXPECT_EQ(host.events[i].total, total);
    if (i > 0) {
      EXPECT_GT(host.events[i].done, host.events[i - 1].done);
    }
  }
  // About one report per 1/128 of the file.
  EXPECT_NEAR(static_cast<double>(host.Checkpoints()), 128.0, 8.0);
}

TEST_F(Notify, UserValueArrivesUnchanged) {
  for (uintptr_t user : {uintptr_t{0}, uintptr_t{0xDEADBEEF}}) {
    host.userValue = 12345;
    const auto n = FunctionTarget(user);
    ASSERT_EQ(Build(&n), TARVO_OK);
    EXPECT_EQ(host.userValue, user);
  }
}

TEST_F(Notify, AnswersToFirstAndLastReportAreIgnored) {
  host.answerFirstAndLast = 1;
  const auto n = FunctionTarget(0);
  EXPECT_EQ(Build(&n), TARVO_OK);
}

TEST_F(Notify, CancelAtACheckpointRemovesEverything) {
  host.cancelAtCheckpoint = 5;
  const auto n = FunctionTarget(0);
  EXPECT_EQ(Build(&n), TARVO_ERR_CANCELLED);
  EXPECT_FALSE(Exists(delta));
  EXPECT_TRUE(box.TempFilesLeft().empty());
  EXPECT_EQ(host.Checkpoints(), 5u);
}

TEST_F(Notify, OverwriteQuestion) {
  const Bytes old{'o', 'l', 'd'};
  const auto fn = FunctionTarget(0);
  S_TARVO_CONSTRUCT_OPTIONS quiet{20, 43, 1, 1, 0, 0, 0};
  struct Case {
    const char* name;
    const S_TARVO_NOTIFY_INFO* target;
    const S_TARVO_CONSTRUCT_OPTIONS* options;
    int32_t answer;
    E_TARVO_ERROR result;
    bool asked;
  };
  const Case cases[] = {
      {"refused", &fn, nullptr, 1, TARVO_ERR_OVERWRITE_REFUSED, true},
      {"allowed", &fn, nullptr, 0, TARVO_OK, true},
      {"not asked when off", &fn, &quiet, 1, TARVO_OK, false},
      {"no host overwrites", nullptr, nullptr, 1, TARVO_OK, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(delta, old);
    host = Host{};
    host.answerExists = c.answer;
    EXPECT_EQ(Build(c.target, c.options), c.result);
    const bool asked = !host.events.empty() && host.events.front().kind == TARVO_EVENT_FILE_EXISTS;
    EXPECT_EQ(asked, c.asked);
    if (asked) {
      EXPECT_EQ(host.events.front().name, delta);
    }
    EXPECT_EQ(ReadFile(delta) == old, c.result == TARVO_ERR_OVERWRITE_REFUSED);
  }
}

TEST_F(Notify, WindowMessagesCarryTheEvent) {
  RecordingWindow window;
  S_TARVO_NOTIFY_INFO n{};
  n.dwMethod = TARVO_NOTIFY_WINDOW;
  n.hWnd = &window;
  n.nMessage = platform::kWmUser + 101;
  n.wParam = 7;
  window.host.cancelAtCheckpoint = 2;
  EXPECT_EQ(Build(&n), TARVO_ERR_CANCELLED);
  EXPECT_EQ(window.message, 0x465u);
  EXPECT_EQ(window.wParam, 7u);
  EXPECT_EQ(window.host.Checkpoints(), 2u);
  EXPECT_EQ(window.host.events.front().name, mod);
}

}  // namespace
