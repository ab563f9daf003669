#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <thread>

#include "frontends/console/event_loop.h"
#include "frontends/console/recording_events.h"

namespace frontends::console {
namespace {

TEST(EventLoop, DeliversPostsFromManyThreadsInTheirOrderOnTheRunThread) {
  EventLoop loop;
  RecordingEvents events;
  constexpr int kThreads = 4;
  constexpr int kPerThread = 200;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&loop, &events, t] {
      for (int i = 0; i < kPerThread; ++i) {
        // Messages and tasks of one thread share one order.
        if (i % 2 == 0) {
          loop.PostWindowMessage(0x464, t, i);
        } else {
          loop.RunOnUiThread([&events, t, i] { events.Record("task " + std::to_string(t) + " " + std::to_string(i)); });
        }
      }
    });
  }
  std::thread closer([&] {
    for (std::thread& p : posters) p.join();
    loop.RunOnUiThread([&loop] { loop.RequestClose(); });
  });

  EXPECT_EQ(loop.Run(events), 0);
  closer.join();

  ASSERT_EQ(events.log.size(), static_cast<size_t>(kThreads * kPerThread));
  std::map<int, int> next;
  for (const std::string& entry : events.log) {
    int thread = -1, index = -1;
    if (std::sscanf(entry.c_str(), "message 1124 %d %d", &thread, &index) != 2) {
      ASSERT_EQ(std::sscanf(entry.c_str(), "task %d %d", &thread, &index), 2) << entry;
    }
    EXPECT_EQ(index, next[thread]++) << entry;
  }
  for (std::thread::id id : events.threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(EventLoop, TimersTickByIdAfterQueuedPostsAndStopWhenStopped) {
  EventLoop loop;
  RecordingEvents events;
  int fastTicks = 0;
  int slowTicks = 0;
  events.after = [&](const std::string& event) {
    if (event == "timer 1" && ++fastTicks == 3) loop.StopTimer(1);
    if (event == "timer 2") ++slowTicks;
    if (fastTicks >= 3 && slowTicks >= 3) loop.RequestClose();
  };
  loop.StartTimer(1, 2);
  loop.StartTimer(2, 30);
  loop.PostWindowMessage(7, 0, 0);
  loop.PostWindowMessage(8, 0, 0);

  loop.Run(events);

  // Posted messages come before the first tick; a stopped timer ticks no more.
  ASSERT_GE(events.log.size(), 2u);
  EXPECT_EQ(events.log[0], "message 7 0 0");
  EXPECT_EQ(events.log[1], "message 8 0 0");
  EXPECT_EQ(fastTicks, 3);
  EXPECT_GE(slowTicks, 3);
  EXPECT_EQ(events.log.size(), static_cast<size_t>(2 + fastTicks + slowTicks));
  for (size_t i = 2; i < events.log.size(); ++i) EXPECT_TRUE(events.log[i] == "timer 1" || events.log[i] == "timer 2");
}

TEST(EventLoop, CloseEndsRunAndKeepsTheRestForTheNextRun) {
  EventLoop loop;
  RecordingEvents events;
  loop.RunOnUiThread([&] {
    events.Record("first");
    loop.RequestClose();
  });
  loop.RunOnUiThread([&] { events.Record("second"); });
  loop.StartTimer(1, 1);

  EXPECT_EQ(loop.Run(events), 0);
  EXPECT_EQ(events.log, (std::vector<std::string>{"first"}));

  loop.StopTimer(1);
  loop.RunOnUiThread([&] { loop.RequestClose(); });
  loop.Run(events);
  EXPECT_EQ(events.log, (std::vector<std::string>{"first", "second"}));
}

}  // namespace
}  // namespace frontends::console
