#include "frontends/posix/spawn.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "frontends/posix/owned_fd.h"

namespace frontends::posix {
namespace {

// Reports errno through the pipe and ends the child; async-signal-safe.
[[noreturn]] void FailInChild(int reportFd) {
  int error = errno;
  ssize_t ignored = write(reportFd, &error, sizeof(error));
  (void)ignored;
  _exit(127);
}

}  // namespace

bool SpawnDetached(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
  if (argv.empty()) return false;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  // Built before forking: the child only execs.
  std::vector<char*> variables;
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string entry = *variable;
    const bool replaced = std::any_of(environment.begin(), environment.end(), [&](const std::string& set) {
      return entry.compare(0, set.find('=') + 1, set, 0, set.find('=') + 1) == 0;
    });
    if (!replaced) variables.push_back(*variable);
  }
  for (const std::string& set : environment) variables.push_back(const_cast<char*>(set.c_str()));
  variables.push_back(nullptr);

  // The exec failure of the grandchild comes back through this pipe; a
  // successful exec closes it (close-on-exec) without a word.
  std::optional<Pipe> report = OpenPipe(O_CLOEXEC);
  if (!report) return false;
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    // The child only execs or _exits: no destructor runs here.
    pid_t grandchild = fork();
    if (grandchild < 0) FailInChild(report->write.get());
    if (grandchild > 0) _exit(0);
    execve(args[0], args.data(), variables.data());
    FailInChild(report->write.get());
  }
  // The read end sees its end of file once the last writer (the
  // grandchild, at its exec or exit) has closed its copy.
  report->write.Reset();
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = read(report->read.get(), &error, sizeof(error))) < 0 && errno == EINTR) {
  }
  return got == 0;
}

std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return "";
  std::string dirs = path;
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return "";
}

}  // namespace frontends::posix
