// farLaunch.exe: the launcher runs in the game directory (its current
// directory), in a window when one can be shown and on the console
// otherwise. On Linux the window front end is a module loaded only for the
// window; what differs per platform is behind app/host.h.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/cfarlaunch_app.h"
#include "app/host.h"
#include "app/launch_options.h"
#include "app/uninstall_command.h"
#include "app/verify_command.h"
#include "base/text/ox_unicode.h"
#include "frontends/console/console_platform.h"
#include "platform/instance_lock.h"
#include "update/site/game_files.h"

namespace {

// A console run reports a failure end in its exit status; the window keeps 0.
constexpr int kConsoleFailureExitCode = 1;
constexpr int kUsageExitCode = 2;
// How long a start waits for the launcher running in the same game
// directory to end: a restart after a self-update or a cleared cache
// follows its predecessor within moments.
constexpr std::chrono::seconds kLockPatience{5};

std::unique_ptr<platform::Platform> MakeWindowPlatform() {
  if (!host::WindowPossible()) {
    return nullptr;
  }
  std::string error;
  std::unique_ptr<platform::Platform> platform = host::MakeWindowPlatform(error);
  if (!platform) {
    std::fprintf(stderr, "farLaunch.exe: %s; running on the console\n", error.c_str());
  }
  return platform;
}

}  // namespace

int main(int argc, char** argv) {
  host::UseParentConsole();
  LaunchOptions options;
  std::string error;
  if (!ParseLaunchOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "farLaunch.exe: %s\n%s", error.c_str(), UsageText());
    return kUsageExitCode;
  }
  if (options.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("farLaunch.exe %s\n", FARLAUNCH_VERSION);
    return 0;
  }

  // Two launchers in one game directory would download into the same files
  // and move the same originals aside: a second start leaves everything to
  // the first, which it has asked to come forward.
  const platform::InstanceLock::Attempt guard = platform::InstanceLock::Acquire(kInstanceLockFile, kLockPatience);
  if (guard.heldElsewhere) {
    std::fprintf(stderr, "farLaunch.exe: %s\n", guard.problem.c_str());
    return options.headless || options.verify || options.repair || options.uninstall || !host::WindowPossible()
               ? kConsoleFailureExitCode
               : 0;
  }
  if (!guard.lock) {
    // A system without the means to guard still gets its update.
    std::fprintf(stderr, "farLaunch.exe: %s; running unguarded\n", guard.problem.c_str());
  }
  if (options.uninstall) {
    return RunUninstallCommand(stdout, stderr);
  }

  EndPolicy ends;
  if (options.verify) {
    const std::optional<int> status = RunVerifyCommand(stdout, stderr);
    if (status) return *status;
    ends.verifyFromSite = [] { return VerifyAgainstFetchedManifest(stdout, stderr); };
    options.headless = true;
    options.exitOnFinish = true;
  }
  if (options.repair) {
    const std::optional<RepairStart> start = FindFilesToRepair(stdout, stderr);
    if (!start) return kConsoleFailureExitCode;
    if (start->names.empty() && !start->withoutManifest) return 0;
    ends.repair = start->names;
    options.headless = true;
    options.exitOnFinish = true;
  }
  ends.exitOnFinish = options.exitOnFinish;
  ends.restartParameters = RestartParameters(options);
  std::unique_ptr<platform::Platform> platform;
  ox_base::SmartPtr<ox_base::OxLogOutput> failureEcho;
  if (!options.headless) {
    platform = MakeWindowPlatform();
  }
  if (!platform) {
    auto console = std::make_unique<frontends::console::ConsolePlatform>(ox_base::kLauncherCodePage);
    failureEcho = console->FailureEcho();
    platform = std::move(console);
    ends.failureExitCode = kConsoleFailureExitCode;
  }
  platform::Platform& running = *platform;
  if (guard.lock) {
    guard.lock->ServeRequests([&running] {
      running.GetUiThread().RunOnUiThread([&running] { running.GetWindow().BringToFront(); });
    });
  }
  CfarLaunchApp(running, ends, failureEcho).InitInstance();
}
