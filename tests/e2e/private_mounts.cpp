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
  ProcessSpec spec;
  spec.argv = Unshare();
  spec.argv.insert(spec.argv.end(), {"sh", "-c", "mount -t tmpfs -o size=1m tmpfs \"$0\"", probe.Path().string()});
  spec.output = probe.Path().string() + ".log";
  const int status = RunToEnd(spec, std::chrono::seconds(30));
  const std::string log = ReadFile(spec.output);
  std::filesystem::remove(spec.output);
  if (status == 0) {
    return {};
  }
  return "a private mount namespace cannot be made here (" + Unshare().front() + " ended with " +
         std::to_string(status) + ": " + log + ")";
}

ProcessSpec WithPrivateMounts(ProcessSpec spec, const std::string& prepare, const std::string& finish) {
  const std::string script = "set -e\n" + prepare + "\nset +e\n\"$@\"\nstatus=$?\n" + finish + "\nexit $status\n";
  std::vector<std::string> argv = Unshare();
  argv.insert(argv.end(), {"sh", "-c", script, "sh"});
  argv.insert(argv.end(), spec.argv.begin(), spec.argv.end());
  spec.argv = argv;
  return spec;
}

}  // namespace e2e
