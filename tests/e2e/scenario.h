#pragma once
// One end-to-end scenario's world: a scratch folder holding the demo site
// (and, when asked, the FTP peer that collects crash dumps) and the game
// directory, plus the expectations both front ends share.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include "e2e/e2e_harness.h"
#include "net/ftp_test_server.h"

namespace e2e {

// The parameter string the stand-in client receives when the demo site's
// login record for user "demo" on server 1 is launched with LoginServer 0
// (UID is 10000 plus the byte sum of the name), as it writes it down.
inline const std::string kDemoLaunch =
    "ur;ip=127.0.0.1;port=7001;areaname=Harbour;tx_ip=127.0.0.1;LT=0;UNAME=demo;SERIAL=SN-10421;UID=10421;"
    "SERVERID=1;SERVERNAME=Harbour;PayUrl=http://127.0.0.1/pay;Server=S1;Qid=Q10421;"
    "ClientUrl=http://127.0.0.1/client;CurServerID=1\n";

// The game directory after the demo's chain 0001 -> 0003 (patches or the
// full package), besides farLaunch.exe, updatecfg.xml and client.exe.
inline const std::set<std::string> kVersion3Data = {"data/harbour.map", "data/maps/lighthouse.map", "readme.txt"};

// A crash dump left by the game: bytes that survive a text-mode transfer
// only by luck (CR LF, NUL, high bytes).
inline std::string CrashDumpBytes() {
  std::string bytes("MDMP\r\n\0\x01", 8);
  for (int i = 0; i < 4000; ++i) {
    bytes += static_cast<char>(i * 37 % 256);
  }
  return bytes;
}

inline bool IsUploadedDumpName(const std::string& name) {
  return std::regex_match(name, std::regex("game_[0-9]+_[0-9]{9}\\.dmp"));
}

struct ScenarioOptions {
  bool ftp = false;
  bool large = false;
  bool launcher = false;
};

class Scenario {
 public:
  explicit Scenario(const ScenarioOptions& options = {})
      : ftpHome_(MakeFolder(scratch_.Path() / "ftp")),
        ftp_(options.ftp ? std::make_unique<FtpTestServer>(ftpHome_) : nullptr),
        site_(scratch_.Path() / "site", SiteOptions{ftp_ ? std::optional<int>(ftp_->Port()) : std::nullopt, options.large, options.launcher}),
        game_(scratch_.Path() / "game") {}

  const DemoSite& Site() const { return site_; }
  GameDirectory& Game() { return game_; }
  std::filesystem::path Output(const std::string& name) const { return scratch_.Path() / name; }

  // A game directory at 1.0.1 with the launcher, reading `document`.
  void PrepareGame(const std::string& document, bool withClient) {
    game_.WriteVersionDocument(site_.Url(document));
    game_.AddLauncher();
    if (withClient) {
      game_.AddClient();
    }
  }

  // The launcher of the demo's 0004 (the built one with a marker line
  // appended) replaced the old one, executable, and 0004 was recorded.
  void ExpectNewLauncherInstalled() {
    const std::string marker = "\nfarLaunch demo update 0004\n";
    const std::string launcher = game_.Read("farLaunch.exe");
    EXPECT_EQ(launcher.substr(launcher.size() - std::min(launcher.size(), marker.size())), marker);
    EXPECT_TRUE(game_.IsExecutable("farLaunch.exe"));
    EXPECT_EQ(game_.InstalledVersion()["PackageCode"], "0004");
  }

  // The FTP account received the game's dump (CrashDumpBytes, left as
  // game.dmp) once, byte for byte, under a name of its own, and no dump is
  // left in the game directory.
  void ExpectCrashDumpUploaded() {
    std::set<std::string> uploaded;
    for (const auto& entry : std::filesystem::directory_iterator(ftpHome_)) {
      uploaded.insert(entry.path().filename().string());
    }
    ASSERT_EQ(uploaded.size(), 1u);
    EXPECT_TRUE(IsUploadedDumpName(*uploaded.begin())) << *uploaded.begin();
    EXPECT_EQ(ReadFile(ftpHome_ / *uploaded.begin()), CrashDumpBytes());
    for (const std::string& name : game_.Files()) {
      EXPECT_EQ(name.find(".dmp"), std::string::npos) << name;
    }
  }

  // Checks what the demo's chain to 1.0.3 leaves: the version document, the
  // data of the newest version, and no download or server document.
  void ExpectVersion3Installed() {
    const auto version = game_.InstalledVersion();
    EXPECT_EQ(version.count("PackageCode") ? version.at("PackageCode") : "", "0003");
    EXPECT_EQ(version.count("FileVersion") ? version.at("FileVersion") : "", "3");
    const std::filesystem::path newest = std::filesystem::path(FARLAUNCH_SOURCE_DIR) / "demo/versions/0003-1.0.3";
    for (const std::string& name : kVersion3Data) {
      EXPECT_EQ(game_.Read(name), ReadFile(newest / name)) << name;
    }
    EXPECT_FALSE(game_.Has("servercfg.xml"));
    for (const std::string& name : game_.Files()) {
      EXPECT_NE(name.rfind("farLaunch.download.", 0), 0u) << name << " is left";
    }
  }

 private:
  static std::filesystem::path MakeFolder(const std::filesystem::path& path) {
    std::filesystem::create_directories(path);
    return path;
  }

  Scratch scratch_;
  std::filesystem::path ftpHome_;
  std::unique_ptr<FtpTestServer> ftp_;
  DemoSite site_;
  GameDirectory game_;
};

}  // namespace e2e
