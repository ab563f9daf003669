#pragma once
// The pieces of an end-to-end run: a scratch folder, the demo publisher
// site (demo/server.py built by scripts/demo-site) on loopback, optionally
// the FTP peer for crash dumps, and a game directory holding updatecfg.xml,
// farLaunch.exe and the stand-in client.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "e2e/child_process.h"
#include "support/game_directory.h"
#include "support/temp_dir.h"

namespace e2e {

using namespace std::chrono_literals;

// Generous: the machine running the suite may be busy with other builds.
constexpr std::chrono::milliseconds kPatience = 180s;

// Checks `done` every 100 ms until it holds or `limit` has passed.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kPatience);

// A fresh folder under the system's temporary directory. When it goes away,
// every process still working in it is killed and the folder removed.
class Scratch : public TempDir {
 public:
  ~Scratch();
};

struct SiteOptions {
  std::optional<int> ftpPort;  // where the documents send crash dumps
  bool large = false;          // also the slow 32 MiB patch (servercfg-slow.xml)
  bool launcher = false;       // also the new launcher's 0004 (servercfg-launcher.xml)
};

// demo/server.py serving a site built by scripts/demo-site in `folder`.
class DemoSite {
 public:
  DemoSite(const std::filesystem::path& folder, const SiteOptions& options = {});
  std::string Url(const std::string& path) const;
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<ChildProcess> server_;
  int port_ = 0;
};

// The game directory, `Path()`, in which farLaunch.exe runs.
class GameDirectory : public ::GameDirectory {
 public:
  using ::GameDirectory::GameDirectory;

  // updatecfg.xml (stored form) at version 1.0.1, package code `packageCode`,
  // reading its server document from `serverDocumentUrl`.
  void WriteVersionDocument(const std::string& serverDocumentUrl, const std::string& packageCode = "0001",
                            const std::string& loginServer = "0");
  // farLaunch.exe as installed; `marker` is appended (the program ignores
  // trailing bytes) so a replaced launcher can be told apart.
  void AddLauncher(const std::string& marker = "");
  // The installed window module, beside the launcher: what a window run
  // needs besides the program.
  void AddWindowModule();
  // The demo's stand-in client.exe, which writes its argument to
  // client-args.txt.
  void AddClient();
  // The demo publisher's public key as publisher.pub: the update is then
  // verified against the demo site's signatures and hashes.
  void AddPublisherKey();

  // The game's files (name -> content), without the launcher's own
  // (`launcherOwn`) and what it staged.
  std::map<std::string, std::string> GameFiles(const std::set<std::string>& launcherOwn) const;

  // The keys `farcfg read` prints for updatecfg.xml (Key=value lines).
  std::map<std::string, std::string> InstalledVersion() const;

  // How to start ./farLaunch.exe here with `arguments`; without a display
  // unless `display` is given. Its console output goes to `output`.
  ProcessPlan Launcher(const std::vector<std::string>& arguments, const std::filesystem::path& output,
                       const std::optional<std::string>& display = std::nullopt) const;
  // The same for a Windows farLaunch.exe: through wine (in the prefix the
  // environment names), in a locale whose code page is 936.
  ProcessPlan WineLauncher(const std::vector<std::string>& arguments, const std::filesystem::path& output,
                           const std::optional<std::string>& display = std::nullopt) const;
};

}  // namespace e2e
