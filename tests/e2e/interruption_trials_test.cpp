// farLaunch.exe on the console, stopped at a random moment (seeded) by
// kill -9 or SIGTERM while it takes a game through a chain of three
// patches (one of them with an untyped file item). After every trial the
// game is byte for byte the release its record names: at once after a
// SIGTERM (which ends the run as a failure), after the next start's settling
// after a kill -9. A healthy start then reaches the newest release.
// INTERRUPTION_FIRST_SEED and INTERRUPTION_TRIALS choose the trials.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/e2e_harness.h"
#include "support/range_http_server.h"
#include "update/published_document.h"
#include "update/update_files.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;
const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
const std::vector<std::string> kCodes = {"0001", "0002", "0003", "0004"};

// Bytes that do not compress, so that every download and unpack takes a
// while.
std::string Noise(std::mt19937& random, std::size_t size) {
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
  return bytes;
}

// Four releases: each replaces some files of the one before, adds others;
// the last one also ships a file through an untyped item.
struct Chain {
  std::vector<Files> releases;
  std::vector<std::string> patches;  // patch i takes release i to i + 1
  std::string untypedName = "data/notes.bin";
};

const Chain& TheChain() {
  static const Chain chain = [] {
    Chain made;
    std::mt19937 random(24);
    Files release;
    for (int i = 0; i < 40; ++i) release["data/base" + std::to_string(i) + ".pak"] = Noise(random, 64 << 10);
    release[made.untypedName] = "notes of 0001";
    made.releases.push_back(release);
    for (int step = 1; step < 4; ++step) {
      Files changed;
      for (int i = step; i < 40; i += 3) changed["data/base" + std::to_string(i) + ".pak"] = Noise(random, 96 << 10);
      for (int i = 0; i < 10; ++i) {
        changed["data/r" + std::to_string(step) + "/new" + std::to_string(i) + ".pak"] = Noise(random, 64 << 10);
      }
      for (const auto& [name, content] : changed) release[name] = content;
      if (step == 3) release[made.untypedName] = Noise(random, 256 << 10);
      made.patches.push_back(MakeZip(changed));
      made.releases.push_back(release);
    }
    return made;
  }();
  return chain;
}

class InterruptionTrial : public ::testing::TestWithParam<int> {
 protected:
  InterruptionTrial() : game_(scratch_.Path() / "game") {
    const Chain& chain = TheChain();
    for (std::size_t i = 0; i < chain.patches.size(); ++i) {
      server_.Put("/patch-" + kCodes[i + 1] + ".zip", chain.patches[i]);
    }
    server_.Put("/notes.bin", chain.releases[3].at(chain.untypedName));
    for (const auto& [name, content] : chain.releases[0]) game_.Write(name, content);
    game_.AddClient();
    game_.AddLauncher();
    game_.WriteVersionDocument(server_.Url("/servercfg.xml"));
    Publish(kCodes.size());
  }

  // Publishes the chain up to release `count` - 1.
  void Publish(std::size_t count) {
    ServerDocument document;
    for (std::size_t i = 0; i < count; ++i) {
      ServerVersion version{"1", "0", std::to_string(i + 1), kCodes[i], {}};
      if (i > 0) version.items.push_back({"normal", "patch", server_.Url("/patch-" + kCodes[i] + ".zip")});
      if (i == 3) version.items.push_back({"file", "data\\notes.bin", server_.Url("/notes.bin")});
      document.versions.push_back(version);
    }
    server_.Put("/servercfg.xml", document.Text());
  }

  // How long a healthy run of the whole chain takes here, measured once:
  // the stops land anywhere in such a run, its start-up included.
  std::chrono::milliseconds HealthyRunLength() {
    static const std::chrono::milliseconds length = [this] {
      const fs::path saved = scratch_.Path() / "saved";
      fs::copy(game_.Path(), saved, fs::copy_options::recursive);
      const auto start = std::chrono::steady_clock::now();
      EXPECT_EQ(Run("calibration.txt"), 0) << ReadFile(scratch_.Path() / "calibration.txt");
      const auto took = std::chrono::steady_clock::now() - start;
      fs::remove_all(game_.Path());
      fs::rename(saved, game_.Path());
      return std::chrono::duration_cast<std::chrono::milliseconds>(took);
    }();
    return length;
  }

  int Run(const std::string& output) { return RunToEnd(game_.Launcher(kHeadless, scratch_.Path() / output), kPatience); }

