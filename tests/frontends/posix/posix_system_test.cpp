#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "frontends/posix/posix_system.h"
#include "support/temp_dir.h"

namespace frontends::posix {
namespace {

std::FILE* atExitTrace = nullptr;

TEST(PosixSystem, ExitFlushesOutputAndSkipsExitHandlers) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The death test runs in a fresh process, so the name must not depend on it.
  std::filesystem::path trace = std::filesystem::path(FARLAUNCH_BINARY_DIR) / "posix_system_exit_trace.txt";
  EXPECT_EXIT(
      {
        atExitTrace = std::fopen(trace.c_str(), "w");
        std::fputs("buffered", atExitTrace);
        // Exit handlers and static destructors would run here with exit():
        // a detached worker may still be using what they destroy.
        std::atexit([] { std::fputs(" exit handler ran", atExitTrace); });
        PosixSystem([] { std::fputs(" before exit", atExitTrace); }).Exit(7);
      },
      testing::ExitedWithCode(7), "");
  EXPECT_EQ(ReadFile(trace), "buffered before exit");
  std::filesystem::remove(trace);
}

TEST(PosixSystem, FreeBytesOfTheCurrentVolume) {
  PosixSystem system;
  std::uint64_t freeBytes = 0;
  ASSERT_TRUE(system.FreeBytesOfCurrentVolume(freeBytes));
  std::error_code error;
  std::filesystem::space_info space = std::filesystem::space(".", error);
  ASSERT_FALSE(error);
  // The same figure as the standard library's, give or take other writers.
  EXPECT_NEAR(static_cast<double>(freeBytes), static_cast<double>(space.available), 64.0 * 1024 * 1024);
}

}  // namespace
}  // namespace frontends::posix
