// One launcher per game directory: the lock, its release and the request
// to come forward.
#include "frontends/posix/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"

namespace frontends::posix {
namespace {

using namespace std::chrono_literals;

TEST(InstanceLock, ASecondStartInTheSameDirectoryFindsItTakenAndAsksTheFirstToComeForward) {
  CurrentTempDir game;
  InstanceLock::Attempt first = InstanceLock::Acquire("farLaunch.lock", 0ms);
  ASSERT_TRUE(first.lock) << first.problem;
  std::atomic<int> requests{0};
  first.lock->ServeRequests([&requests] { ++requests; });

  const InstanceLock::Attempt second = InstanceLock::Acquire("farLaunch.lock", 0ms);
  EXPECT_FALSE(second.lock);
  EXPECT_TRUE(second.heldElsewhere);
  EXPECT_EQ(second.problem, "another farLaunch.exe is running in " + std::filesystem::canonical(".").string());
  // Reached through a link too: the lock follows the real path.
  std::filesystem::create_directory_symlink(game.Path(), game.Path().string() + "-link");
  {
    CurrentDirectory throughTheLink(game.Path().string() + "-link");
    EXPECT_TRUE(InstanceLock::Acquire("farLaunch.lock", 0ms).heldElsewhere);
  }
  std::filesystem::remove(game.Path().string() + "-link");
  for (int i = 0; i < 100 && requests < 2; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(requests, 2);

  // Another game directory has a lock of its own.
  TempDir other;
  {
    CurrentDirectory elsewhere(other.Path());
    EXPECT_TRUE(InstanceLock::Acquire("farLaunch.lock", 0ms).lock);
  }
  first.lock.reset();
  EXPECT_TRUE(InstanceLock::Acquire("farLaunch.lock", 0ms).lock) << "released with its holder";
}

TEST(InstanceLock, TheKernelReleasesItWithAKilledHolderAndAPatientStartTakesItThen) {
  CurrentTempDir game;
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const InstanceLock::Attempt held = InstanceLock::Acquire("farLaunch.lock", 0ms);
    char byte = held.lock ? 1 : 0;
    if (write(ready[1], &byte, 1) != 1) _exit(2);
    pause();
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  ASSERT_EQ(byte, 1);
  EXPECT_TRUE(InstanceLock::Acquire("farLaunch.lock", 0ms).heldElsewhere);

  std::thread killer([holder] {
    std::this_thread::sleep_for(300ms);
    kill(holder, SIGKILL);
  });
  // A restart waits a little for its predecessor to end.
  const InstanceLock::Attempt patient = InstanceLock::Acquire("farLaunch.lock", 5s);
  EXPECT_TRUE(patient.lock) << patient.problem;
  killer.join();
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
}  // namespace frontends::posix
