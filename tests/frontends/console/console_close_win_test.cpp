// The console events that close a console run, on Windows: Ctrl+C ends Run
// as SIGINT does on Linux.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "frontends/console/console_platform.h"
#include "frontends/console/recording_events.h"

namespace frontends::console {
namespace {

TEST(ConsolePlatform, CtrlCClosesTheWindowAndRunSaysSigint) {
  // The event goes to the processes of a console: this test gets its own.
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleCtrlHandler(nullptr, FALSE);
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  {
    ConsolePlatform platform(936, out);
    RecordingEvents events;
    platform.GetUiThread().RunOnUiThread([] { GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0); });
    // A run the event never reaches still ends, and the test fails.
    std::mutex mutex;
    std::condition_variable ended;
    bool returned = false;
    std::thread watchdog([&] {
      std::unique_lock<std::mutex> lock(mutex);
      if (!ended.wait_for(lock, std::chrono::seconds(30), [&] { return returned; })) platform.RequestClose();
    });

    EXPECT_EQ(platform.Run(events), platform::kClosedBySignal + 2);
    {
      std::lock_guard<std::mutex> lock(mutex);
      returned = true;
    }
    ended.notify_one();
    watchdog.join();
    EXPECT_TRUE(events.log.empty());
  }
  std::fclose(out);
  FreeConsole();
}

}  // namespace
}  // namespace frontends::console
