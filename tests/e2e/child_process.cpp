#include "e2e/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {
namespace {

std::vector<std::string> EnvironmentFor(const ProcessPlan& plan) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (plan.environment.count(text.substr(0, text.find('='))) == 0) {
      result.push_back(text);
    }
  }
  for (const auto& [name, value] : plan.environment) {
    if (value) {
      result.push_back(name + "=" + *value);
    }
  }
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) {
    result.push_back(text.data());
  }
  result.push_back(nullptr);
  return result;
}

}  // namespace

ChildProcess::ChildProcess(const ProcessPlan& plan) {
  // Everything the child needs is prepared before fork: between fork and
  // exec only async-signal-safe calls are allowed.
  std::vector<std::string> argvTexts = plan.argv;
  std::vector<std::string> envTexts = EnvironmentFor(plan);
  std::vector<char*> argv = Pointers(argvTexts);
  std::vector<char*> envp = Pointers(envTexts);
  const std::string directory = plan.workingDirectory.string();
  const std::string output = plan.output.string();

  pid_ = fork();
  if (pid_ < 0) {
    throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  }
  if (pid_ == 0) {
    // A test killed by its time limit takes its programs with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0 ||
        (!directory.empty() && chdir(directory.c_str()) != 0)) {
      _exit(127);
    }
    execvpe(argv[0], argv.data(), envp.data());
    _exit(127);
  }
}

ChildProcess::~ChildProcess() {
  if (Running()) {
    Signal(SIGKILL);
    Reap(true);
  }
}

bool ChildProcess::Reap(bool block) {
  if (status_) {
    return true;
  }
  int raw = 0;
  const pid_t done = waitpid(pid_, &raw, block ? 0 : WNOHANG);
  if (done != pid_) {
    return false;
  }
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return true;
}

bool ChildProcess::Running() { return !Reap(false); }

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!Reap(false)) {
    if (std::chrono::steady_clock::now() > end) {
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return status_;
}

void ChildProcess::Signal(int signal) {
  if (!status_) {
    kill(pid_, signal);
  }
}

int RunToEnd(const ProcessPlan& plan, std::chrono::milliseconds limit) {
  ChildProcess process(plan);
  return process.WaitForExit(limit).value_or(-1);
}

void KillProcessesWorkingIn(const std::filesystem::path& directory) {
  const std::string root = std::filesystem::weakly_canonical(directory).string();
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    std::error_code gone;
    const std::string cwd = std::filesystem::read_symlink(entry.path() / "cwd", gone).string();
    if (!gone && (cwd == root || cwd.rfind(root + "/", 0) == 0)) {
      kill(static_cast<pid_t>(std::stol(name)), SIGKILL);
    }
  }
}

}  // namespace e2e
