// The signals that close a console run, on Linux.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

#include "frontends/console/console_platform.h"
#include "frontends/console/recording_events.h"

namespace frontends::console {
namespace {

TEST(ConsolePlatform, InterruptOrTerminateClosesTheWindowAndRunSaysWhichSignal) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  for (int signal : {SIGINT, SIGTERM}) {
    ConsolePlatform platform(936, out);
    RecordingEvents events;
    platform.GetUiThread().RunOnUiThread([signal] { std::raise(signal); });
    platform.GetUiThread().RunOnUiThread([&] { events.Record("after the signal"); });

    EXPECT_EQ(platform.Run(events), platform::kClosedBySignal + signal);
    EXPECT_TRUE(events.log.empty());
    // Outside Run the signal has its usual effect again.
    struct sigaction now {};
    sigaction(signal, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
  }
  std::fclose(out);
}

}  // namespace
}  // namespace frontends::console
