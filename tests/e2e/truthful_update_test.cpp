// farLaunch.exe on the console when an update goes wrong, against the demo
// site: no failure is reported as success, the game is left as it was, and
// the reason stands on the console and in farLaunch.log.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e/private_mounts.h"
#include "e2e/scenario.h"
#include "e2e/silent_server.h"
#include "e2e/tampering_proxy.h"
#include "update/published_document.h"
#include "update/update_files.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};

// The demo's chain 0001 -> 0002 -> 0003 with the items' addresses given.
ServerDocument Chain(const std::string& patch2, const std::string& patch3 = {}) {
  ServerDocument document;
  document.versions = {ServerVersion{"1", "0", "1", "0001", {}},
                       ServerVersion{"1", "0", "2", "0002", {ServerItem{"normal", "patch-0002.zip", patch2}}}};
  if (!patch3.empty()) {
    document.versions.push_back(ServerVersion{"1", "0", "3", "0003", {ServerItem{"normal", "patch-0003.zip", patch3}}});
  }
  return document;
}

void Publish(Scenario& scenario, const std::string& name, const std::string& content) {
  std::ofstream(scenario.Site().Folder() / name, std::ios::binary) << content;
}

// Runs a shell command (building site content); true when it succeeded.
bool Shell(Scenario& scenario, const std::string& command) {
  return RunToEnd({{"bash", "-c", command}, scenario.Site().Folder(), {}, scenario.Output("shell.txt")}, kPatience) ==
         0;
}

int RunLauncher(Scenario& scenario, const std::string& output) {
  return RunToEnd(scenario.Game().Launcher(kHeadless, scenario.Output(output)), kPatience);
}

// Every file and folder of a game directory but the launcher's records (the
// failure log, the signing time of the last accepted document, the
// instance lock), each file
// by its size and a hash of its bytes (the launcher is megabytes).
std::map<std::string, std::string> GameTree(const fs::path& game) {
  std::map<std::string, std::string> tree = Tree(game);
  tree.erase("farLaunch.log");
  tree.erase("farLaunch.signedtime");
  tree.erase("farLaunch.lock");
  for (auto& [name, content] : tree) {
    if (content != "<dir>") content = std::to_string(content.size()) + " bytes, hash " + std::to_string(std::hash<std::string>()(content));
  }
  return tree;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// What a failed run must leave: status 1, its message and its reason on
// the console, the reason in farLaunch.log, and the game as it was.
void ExpectFailure(int status, const fs::path& game, const std::string& console,
                   const std::map<std::string, std::string>& before, const std::string& message,
                   const std::string& reason) {
  EXPECT_EQ(status, 1) << console;
  EXPECT_NE(console.find("[Message] " + message + " -> OK"), std::string::npos) << console;
  EXPECT_NE(console.find("[ERROR] " + reason), std::string::npos) << console;
  const std::string log = ReadFile(game / "farLaunch.log");
  EXPECT_NE(log.find(" ERROR farLaunch] " + reason), std::string::npos) << log;
  EXPECT_EQ(GameTree(game), before);
}

// The game `before` once the demo's patch 0002 is in and recorded: what a
// run that fails in 0003 leaves (each entry is committed on its own).
std::map<std::string, std::string> WithRelease2(std::map<std::string, std::string> tree, const GameDirectory& game) {
  const fs::path demo2 = fs::path(FARLAUNCH_SOURCE_DIR) / "demo/versions/0002-1.0.2";
  for (const std::string name : {"readme.txt", "data/harbour.map"}) {
    EXPECT_EQ(game.Read(name), ReadFile(demo2 / name)) << name;
  }
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0002");
  const auto now = GameTree(game.Path());
  tree["data"] = "<dir>";
  for (const std::string name : {"readme.txt", "data/harbour.map", "updatecfg.xml"}) {
    if (now.count(name) > 0) tree[name] = now.at(name);
  }
  return tree;
}

TEST(TruthfulUpdate, ItemsThatAreNotFetchedAreNeverRecorded) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  // Upper case is still http; ftp is announced and fails the update.
  const std::string upper = "HTTP" + scenario.Site().Url("patch-0002.zip").substr(4);
  Publish(scenario, "servercfg-ftp.xml", Chain(upper, "ftp://127.0.0.1/patch-0003.zip").Text());
  scenario.PrepareGame("servercfg-ftp.xml", /*withClient=*/true);
  const auto before = GameTree(game.Path());

  const int status = RunLauncher(scenario, "ftp.txt");
  const std::string console = ReadFile(scenario.Output("ftp.txt"));
  ExpectFailure(status, game.Path(), console, WithRelease2(before, game), "下载失败！！请检查网络重新下载",
                "patch-0003.zip (ftp://127.0.0.1/patch-0003.zip): the scheme ftp is not fetched");
  EXPECT_NE(console.find("[Message] ftp暂时没有开通 -> OK"), std::string::npos) << console;

  // https is fetched over TLS like http: the plain demo server cannot
  // answer it, and the reason says so.
  const std::string https = "https" + scenario.Site().Url("patch-0002.zip").substr(4);
  Publish(scenario, "servercfg-https.xml", Chain(https).Text());
  game.WriteVersionDocument(scenario.Site().Url("servercfg-https.xml"));
  const auto untouched = GameTree(game.Path());
  const int secured = RunLauncher(scenario, "https.txt");
  ExpectFailure(secured, game.Path(), ReadFile(scenario.Output("https.txt")), untouched,
                "下载失败！！请检查网络重新下载", "patch-0002.zip (" + https + "): ");
  EXPECT_EQ(Count(ReadFile(game.Path() / "farLaunch.log"), "not fetched"), 1u);
}

