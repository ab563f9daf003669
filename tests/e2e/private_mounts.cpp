#include "e2e/private_mounts.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "support/temp_dir.h"

namespace e2e {
namespace {

std::vector<std::string> Unshare() {
  if (geteuid() == 0) {
    return {"unshare", "--mount", "--propagation", "private"};
  }
  return {"unshare", "--map-root-user", "--mount"};
}

}  // namespace

std::string PrivateMountsUnavailable() {
  const TempDir probe;
  ProcessPlan plan;
  plan.argv = Unshare();
  plan.argv.insert(plan.argv.end(), {"sh", "-c", "mount -t tmpfs -o size=1m tmpfs \"$0\"", probe.Path().string()});
  plan.output = probe.Path().string() + ".log";
  const int status = RunToEnd(plan, std::chrono::seconds(30));
  const std::string log = ReadFile(plan.output);
  std::filesystem::remove(plan.output);
  if (status == 0) {
    return {};
  }
  return "a private mount namespace cannot be made here (" + Unshare().front() + " ended with " +
         std::to_string(status) + ": " + log + ")";
}

ProcessPlan WithPrivateMounts(ProcessPlan plan, const std::string& prepare, const std::string& finish) {
  const std::string script = "set -e\n" + prepare + "\nset +e\n\"$@\"\nstatus=$?\n" + finish + "\nexit $status\n";
  std::vector<std::string> argv = Unshare();
  argv.insert(argv.end(), {"sh", "-c", script, "sh"});
  argv.insert(argv.end(), plan.argv.begin(), plan.argv.end());
  plan.argv = argv;
  return plan;
}

}  // namespace e2e
