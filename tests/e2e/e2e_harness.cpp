#include "e2e/e2e_harness.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {
namespace fs = std::filesystem;

namespace {

const fs::path kSource = FARLAUNCH_SOURCE_DIR;
// The launcher as `cmake --install` lays it out.
const fs::path kInstalled = E2E_INSTALL_DIR;
const fs::path kLauncher = kInstalled / "farLaunch.exe";
const fs::path kWindowModules[] = {kInstalled / E2E_WINDOW_MODULE, kInstalled / E2E_WEB_MODULE};
const fs::path kFarcfg = kInstalled / "tools/farcfg";

// Proxies configured on the machine must not sit between the launcher (or
// its web engine) and the loopback peers.
const char* const kNoProxy = "127.0.0.1,localhost";

}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

Scratch::~Scratch() { KillProcessesWorkingIn(Path()); }

DemoSite::DemoSite(const fs::path& folder, const SiteOptions& options) : folder_(folder) {
  fs::create_directories(folder_);
  const fs::path portFile = folder_.string() + ".port";
  server_ = std::make_unique<ChildProcess>(ProcessPlan{
      {"/usr/bin/python3", (kSource / "demo/server.py").string(), folder_.string(), portFile.string()},
      {},
      {},
      folder_.string() + ".log"});
  if (!WaitUntil([&] { return fs::exists(portFile) || !server_->Running(); }, 60s) || !fs::exists(portFile)) {
    throw std::runtime_error("the demo site did not start; see " + folder_.string() + ".log");
  }
  port_ = std::stoi(ReadFile(portFile));

  std::vector<std::string> build = {"bash", (kSource / "scripts/demo-site").string()};
  if (options.ftpPort) {
    build.insert(build.end(), {"--ftp-port", std::to_string(*options.ftpPort)});
  }
  if (options.large) {
    build.push_back("--large");
  }
  if (options.launcher) {
    build.push_back("--launcher");
  }
  build.insert(build.end(), {folder_.string(), std::to_string(port_), kLauncher.string()});
  const fs::path log = folder_.string() + "-build.log";
  if (RunToEnd({build, {}, {}, log}, kPatience) != 0) {
    throw std::runtime_error("scripts/demo-site failed: " + ReadFile(log));
  }
}

std::string DemoSite::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

void GameDirectory::WriteVersionDocument(const std::string& serverDocumentUrl, const std::string& packageCode,
                                         const std::string& loginServer) {
  // The standard attribute order of updatecfg.xml.
  const fs::path plain = Path().string() + "-updatecfg.plain";
  std::ofstream(plain, std::ios::binary)
      << "<?xml version=\"1.0\"?>\n<GameVersion MainVersion=\"1\"  SubVersion=\"0\"  FileVersion=\"1\"  PackageCode=\""
      << packageCode << "\"  UpdateServerAddr=\"" << serverDocumentUrl << "\"  LoginServer=\"" << loginServer
      << "\"  ForceUpdateVersion=\"0\"  ProductName=\"FogHarbour\"  PackageName=\"FogHarbour\"  WebAddr=\"\" >\n"
         "</GameVersion>\n";
  if (RunToEnd({{kFarcfg.string(), "encode", plain.string()}, {}, {}, Path() / "updatecfg.xml"}, 60s) != 0) {
    throw std::runtime_error("farcfg encode failed");
  }
}

void GameDirectory::AddLauncher(const std::string& marker) {
  const fs::path target = Path() / "farLaunch.exe";
  fs::copy_file(kLauncher, target, fs::copy_options::overwrite_existing);
  std::ofstream(target, std::ios::binary | std::ios::app) << marker;
}

void GameDirectory::AddWindowModule() {
  for (const fs::path& module : kWindowModules) {
    fs::copy_file(module, Path() / module.filename(), fs::copy_options::overwrite_existing);
  }
}

void GameDirectory::AddClient() {
  fs::copy_file(kSource / "demo/versions/0001-1.0.1/client.exe", Path() / "client.exe", fs::copy_options::overwrite_existing);
}

void GameDirectory::AddPublisherKey() {
  fs::copy_file(kSource / "demo/demo-publisher.pub", Path() / "publisher.pub", fs::copy_options::overwrite_existing);
}

std::map<std::string, std::string> GameDirectory::GameFiles(const std::set<std::string>& launcherOwn) const {
  std::map<std::string, std::string> files;
  for (const auto& [name, content] : Tree(Path())) {
    if (content != "<dir>" && launcherOwn.count(name) == 0 && name.rfind("farLaunch.stage/", 0) != 0) {
      files[name] = content;
    }
  }
  return files;
}

std::map<std::string, std::string> GameDirectory::InstalledVersion() const {
  const fs::path output = Path().string() + "-farcfg.txt";
  fs::remove(output);
  std::map<std::string, std::string> keys;
  if (RunToEnd({{kFarcfg.string(), "read", (Path() / "updatecfg.xml").string()}, {}, {}, output}, 60s) != 0) {
    return keys;
  }
  std::istringstream lines(ReadFile(output));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos && line.find(' ') > equals) {
      keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return keys;
}

ProcessPlan GameDirectory::Launcher(const std::vector<std::string>& arguments, const fs::path& output,
                                    const std::optional<std::string>& display) const {
  ProcessPlan plan;
  plan.argv = {"./farLaunch.exe"};
  plan.argv.insert(plan.argv.end(), arguments.begin(), arguments.end());
  plan.workingDirectory = Path();
  plan.output = output;
  plan.environment = {{"DISPLAY", display},
                      {"no_proxy", kNoProxy},
                      {"NO_PROXY", kNoProxy},
                      // The stand-in client would otherwise put up a note window.
                      {"FARLAUNCH_DEMO_QUIET", "1"}};
  return plan;
}

ProcessPlan GameDirectory::WineLauncher(const std::vector<std::string>& arguments, const fs::path& output,
                                       const std::optional<std::string>& display) const {
  ProcessPlan plan = Launcher(arguments, output, display);
  plan.argv.insert(plan.argv.begin(), "wine");
  plan.environment["LC_ALL"] = "zh_CN.UTF-8";
  return plan;
}

}  // namespace e2e