TEST(TruthfulUpdate, AnswersThatAreNoServerDocumentAreRetriedThenRefused) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  // A web page where the document should be (a captive portal's, say).
  scenario.PrepareGame("news.html", /*withClient=*/true);
  const auto before = GameTree(game.Path());
  const int status = RunLauncher(scenario, "page.txt");
  ExpectFailure(status, game.Path(), ReadFile(scenario.Output("page.txt")), before,
                "服务器配置档读取错误！",
                "server document (" + scenario.Site().Url("news.html") + "): given up after 12 failed fetches");
  EXPECT_EQ(Count(ReadFile(game.Path() / "farLaunch.log"), "news.html): the answer holds none of the server document's keys"),
            12u);

  // A huge answer is refused before it is read.
  Publish(scenario, "servercfg-huge.xml", std::string(50 * 1000 * 1000, ' '));
  game.WriteVersionDocument(scenario.Site().Url("servercfg-huge.xml"));
  fs::remove(game.Path() / "farLaunch.log");
  const auto untouched = GameTree(game.Path());
  const int refused = RunLauncher(scenario, "huge.txt");
  ExpectFailure(refused, game.Path(), ReadFile(scenario.Output("huge.txt")), untouched,
                "服务器配置档读取错误！",
                "server document (" + scenario.Site().Url("servercfg-huge.xml") +
                    "): larger than 4194304 bytes (50000000 announced)");
}

// A verified game directory behind a hostile proxy: a changed document or
// archive installs nothing; the same proxy passing the site on unchanged
// lets the update through.
TEST(TruthfulUpdate, AHostileProxyGetsNothingInstalled) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  scenario.PrepareGame("servercfg.xml", /*withClient=*/true);
  game.AddPublisherKey();
  const auto before = GameTree(game.Path());
  const auto throughProxy = [&](const std::string& tamperedPath, const std::string& output) {
    TamperingProxy proxy(tamperedPath);
    ProcessPlan plan = game.Launcher(kHeadless, scenario.Output(output));
    plan.environment["http_proxy"] = proxy.Url();
    plan.environment["no_proxy"] = plan.environment["NO_PROXY"] = std::nullopt;
    return RunToEnd(plan, kPatience);
  };

  const int document = throughProxy("/servercfg.xml", "document.txt");
  ExpectFailure(document, game.Path(), ReadFile(scenario.Output("document.txt")), before, "服务器配置档读取错误！",
                "server document (" + scenario.Site().Url("servercfg.xml") +
                    "): signature refused: the signature does not match the document");

  const int archive = throughProxy("/patch-0003.zip", "archive.txt");
  ExpectFailure(archive, game.Path(), ReadFile(scenario.Output("archive.txt")), WithRelease2(before, game),
                "下载失败！！请检查网络重新下载",
                "patch-0003.zip (" + scenario.Site().Url("patch-0003.zip") + "): SHA-256 mismatch: expected ");

  EXPECT_EQ(throughProxy("", "honest.txt"), 0) << ReadFile(scenario.Output("honest.txt"));
  scenario.ExpectVersion3Installed();
}

