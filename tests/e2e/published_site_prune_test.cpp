// farLaunch.exe (headless) against a signed site that the real farpublish
// built release by release and then pruned to its newest two releases: a
// player at the newest-but-one release still reaches the newest from the
// manifest, without the patches.
#include <gtest/gtest.h>

#include <random>

#include "e2e/e2e_harness.h"
#include "support/random_bytes.h"
#include "support/range_http_server.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;
const fs::path kInstalled = E2E_INSTALL_DIR;
const fs::path kSource = FARLAUNCH_SOURCE_DIR;
const std::set<std::string> kLauncherFiles = {"farLaunch.exe",      "updatecfg.xml",        "farLaunch.lock",
                                              "farLaunch.log",      "farLaunch.signedtime", "publisher.pub",
                                              "farLaunch.manifest", "farLaunch.files"};

std::string Code(std::size_t release) { return "000" + std::to_string(release + 1); }
std::string Folder(std::size_t release) { return Code(release) + "-1.0." + std::to_string(release + 1); }

// Four releases: data.pak changes by a small edit each time, extra.bin
// comes in the second and goes in the fourth, the rest stays.
std::vector<Files> Releases() {
  std::mt19937 random(34);
  std::vector<Files> releases(4);
  releases[0] = {{"client.exe", "the client"},
                 {"data.pak", RandomBytes(random, 200 << 10)},
                 {"text.txt", std::string(50 << 10, 't')}};
  for (std::size_t i = 1; i < releases.size(); ++i) {
    releases[i] = releases[i - 1];
    releases[i]["data.pak"].replace(1000 * i, 100, RandomBytes(random, 100));
  }
  releases[1]["extra.bin"] = releases[2]["extra.bin"] = RandomBytes(random, 30 << 10);
  return releases;
}

// farpublish with `args`, its output in `log`; its exit status.
int Farpublish(const std::vector<std::string>& args, const fs::path& log) {
  std::vector<std::string> command = {(kInstalled / "tools/farpublish").string()};
  command.insert(command.end(), args.begin(), args.end());
  return RunToEnd({command, log.parent_path(), {}, log}, kPatience);
}

TEST(PublishedSitePrune, APlayerAtTheNewestButOneReleaseUpdatesFromThePrunedSite) {
  Scratch scratch;
  RangeHttpServer server;
  const std::vector<Files> releases = Releases();
  const fs::path versions = scratch.Path() / "versions";
  const fs::path site = scratch.Path() / "site";
  const fs::path log = scratch.Path() / "farpublish.txt";
  for (std::size_t release = 0; release < releases.size(); ++release) {
    for (const auto& [name, content] : releases[release]) {
      fs::create_directories((versions / Folder(release) / name).parent_path());
      WriteFile(versions / Folder(release) / name, content);
    }
    ASSERT_EQ(Farpublish({"build", versions.string(), site.string(), "--base-url", server.Url(""), "--sign",
                          (kSource / "demo/demo-publisher.key").string()},
                         log),
              0)
        << ReadFile(log);
  }
  ASSERT_EQ(
      Farpublish({"prune", site.string(), "--keep", "2", "--key", (kSource / "demo/demo-publisher.pub").string()}, log),
      0)
      << ReadFile(log);
  ASSERT_NE(ReadFile(log).find("removed client-0001.zip"), std::string::npos) << ReadFile(log);
  for (const auto& entry : fs::recursive_directory_iterator(site)) {
    if (entry.is_regular_file()) {
      server.Put("/" + fs::relative(entry.path(), site).generic_string(), ReadFile(entry.path()));
    }
  }

  GameDirectory game(scratch.Path() / "game");
  for (const auto& [name, content] : releases[2]) game.Write(name, content);
  game.AddLauncher();
  game.AddPublisherKey();
  game.WriteVersionDocument(server.Url("/servercfg.xml"), Code(2));
  const fs::path output = scratch.Path() / "update.txt";
  ASSERT_EQ(RunToEnd(game.Launcher({"--headless", "--exit-on-finish"}, output), kPatience), 0) << ReadFile(output);

  EXPECT_EQ(game.InstalledVersion()["PackageCode"], Code(3));
  EXPECT_EQ(game.GameFiles(kLauncherFiles), releases[3]);
  EXPECT_TRUE(server.Requests("/patch-0004.zip").empty()) << "the manifest way, not the patches";
}

}  // namespace
}  // namespace e2e
