// One launcher per game directory: the lock, its release and the request
// to come forward.
#include "platform/instance_lock.h"

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
using platform::InstanceLock;

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

// A bind mount, another mount or network namespace: the game directory
// under a path of another name. Its lock file is the one file, which a
// hard link stands for here.
TEST(InstanceLock, OneGameDirectoryUnderAnotherPathIsLockedToo) {
  CurrentTempDir game;
  InstanceLock::Attempt first = InstanceLock::Acquire("farLaunch.lock", 0ms);
  ASSERT_TRUE(first.lock) << first.problem;
  TempDir elsewhere;
  std::filesystem::create_hard_link(game.Path() / "farLaunch.lock", elsewhere.Path() / "farLaunch.lock");
  CurrentDirectory otherPath(elsewhere.Path());
  const InstanceLock::Attempt second = InstanceLock::Acquire("farLaunch.lock", 0ms);
  EXPECT_FALSE(second.lock);
  EXPECT_TRUE(second.heldElsewhere);
}

TEST(InstanceLock, AProgramTheHolderStartedDoesNotKeepItAfterTheHolderEnds) {
  CurrentTempDir game;
  int started[2];
  ASSERT_EQ(pipe(started), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const InstanceLock::Attempt held = InstanceLock::Acquire("farLaunch.lock", 0ms);
    // The client (or wine) it starts lives on after it.
    const pid_t client = fork();
    if (client == 0) {
      execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
      _exit(127);
    }
    if (write(started[1], &client, sizeof client) != sizeof client) _exit(2);
    _exit(held.lock ? 0 : 3);
  }
  pid_t client = 0;
  ASSERT_EQ(read(started[0], &client, sizeof client), static_cast<ssize_t>(sizeof client));
  int status = 0;
  waitpid(holder, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // A restart waits a little for its predecessor, not for the client.
  EXPECT_TRUE(InstanceLock::Acquire("farLaunch.lock", 5s).lock) << "the client inherited the lock";
  EXPECT_EQ(kill(client, SIGKILL), 0) << "the client still ran";
  waitpid(client, nullptr, 0);
  close(started[0]);
  close(started[1]);
}

}  // namespace
}  // namespace frontends::posix