// A game whose server document comes from a server that never answers.
class TruthfulUpdateOnASilentServer : public ::testing::Test {
 protected:
  void SetUp() override {
    PointAtSilentServer(game, silent);
    game.AddClient();
    before = GameTree(game.Path());
  }

  Scenario scenario;
  SilentServer silent;
  GameDirectory& game = scenario.Game();
  std::map<std::string, std::string> before;
};

TEST_F(TruthfulUpdateOnASilentServer, ASilentServerEndsTheStartWithinAboutTwoMinutes) {

  // Twelve fetches of ten seconds each, and some room for a busy machine;
  // without the limit each fetch waited a minute.
  const int status = RunToEnd(game.Launcher(kHeadless, scenario.Output("silent.txt")), std::chrono::seconds(170));
  ExpectFailure(status, game.Path(), ReadFile(scenario.Output("silent.txt")), before, "服务器配置档读取错误！",
                "server document (" + silent.Url("/servercfg.xml") + "): given up after 12 failed fetches");
  EXPECT_EQ(Count(ReadFile(game.Path() / "farLaunch.log"), "): no data for 10 seconds"), 12u);
}

TEST_F(TruthfulUpdateOnASilentServer, ASecondStartInTheSameGameDirectoryTouchesNothing) {
  // The first launcher waits for its server document for two minutes.
  ChildProcess first(game.Launcher(kHeadless, scenario.Output("first.txt")));
  std::this_thread::sleep_for(std::chrono::seconds(1));

  EXPECT_EQ(RunLauncher(scenario, "second.txt"), 1);
  const std::string second = ReadFile(scenario.Output("second.txt"));
  EXPECT_NE(second.find("another farLaunch.exe is running in " + fs::canonical(game.Path()).string()),
            std::string::npos)
      << second;
  EXPECT_EQ(second.find("雾港"), std::string::npos) << "the second start did not start up";
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(GameTree(game.Path()), before);
}

TEST(TruthfulUpdate, AFullInstallKilledMidwayIsFinishedOnTheNextStart) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  // The client comes first; a large entry keeps the unpack going after it.
  constexpr std::uintmax_t kHuge = 256u << 20;
  ASSERT_TRUE(Shell(scenario, "mkdir -p kill/data && cp '" FARLAUNCH_SOURCE_DIR
                              "/demo/versions/0001-1.0.1/client.exe' kill/ && head -c " +
                                  std::to_string(kHuge) +
                                  " /dev/zero > kill/data/huge.bin && cd kill && zip -q -X ../client-kill.zip "
                                  "client.exe data/huge.bin && cd .. && rm -r kill"));
  ServerDocument document = Chain(scenario.Site().Url("patch-0002.zip"), scenario.Site().Url("patch-0003.zip"));
  document.site["MiniTargetFileName"] = "client.zip";
  document.site["MiniSourceFileAddr"] = scenario.Site().Url("client-kill.zip");
  Publish(scenario, "servercfg-kill.xml", document.Text());
  scenario.PrepareGame("servercfg-kill.xml", /*withClient=*/false);

  {
    ChildProcess launcher(game.Launcher(kHeadless, scenario.Output("killed.txt")));
    const auto limit = std::chrono::steady_clock::now() + kPatience;
    while (!(game.Has("client.exe") && game.Has("data/huge.bin")) && std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    launcher.Signal(SIGKILL);
    ASSERT_EQ(launcher.WaitForExit(std::chrono::seconds(30)), 128 + SIGKILL);
  }
  ASSERT_TRUE(game.Has("client.exe")) << ReadFile(scenario.Output("killed.txt"));
  ASSERT_LT(fs::file_size(game.Path() / "data/huge.bin"), kHuge) << "killed after the unpack: nothing shown";
  EXPECT_TRUE(game.Has("farLaunch.fullinstall"));

  // client.exe is there, yet the start installs the full package again.
  EXPECT_EQ(RunLauncher(scenario, "again.txt"), 0) << ReadFile(scenario.Output("again.txt"));
  EXPECT_EQ(fs::file_size(game.Path() / "data/huge.bin"), kHuge);
  EXPECT_EQ(game.Read("client.exe"), ReadFile(fs::path(FARLAUNCH_SOURCE_DIR) / "demo/versions/0003-1.0.3/client.exe"));
  EXPECT_FALSE(game.Has("farLaunch.fullinstall"));
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0003");
}

