#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <thread>

namespace fake {
namespace {

class LoggingEvents : public WindowEvents {
 public:
  void OnTimer(int timerId) override { log.push_back("timer " + std::to_string(timerId)); }
  void OnMessage(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) override {
    log.push_back("message " + std::to_string(message) + " " + std::to_string(lParam));
  }
  void OnCommand(int) override {}
  void OnPageDownloadComplete() override {}
  void OnPageNavigateComplete() override {}
  std::vector<std::string> log;
};

TEST(FakeUiThread, DeliversMessagesAndTasksInPostingOrderIncludingFollowUps) {
  FakePlatform platform;
  LoggingEvents events;
  platform.uiThread.PostWindowMessage(1124, 0, 10);
  platform.uiThread.RunOnUiThread([&] {
    events.log.push_back("task");
    platform.uiThread.PostWindowMessage(1124, 0, 30);  // posted while delivering
  });
  platform.uiThread.PostWindowMessage(1124, 0, 20);
  ASSERT_EQ(platform.uiThread.PendingMessages().size(), 2u);

  EXPECT_EQ(platform.uiThread.DeliverPosted(events), 4);
  EXPECT_EQ(events.log, (std::vector<std::string>{"message 1124 10", "task", "message 1124 20", "message 1124 30"}));

  EXPECT_FALSE(platform.uiThread.FireTimer(events, 1));
  platform.uiThread.StartTimer(1, 100);
  EXPECT_TRUE(platform.uiThread.FireTimer(events, 1));
  EXPECT_EQ(events.log.back(), "timer 1");
}

TEST(FakeDialogs, AnswersWorkersFromTheScriptThenTheDefault) {
  FakePlatform platform;
  platform.dialogs.ScriptAnswers({false, true});
  platform.dialogs.SetDefaultAnswer(false);
  std::vector<bool> answers;
  std::thread worker([&] {
    platform.dialogs.ShowMessage("fatal");
    for (int i = 0; i < 3; ++i) answers.push_back(platform.dialogs.AskOkCancel("close?"));
  });
  ASSERT_TRUE(platform.dialogs.WaitForBoxes(4));
  worker.join();
  EXPECT_EQ(answers, (std::vector<bool>{false, true, false}));
  std::vector<Box> boxes = platform.dialogs.Boxes();
  EXPECT_EQ(boxes[0].kind, BoxKind::Message);
  EXPECT_EQ(boxes[0].text, "fatal");
  EXPECT_EQ(boxes[2].kind, BoxKind::OkCancel);
  EXPECT_TRUE(boxes[2].answer);
}

TEST(FakeDialogs, WorkerBoxesCanBeShownOnTheUiThreadOnly) {
  FakePlatform platform;
  LoggingEvents events;
  platform.dialogs.ServeWorkerBoxesOn(platform.uiThread);
  platform.dialogs.ScriptAnswers({false});
  bool answer = true;
  std::thread worker([&] { answer = platform.dialogs.AskOkCancel("close?"); });
  ASSERT_TRUE(platform.uiThread.WaitForPending(1));
  EXPECT_TRUE(platform.dialogs.Boxes().empty()) << "the box waits for the UI thread";
  platform.uiThread.DeliverPosted(events);
  worker.join();
  EXPECT_FALSE(answer);
  EXPECT_EQ(platform.dialogs.UnservedBoxes(), 0);
  platform.dialogs.ShowMessage("on the UI thread itself");
  EXPECT_EQ(platform.dialogs.Boxes().size(), 2u);
}

TEST(FakeSystem, ExitFromAWorkerIsRecordedAndThrown) {
  FakePlatform platform;
  std::thread worker([&] {
    try {
      platform.system.Exit(3);
    } catch (const platform::ExitRequested& exit) {
      EXPECT_EQ(exit.code, 3);
    }
  });
  EXPECT_EQ(platform.system.WaitForExit(), 3);
  worker.join();
  EXPECT_THROW(platform.system.Exit(0), platform::ExitRequested);
  EXPECT_EQ(platform.system.ExitCodes(), (std::vector<int>{3, 0}));
}

}  // namespace
}  // namespace fake
