#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headless/console.h"
#include "platform/headless/posix_system.h"

namespace platform::headless {
namespace {

std::FILE* atExitTrace = nullptr;

TEST(PosixSystem, ExitFlushesOutputAndSkipsExitHandlers) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The death test runs in a fresh process, so the name must not depend on it.
  std::filesystem::path trace = std::filesystem::path(FARLAUNCH_BINARY_DIR) / "posix_system_exit_trace.txt";
  EXPECT_EXIT(
      {
        atExitTrace = std::fopen(trace.c_str(), "w");
        Console console(atExitTrace, true);
        console.ShowStatus("[#] 100%");
        std::fputs("buffered", atExitTrace);
        // Exit handlers and static destructors would run here with exit():
        // a detached worker may still be using what they destroy.
        std::atexit([] { std::fputs(" exit handler ran", atExitTrace); });
        PosixSystem(console).Exit(7);
      },
      testing::ExitedWithCode(7), "");
  std::ifstream in(trace);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "\r\033[K[#] 100%buffered\n");
  std::filesystem::remove(trace);
}

TEST(PosixSystem, FreeBytesOfTheCurrentVolume) {
  std::FILE* out = std::tmpfile();
  Console console(out, false);
  PosixSystem system(console);
  std::uint64_t freeBytes = 0;
  ASSERT_TRUE(system.FreeBytesOfCurrentVolume(freeBytes));
  std::error_code error;
  std::filesystem::space_info space = std::filesystem::space(".", error);
  ASSERT_FALSE(error);
  // The same figure as the standard library's, give or take other writers.
  EXPECT_NEAR(static_cast<double>(freeBytes), static_cast<double>(space.available), 64.0 * 1024 * 1024);
  std::fclose(out);
}

}  // namespace
}  // namespace platform::headless