TEST(TruthfulUpdate, ABadCrcInThePatchsLastEntryChangesNothing) {
  Scenario scenario;
  GameDirectory& game = scenario.Game();
  Publish(scenario, "patch-crc.zip",
          WithEntryField(MakeOrderedZip({{"readme.txt", "readme of 0002"},
                                         {"data/new/dock.map", "dock"},
                                         {"data/harbour.map", "damaged in transit"}}),
                         2, EntryField::Crc, 0x12345678));
  Publish(scenario, "servercfg-crc.xml", Chain(scenario.Site().Url("patch-crc.zip")).Text());
  scenario.PrepareGame("servercfg-crc.xml", /*withClient=*/true);
  game.Write("readme.txt", "readme of 0001");
  game.Write("data/harbour.map", "harbour of 0001");
  const auto before = GameTree(game.Path());

  const int status = RunLauncher(scenario, "crc.txt");
  ExpectFailure(status, game.Path(), ReadFile(scenario.Output("crc.txt")), before,
                "更新失败！！请重新更新！！！",
                "patch-0002.zip (" + scenario.Site().Url("patch-crc.zip") + "): CRC mismatch in data/harbour.map");
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0001");
}

// The game directory on a tmpfs of its own, `room` bytes larger than the
// game (and `inodes` files more, when given); the launcher runs there and
// what it leaves is copied to `result`.
ProcessPlan OnSmallDisk(Scenario& scenario, const std::string& output, std::uintmax_t room,
                        std::optional<std::size_t> inodes, const fs::path& result) {
  std::uintmax_t size = 0;
  std::size_t entries = 0;
  for (const auto& entry : fs::recursive_directory_iterator(scenario.Game().Path())) {
    ++entries;
    if (entry.is_regular_file()) size += entry.file_size();
  }
  std::string options = "size=" + std::to_string(size + room);
  // The root folder takes an inode too.
  if (inodes) options += ",nr_inodes=" + std::to_string(entries + 1 + *inodes);
  ProcessPlan plan = scenario.Game().Launcher(kHeadless, scenario.Output(output));
  plan.environment["MOUNT"] = scenario.Output("mount").string();
  plan.environment["RESULT"] = result.string();
  fs::create_directories(scenario.Output("mount"));
  return WithPrivateMounts(plan,
                           "mount -t tmpfs -o " + options + " tmpfs \"$MOUNT\"\ncp -a . \"$MOUNT\"\ncd \"$MOUNT\"",
                           "mkdir -p \"$RESULT\"\ncp -a . \"$RESULT\"");
}

// Runs that mount in a namespace of their own; skipped, saying why, where
// the machine allows none.
class TruthfulUpdateOnOwnMounts : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string unavailable = PrivateMountsUnavailable();
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
  }
};

TEST_F(TruthfulUpdateOnOwnMounts, AnArchiveLargerThanTheDiskChangesNothing) {
  Scenario scenario;
  ASSERT_TRUE(Shell(scenario, "mkdir -p zeros/data && head -c 67108864 /dev/zero > zeros/data/sea.bin && "
                              "cd zeros && zip -q -X ../patch-zeros.zip data/sea.bin && cd .. && rm -r zeros && "
                              "mkdir -p noise/data && head -c 33554432 /dev/urandom > noise/data/sea.bin && "
                              "cd noise && zip -q -X ../patch-noise.zip data/sea.bin && cd .. && rm -r noise"));
  Publish(scenario, "servercfg-zeros.xml", Chain(scenario.Site().Url("patch-zeros.zip")).Text());
  Publish(scenario, "servercfg-noise.xml", Chain(scenario.Site().Url("patch-noise.zip")).Text());
  scenario.PrepareGame("servercfg-zeros.xml", /*withClient=*/true);
  const auto before = GameTree(scenario.Game().Path());
  constexpr std::uintmax_t kRoom = 8u << 20;

  // 64 MiB of zeros download small and do not fit unpacked.
  const fs::path unpacked = scenario.Output("unpacked");
  const int status = RunToEnd(OnSmallDisk(scenario, "zeros.txt", kRoom, std::nullopt, unpacked), kPatience);
  ExpectFailure(status, unpacked, ReadFile(scenario.Output("zeros.txt")), before, "磁盘剩余空间不足，请清理后再运行！",
                "patch-0002.zip (" + scenario.Site().Url("patch-zeros.zip") +
                    "): No space left on device: unpacking needs 83886080 bytes");

  // 32 MiB of noise do not even download.
  scenario.Game().WriteVersionDocument(scenario.Site().Url("servercfg-noise.xml"));
  const auto untouched = GameTree(scenario.Game().Path());
  const fs::path downloaded = scenario.Output("downloaded");
  const int full = RunToEnd(OnSmallDisk(scenario, "noise.txt", kRoom, std::nullopt, downloaded), kPatience);
  // A full disk is told as one, not as a network failure.
  ExpectFailure(full, downloaded, ReadFile(scenario.Output("noise.txt")), untouched, "磁盘剩余空间不足，请清理后再运行！",
                "patch-0002.zip (" + scenario.Site().Url("patch-noise.zip") + "): No space left on device");
  EXPECT_NE(ReadFile(downloaded / "farLaunch.log").find("(no space left on the disk)"), std::string::npos);

  // Nor do the zeros fit as the full package, which goes with the rest.
  ServerDocument document = Chain(scenario.Site().Url("patch-zeros.zip"));
  document.site["MiniTargetFileName"] = "client.zip";
  document.site["MiniSourceFileAddr"] = scenario.Site().Url("patch-zeros.zip");
  Publish(scenario, "servercfg-full.xml", document.Text());
  scenario.Game().WriteVersionDocument(scenario.Site().Url("servercfg-full.xml"));
  fs::remove(scenario.Game().Path() / "client.exe");
  const auto noClient = GameTree(scenario.Game().Path());
  const fs::path package = scenario.Output("package");
  const int status3 = RunToEnd(OnSmallDisk(scenario, "package.txt", kRoom, std::nullopt, package), kPatience);
  ExpectFailure(status3, package, ReadFile(scenario.Output("package.txt")), noClient, "磁盘剩余空间不足，请清理后再运行！",
                "full client package client.zip (" + scenario.Site().Url("patch-zeros.zip") +
                    "): No space left on device: unpacking needs 83886080 bytes");
}

