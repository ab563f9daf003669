// A farpublish site served by nginx, and fifty game directories updated
// from it at once: headless launchers at every installed version, some with
// no client at all, all reach the newest build byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "e2e/e2e_harness.h"
#include "support/loopback_socket.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = FARLAUNCH_SOURCE_DIR;
const fs::path kFarpublish = fs::path(E2E_INSTALL_DIR) / "tools/farpublish";
const fs::path kNginx = "/usr/sbin/nginx";
const fs::path kVersions = kSource / "demo/versions";
const char kNewest[] = "0003-1.0.3";
constexpr int kGames = 50;

// A port nobody listens on now; nginx binds it a moment later.
int FreeLoopbackPort() {
  int port = 0;
  close(BindLoopbackSocket(-1, port));
  return port;
}

// nginx in the foreground on 127.0.0.1:`port`, serving `root`; its
// configuration, pid file, logs and temporary files all in `folder`. The
// access log holds one status code per line.
class Nginx {
 public:
  Nginx(const fs::path& folder, const fs::path& root, int port) : folder_(folder) {
    fs::create_directories(folder / "temp");
    std::ofstream(folder / "nginx.conf")
        << (geteuid() == 0 ? "user root;\n" : "") << "daemon off;\nworker_processes 2;\npid " << Path("nginx.pid")
        << ";\nerror_log " << Path("error.log") << ";\nevents { worker_connections 1024; }\nhttp {\n"
        << "  types { application/zip zip; text/xml xml; text/html html; }\n"
        << "  default_type application/octet-stream;\n  log_format status '$status';\n"
        << "  access_log " << Path("access.log") << " status;\n"
        << "  client_body_temp_path " << Path("temp/body") << ";\n  proxy_temp_path " << Path("temp/proxy")
        << ";\n  fastcgi_temp_path " << Path("temp/fastcgi") << ";\n  uwsgi_temp_path " << Path("temp/uwsgi")
        << ";\n  scgi_temp_path " << Path("temp/scgi") << ";\n"
        << "  server {\n    listen 127.0.0.1:" << port << ";\n    root " << root.string() << ";\n  }\n}\n";
    server_ = std::make_unique<ChildProcess>(ProcessPlan{
        {kNginx.string(), "-p", folder.string(), "-e", Path("error.log"), "-c", Path("nginx.conf")},
        folder,
        {},
        folder / "nginx.out"});
  }

  // Answers once the pid file is there; false when nginx ended instead.
  bool Started() {
    return WaitUntil([&] { return fs::exists(folder_ / "nginx.pid") || !server_->Running(); }, 30s) &&
           server_->Running();
  }
  std::string Problem() const { return ReadFile(folder_ / "error.log") + ReadFile(folder_ / "nginx.out"); }

  // How many answers in the access log were not 2xx, of how many.
  std::pair<int, int> NonSuccessAnswers() const {
    std::istringstream lines(ReadFile(folder_ / "access.log"));
    int failed = 0;
    int all = 0;
    for (std::string status; std::getline(lines, status); ++all) failed += status.empty() || status[0] != '2';
    return {failed, all};
  }

 private:
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  std::unique_ptr<ChildProcess> server_;
};

// Installed build of game `i`: none (no client, a full install), or one of
// the demo's builds, the newest included.
std::optional<std::string> InstalledBuild(int i) {
  const char* const builds[] = {nullptr, "0001-1.0.1", "0002-1.0.2", kNewest};
  const char* build = builds[i % 4];
  return build ? std::optional<std::string>(build) : std::nullopt;
}

TEST(NginxLoad, FiftyLaunchersAtOnceAllReachTheNewestBuild) {
  ASSERT_TRUE(fs::exists(kNginx)) << kNginx << " is missing: scripts/setup installs nginx-light";
  Scratch scratch;
  const int port = FreeLoopbackPort();
  const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/site";
  const fs::path site = scratch.Path() / "www/site";
  fs::create_directories(site.parent_path());
  ASSERT_EQ(RunToEnd({{kFarpublish.string(), "build", kVersions.string(), site.string(), "--base-url", base,
                       "--web-addr", base + "/news.html", "--product", "FogHarbour", "--sign",
                       (kSource / "demo/demo-publisher.key").string()},
                      {},
                      {},
                      scratch.Path() / "farpublish.txt"},
                     kPatience),
            0)
      << ReadFile(scratch.Path() / "farpublish.txt");
  fs::copy_file(kSource / "demo/site/news.html", site / "news.html");

  Nginx nginx(scratch.Path() / "nginx", scratch.Path() / "www", port);
  ASSERT_TRUE(nginx.Started()) << nginx.Problem();

  std::vector<std::unique_ptr<GameDirectory>> games;
  for (int i = 0; i < kGames; ++i) {
    auto& game = *games.emplace_back(std::make_unique<GameDirectory>(scratch.Path() / ("game" + std::to_string(i))));
    const std::optional<std::string> build = InstalledBuild(i);
    if (build) fs::copy(kVersions / *build, game.Path(), fs::copy_options::recursive);
    game.WriteVersionDocument(base + "/servercfg.xml", build ? build->substr(0, 4) : "0001");
    game.AddLauncher();
    game.AddPublisherKey();
  }

  const auto start = std::chrono::steady_clock::now();
  std::vector<std::unique_ptr<ChildProcess>> launchers;
  for (int i = 0; i < kGames; ++i) {
    launchers.push_back(std::make_unique<ChildProcess>(
        games[i]->Launcher({"--headless", "--exit-on-finish"}, scratch.Path() / ("run" + std::to_string(i) + ".txt"))));
  }
  for (int i = 0; i < kGames; ++i) {
    EXPECT_EQ(launchers[i]->WaitForExit(kPatience), 0) << "game " << i << ":\n"
                                                       << ReadFile(scratch.Path() / ("run" + std::to_string(i) + ".txt"));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto [failed, answers] = nginx.NonSuccessAnswers();
  std::cout << kGames << " launchers updated in " << seconds << " s; nginx answered " << answers << " requests, "
            << failed << " of them not 2xx\n";
  RecordProperty("wall_seconds", std::to_string(seconds));
  RecordProperty("non_2xx_answers", failed);

  for (int i = 0; i < kGames; ++i) {
    EXPECT_EQ(games[i]->InstalledVersion()["PackageCode"], "0003") << "game " << i;
    for (const auto& file : fs::recursive_directory_iterator(kVersions / kNewest)) {
      if (!file.is_regular_file()) continue;
      const std::string name = fs::relative(file.path(), kVersions / kNewest).generic_string();
      EXPECT_EQ(games[i]->Read(name), ReadFile(file.path())) << "game " << i << ": " << name;
    }
  }
  EXPECT_EQ(failed, 0);
}

}  // namespace
}  // namespace e2e
