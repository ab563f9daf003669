#pragma once
// A program started by a test: its own working directory and environment,
// standard output and error into one file, waited for with a time limit.
// A process still running when the object goes away is killed.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct ProcessPlan {
  std::vector<std::string> argv;  // argv[0] is run as given (a path, or searched in PATH)
  std::filesystem::path workingDirectory;
  // Set these variables; an empty optional removes the variable.
  std::map<std::string, std::optional<std::string>> environment;
  std::filesystem::path output = "/dev/null";  // replaced if it exists
};

class ChildProcess {
 public:
  explicit ChildProcess(const ProcessPlan& plan);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running();
  // The exit status (128 + signal for a killed process), or none when the
  // process is still running after `limit`.
  std::optional<int> WaitForExit(std::chrono::milliseconds limit);
  void Signal(int signal);

 private:
  bool Reap(bool block);

  pid_t pid_ = -1;
  std::optional<int> status_;
};

// Runs a program to its end and returns its exit status (-1 when it did not
// end within `limit`; it is killed then).
int RunToEnd(const ProcessPlan& plan, std::chrono::milliseconds limit);

// Kills every process whose current directory is `directory` or lies below
// it: what a test's launcher left running (a restarted launcher, a client).
void KillProcessesWorkingIn(const std::filesystem::path& directory);

}  // namespace e2e
