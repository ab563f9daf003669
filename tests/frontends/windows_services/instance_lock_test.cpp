// One launcher per game directory on Windows: the lock, its release and the
// request to come forward.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/temp_dir.h"

namespace frontends::windows_services {
namespace {

using namespace std::chrono_literals;
using platform::InstanceLock;

TEST(InstanceLock, ASecondStartInTheSameDirectoryFindsItTakenAndAsksTheFirstToComeForward) {
  CurrentTempDir game;
  InstanceLock::Attempt first = InstanceLock::Acquire("farLaunch.lock", 0ms);
  ASSERT_TRUE(first.lock) << first.problem;
  std::atomic<int> requests{0};
  first.lock->ServeRequests([&requests] { ++requests; });

  const InstanceLock::Attempt second = InstanceLock::Acquire("FARLAUNCH.LOCK", 300ms);
  EXPECT_FALSE(second.lock);
  EXPECT_TRUE(second.heldElsewhere);
  EXPECT_EQ(second.problem.rfind("another farLaunch.exe is running in ", 0), 0u) << second.problem;
  for (int i = 0; i < 100 && requests < 1; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(requests, 1);

  // Another game directory has a lock of its own.
  TempDir other;
  {
    CurrentDirectory elsewhere(other.Path());
    EXPECT_TRUE(InstanceLock::Acquire("farLaunch.lock", 0ms).lock);
  }
  // A patient start takes it once its holder lets go.
  std::thread release([&first] {
    std::this_thread::sleep_for(300ms);
    first.lock.reset();
  });
  const InstanceLock::Attempt patient = InstanceLock::Acquire("farLaunch.lock", 5s);
  EXPECT_TRUE(patient.lock) << patient.problem;
  release.join();
}

}  // namespace
}  // namespace frontends::windows_services
