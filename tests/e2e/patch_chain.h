#pragma once
// A game directory at release 0001 of a chain of four releases (three
// patches, the last with an untyped file item, bytes that do not
// compress), served by a loopback server, and the checks that the game is
// the release its record names.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "e2e/e2e_harness.h"
#include "support/range_http_server.h"
#include "update/published_document.h"
#include "update/update_files.h"

namespace e2e {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;
inline const std::vector<std::string> kHeadless = {"--headless", "--exit-on-finish"};
inline const std::vector<std::string> kCodes = {"0001", "0002", "0003", "0004"};

// Bytes that do not compress, so that every download and unpack takes a
// while.
inline std::string Noise(std::mt19937& random, std::size_t size) {
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

inline const Chain& TheChain() {
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

class PatchChainGame : public ::testing::Test {
 protected:
  PatchChainGame() : game_(scratch_.Path() / "game") {
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
  void Publish(std::size_t count) { server_.Put("/servercfg.xml", Document(count).Text()); }

  // The server document of the chain up to release `count` - 1.
  ServerDocument Document(std::size_t count) {
    ServerDocument document;
    for (std::size_t i = 0; i < count; ++i) {
      ServerVersion version{"1", "0", std::to_string(i + 1), kCodes[i], {}};
      if (i > 0) version.items.push_back({"normal", "patch", server_.Url("/patch-" + kCodes[i] + ".zip")});
      if (i == 3) version.items.push_back({"file", "data\\notes.bin", server_.Url("/notes.bin")});
      document.versions.push_back(version);
    }
    return document;
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

}  // namespace e2e
