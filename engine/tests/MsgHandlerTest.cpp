// The hidden window as the core sees it: sends from the owning thread and
// from others, early answers, and answers once the window is gone.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "EventLoop.h"
#include "TarvoMsgHandler.h"

using namespace enginetest;

namespace {

constexpr uint32_t kEcho = platform::kWmUser + 200;

// A handler with one message of its own and notification hooks that write down
// where they ran.
class TestHandler : public CTarvoMsgHandler {
 public:
  platform::IMessageWindow* Window() { return GetNotifyInfoPtr()->hWnd; }
  const S_TARVO_NOTIFY_INFO& Target() { return *GetNotifyInfoPtr(); }

  std::function<intptr_t(TestHandler&, uintptr_t, intptr_t)> onEcho;
  std::vector<std::string> calls;
  std::vector<std::thread::id> threads;

 protected:
  const MessageMap* GetMessageMap() const override { return &testMap; }
  intptr_t OnEcho(uintptr_t wParam, intptr_t lParam) {
    Note("echo");
    return onEcho ? onEcho(*this, wParam, lParam) : static_cast<intptr_t>(wParam) + lParam;
  }
  void OnNotifyProgressReport(const char* name, uint32_t done, uint32_t total) override {
    Note(std::string("progress ") + name + " " + std::to_string(done) + "/" + std::to_string(total));
  }
  void OnNotifyFileExists(const char* name) override { Note(std::string("exists ") + name); }