TEST_F(TruthfulUpdateOnOwnMounts, ADiskThatFillsUpDuringThePatchGetsTheGameBack) {
  Scenario scenario;
  std::vector<std::pair<std::string, std::string>> files = {{"readme.txt", "readme of 0002"}};
  for (int n = 10; n < 50; ++n) files.emplace_back("data/docks/dock" + std::to_string(n) + ".map", "dock");
  Publish(scenario, "patch-many.zip", MakeOrderedZip(files));
  Publish(scenario, "servercfg-many.xml", Chain(scenario.Site().Url("patch-many.zip")).Text());
  scenario.PrepareGame("servercfg-many.xml", /*withClient=*/true);
  scenario.Game().Write("readme.txt", "readme of 0001");
  const auto before = GameTree(scenario.Game().Path());

  // Bytes to spare, but files for a few only: the disk is full midway.
  const fs::path result = scenario.Output("result");
  const int status = RunToEnd(OnSmallDisk(scenario, "full.txt", 64u << 20, 12, result), kPatience);
  ExpectFailure(status, result, ReadFile(scenario.Output("full.txt")), before, "磁盘剩余空间不足，请清理后再运行！",
                "patch-0002.zip (" + scenario.Site().Url("patch-many.zip") + "): No space left on device writing data/docks/dock");
  EXPECT_NE(ReadFile(result / "farLaunch.log").find("(no space left on the disk)"), std::string::npos);
}

TEST_F(TruthfulUpdateOnOwnMounts, AVersionDocumentThatCannotBeSavedFailsTheUpdate) {
  Scenario scenario;
  scenario.PrepareGame("servercfg.xml", /*withClient=*/true);
  GameDirectory& game = scenario.Game();
  const auto before = GameTree(game.Path());

  // updatecfg.xml mounted read-only over itself: neither written in place
  // nor replaced.
  const ProcessPlan plan =
      WithPrivateMounts(game.Launcher(kHeadless, scenario.Output("readonly.txt")),
                        "mount --bind updatecfg.xml updatecfg.xml\nmount -o remount,bind,ro updatecfg.xml || true", "");
  const int status = RunToEnd(plan, kPatience);
  ExpectFailure(status, game.Path(), ReadFile(scenario.Output("readonly.txt")), before,
                "更新失败！！请重新更新！！！", "updatecfg.xml: cannot be saved");
  EXPECT_NE(ReadFile(game.Path() / "farLaunch.log").find("ERROR Base] OxFile: Saving updatecfg.xml failed: "),
            std::string::npos);
  EXPECT_EQ(game.InstalledVersion()["PackageCode"], "0001");
}

}  // namespace
}  // namespace e2e