  // The game's files but the launcher's own (its program, records, lock,
  // log and partial downloads) and the client.
  Files GameFiles() const {
    Files files;
    for (const auto& [name, content] : Tree(game_.Path())) {
      if (content == "<dir>" || name == "client.exe" || name == "farLaunch.exe" || name == "updatecfg.xml" ||
          name == "farLaunch.log" || name == "farLaunch.lock" || name.find(".part") != std::string::npos) {
        continue;
      }
      files[name] = content;
    }
    return files;
  }

  // The game is the release its record names, nothing of the launcher's
  // temporaries left.
  void ExpectTheRecordedRelease(const std::string& when) {
    const std::string code = game_.InstalledVersion()["PackageCode"];
    const auto release = std::find(kCodes.begin(), kCodes.end(), code);
    ASSERT_NE(release, kCodes.end()) << when << ": " << code;
    const Files& expected = TheChain().releases[static_cast<std::size_t>(release - kCodes.begin())];
    const Files actual = GameFiles();
    EXPECT_TRUE(actual == expected) << when << ": the game is not release " << code << Difference(expected, actual);
  }

  static std::string Difference(const Files& expected, const Files& actual) {
    std::string text;
    for (const auto& [name, content] : expected) {
      const auto found = actual.find(name);
      if (found == actual.end()) text += "\n  missing " + name;
      else if (found->second != content) text += "\n  differs " + name;
    }
    for (const auto& [name, content] : actual) {
      if (expected.count(name) == 0) text += "\n  extra " + name;
    }
    return text;
  }

  Scratch scratch_;
  RangeHttpServer server_;
  GameDirectory game_;
};

TEST_P(InterruptionTrial, TheGameIsAlwaysTheReleaseItsRecordNames) {
  std::mt19937 random(static_cast<std::uint32_t>(GetParam()));
  const bool kill9 = random() % 2 == 0;
  const auto moment = std::chrono::milliseconds(random() % static_cast<std::uint32_t>(HealthyRunLength().count() + 1));
  {
    ChildProcess launcher(game_.Launcher(kHeadless, scratch_.Path() / "stopped.txt"));
    std::this_thread::sleep_for(moment);
    launcher.Signal(kill9 ? SIGKILL : SIGTERM);
    const std::optional<int> status = launcher.WaitForExit(kPatience);
    ASSERT_TRUE(status);
    const std::string recorded = game_.InstalledVersion()["PackageCode"];
    std::cout << (kill9 ? "kill -9" : "SIGTERM") << " after " << moment.count() << " ms: recorded " << recorded
              << (game_.Has("farLaunch.journal") ? ", an entry journaled" : "") << std::endl;
    SCOPED_TRACE((kill9 ? "kill -9" : "SIGTERM") + std::string(" after ") + std::to_string(moment.count()) +
                 " ms, recorded " + recorded);
    if (!kill9) {
      // A stop before the end is a failure (the signal's own status before
      // the console took it over, in the first milliseconds); one after
      // it, the run's own end.
      if (recorded == kCodes.back()) {
        EXPECT_EQ(*status, 0) << ReadFile(scratch_.Path() / "stopped.txt");
      } else {
        EXPECT_TRUE(*status == 1 || *status == 128 + SIGTERM) << *status << ReadFile(scratch_.Path() / "stopped.txt");
      }
      EXPECT_FALSE(game_.Has("farLaunch.journal"));
      ExpectTheRecordedRelease("after SIGTERM");
    } else {
      // The next start settles what the kill left before anything else.
      Publish(static_cast<std::size_t>(std::find(kCodes.begin(), kCodes.end(), recorded) - kCodes.begin()) + 1);
      EXPECT_EQ(Run("settled.txt"), 0) << ReadFile(scratch_.Path() / "settled.txt");
      EXPECT_FALSE(game_.Has("farLaunch.journal"));
      EXPECT_EQ(game_.InstalledVersion()["PackageCode"], recorded);
      ExpectTheRecordedRelease("after kill -9 and a start");
      Publish(kCodes.size());
    }
  }
  EXPECT_EQ(Run("healthy.txt"), 0) << ReadFile(scratch_.Path() / "healthy.txt");
  EXPECT_EQ(game_.InstalledVersion()["PackageCode"], kCodes.back());
  ExpectTheRecordedRelease("after a healthy start");
  for (const auto& [name, content] : Tree(game_.Path())) {
    EXPECT_EQ(name.rfind("tmpFile", 0), std::string::npos) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, InterruptionTrial,
                         ::testing::Range(INTERRUPTION_FIRST_SEED, INTERRUPTION_FIRST_SEED + INTERRUPTION_TRIALS));

}  // namespace
}  // namespace e2e