 private:
  void Note(const std::string& call) {
    calls.push_back(call);
    threads.push_back(std::this_thread::get_id());
  }
  static const MessageMapEntry testEntries[];
  static const MessageMap testMap;
};

const CTarvoMsgHandler::MessageMapEntry TestHandler::testEntries[] = {
    {kEcho, static_cast<MessageHandlerFn>(&TestHandler::OnEcho)}};
const CTarvoMsgHandler::MessageMap TestHandler::testMap = {&CTarvoMsgHandler::messageMap, testEntries, 1};

// Sends from a thread of its own; the owner pumps events until it is done.
intptr_t SendFromOtherThread(platform::IMessageWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  std::atomic<bool> done{false};
  intptr_t reply = -1;
  std::thread sender([&] {
    reply = window->Send(message, wParam, lParam);
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
  sender.join();
  return reply;
}

TEST(MsgHandler, IsTheCoresNotificationTarget) {
  TestHandler handler;
  EXPECT_EQ(handler.Window(), nullptr);
  ASSERT_TRUE(handler.CreateMsgHandler());
  EXPECT_FALSE(handler.CreateMsgHandler()) << "one window at a time";
  const S_TARVO_NOTIFY_INFO& target = handler.Target();
  EXPECT_EQ(target.dwMethod, TARVO_NOTIFY_WINDOW);
  EXPECT_NE(target.hWnd, nullptr);
  EXPECT_EQ(target.nMessage, 1125u);
  EXPECT_EQ(target.wParam, 0u);
  EXPECT_TRUE(handler.DestroyMsgHandler());
  EXPECT_FALSE(handler.IsMsgHandlerPresent());
  EXPECT_TRUE(handler.CreateMsgHandler());
}

struct Delivery {
  const char* name;
  uint32_t message;
  int32_t kind;  // -1: no event at all (lParam 0)
  bool canceled;
  intptr_t reply;
  std::vector<std::string> calls;
};

void PrintTo(const Delivery& d, std::ostream* os) { *os << d.name; }

const Delivery kDeliveries[] = {
    {"Progress", WM_TARVO_NOTIFY, TARVO_EVENT_PROGRESS, false, 0, {"progress f.bin 3/9"}},
    {"ProgressWhileCanceled", WM_TARVO_NOTIFY, TARVO_EVENT_PROGRESS, true, 1, {"progress f.bin 3/9"}},
    {"FileExists", WM_TARVO_NOTIFY, TARVO_EVENT_FILE_EXISTS, false, 0, {"exists f.bin"}},
    {"FileExistsWhileCanceled", WM_TARVO_NOTIFY, TARVO_EVENT_FILE_EXISTS, true, 1, {"exists f.bin"}},
    {"UnknownKind", WM_TARVO_NOTIFY, 7, true, 1, {}},
    {"NoEvent", WM_TARVO_NOTIFY, -1, false, 0, {}},
    {"DerivedMapEntry", kEcho, -1, false, 40, {"echo"}},
    {"UnmappedMessage", platform::kWmUser + 300, -1, true, 0, {}},
};

class MsgHandlerDelivery : public ::testing::TestWithParam<Delivery> {};

TEST_P(MsgHandlerDelivery, ReachesTheOwnerThreadFromAnyThread) {
  const Delivery& d = GetParam();
  for (const bool fromOwner : {true, false}) {
    SCOPED_TRACE(fromOwner ? "sent by the owner" : "sent by another thread");
    TestHandler handler;
    ASSERT_TRUE(handler.CreateMsgHandler());
    if (d.canceled) handler.CancelProcessing();
    TypeNotifyEvent event{d.kind, "f.bin", 3, 9};
    const intptr_t lParam = d.kind < 0 ? (d.message == kEcho ? 33 : 0) : reinterpret_cast<intptr_t>(&event);
    const uintptr_t wParam = d.message == kEcho ? 7 : 0;
    // The owner's own send runs the handler at once, without an event loop.
    const intptr_t reply = fromOwner ? handler.Window()->Send(d.message, wParam, lParam)
                                     : SendFromOtherThread(handler.Window(), d.message, wParam, lParam);
    EXPECT_EQ(reply, d.reply);
    EXPECT_EQ(handler.calls, d.calls);
    for (const auto& id : handler.threads) EXPECT_EQ(id, std::this_thread::get_id());
  }
}

INSTANTIATE_TEST_SUITE_P(Messages, MsgHandlerDelivery, ::testing::ValuesIn(kDeliveries),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MsgHandler, EarlyAnswerLetsTheSenderGoOnWhileTheHandlerRuns) {
  TestHandler handler;
  ASSERT_TRUE(handler.CreateMsgHandler());
  std::atomic<bool> answered{false};
  bool senderWentOnDuringHandler = false;
  handler.onEcho = [&](TestHandler& h, uintptr_t, intptr_t) -> intptr_t {
    h.ResumeProcessing();
    senderWentOnDuringHandler = PumpUntil([&] { return answered.load(); });
    return 99;  // too late: the sender has its answer
  };
  intptr_t reply = -1;
  std::thread sender([&] {
    reply = handler.Window()->Send(kEcho, 1, 2);
    answered = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return answered.load() && !handler.calls.empty(); }));
  sender.join();
  EXPECT_TRUE(senderWentOnDuringHandler);
  EXPECT_EQ(reply, 0);
}

TEST(MsgHandler, EarlyAnswerDoesNothingForTheOwnersOwnSend) {
  TestHandler handler;
  ASSERT_TRUE(handler.CreateMsgHandler());
  handler.onEcho = [](TestHandler& h, uintptr_t, intptr_t) -> intptr_t {
    h.ResumeProcessing();
    return 5;
  };
  EXPECT_EQ(handler.Window()->Send(kEcho, 0, 0), 5);
}

// A window that goes while its handler runs answers "cancel", and so does every later send.
struct Removal {
  const char* name;
  bool deleteObject;  // else DestroyMsgHandler
};

void PrintTo(const Removal& r, std::ostream* os) { *os << r.name; }

class MsgHandlerRemoved : public ::testing::TestWithParam<Removal> {};

TEST_P(MsgHandlerRemoved, AnswersCancelToTheWaitingAndToLaterSenders) {
  auto* handler = new TestHandler;
  ASSERT_TRUE(handler->CreateMsgHandler());
  platform::IMessageWindow* window = handler->Window();
  const bool deleteObject = GetParam().deleteObject;
  int handled = 0;
  handler->onEcho = [&](TestHandler& h, uintptr_t, intptr_t) -> intptr_t {
    ++handled;
    if (deleteObject) delete &h;
    else h.DestroyMsgHandler();
    return 0;
  };
  EXPECT_EQ(SendFromOtherThread(window, kEcho, 0, 0), 1);
  EXPECT_EQ(handled, 1);
  if (!deleteObject) {
    // The destroyed window is still the target until the next one is made:
    // a core call still running on it hears "cancel" at once.
    EXPECT_EQ(SendFromOtherThread(window, kEcho, 0, 0), 1);
    EXPECT_EQ(window->Send(kEcho, 0, 0), 1);
    EXPECT_EQ(handled, 1);
    delete handler;
  }
}

INSTANTIATE_TEST_SUITE_P(Removals, MsgHandlerRemoved,
                         ::testing::Values(Removal{"Destroyed", false}, Removal{"Deleted", true}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
