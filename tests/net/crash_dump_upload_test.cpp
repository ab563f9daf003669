#include "net/crash_dump_upload.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>

#include "ftp_test_server.h"
#include "scripted_http_server.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Bytes an ASCII-mode transfer would alter.
std::string DumpBytes(std::size_t size) {
  static const char pattern[] = {'M', 'D', 'M', 'P', '\r', '\n', '\n', '\0', '\r', '\x93', '\xa7', '\xff'};
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = pattern[(i * 7 + i / 13) % sizeof pattern];
  return bytes;
}

std::map<std::string, std::string> FilesIn(const fs::path& directory) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(directory)) {
    files[entry.path().filename().string()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<not a file>";
  }
  return files;
}

}  // namespace

class CrashDumpUpload : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(game_);
    fs::create_directory(home_);
    // The dump is looked for in the launcher's current directory.
    insideGame_.emplace(game_);
  }

  TempDir root_;
  fs::path game_ = root_.Path() / "game";
  fs::path home_ = root_.Path() / "ftp";
  std::optional<CurrentDirectory> insideGame_;
};

TEST_F(CrashDumpUpload, SendsTheDumpOnceUnderATimedNameAndRemovesIt) {
  FtpTestServer server(home_);
  const std::string dump = DumpBytes(150000);
  WriteFile(game_ / "game.dmp", dump);
  long long before = std::time(nullptr);
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  long long after = std::time(nullptr);

  auto received = FilesIn(home_);
  ASSERT_EQ(received.size(), 1u);
  const std::string name = received.begin()->first;
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(name, parts, std::regex(R"(game_(\d+)_(\d{9})\.dmp)"))) << name;
  long long seconds = std::stoll(parts[1]);
  EXPECT_GE(seconds, before);
  EXPECT_LE(seconds, after);
  EXPECT_EQ(received.begin()->second, dump);
  EXPECT_TRUE(fs::is_empty(game_));

  // Start-up calls it twice; the second call finds nothing to send.
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  EXPECT_EQ(FilesIn(home_).size(), 1u);
}

TEST_F(CrashDumpUpload, DumpsSentInOneSecondKeepNamesOfTheirOwn) {
  FtpTestServer server(home_);
  // Players crashing at the same time: their dumps reach the server within
  // the same second.
  std::set<std::string> contents;
  for (int player = 0; player < 5; ++player) {
    const std::string dump = "dump of player " + std::to_string(player);
    contents.insert(dump);
    WriteFile(game_ / "game.dmp", dump);
    EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  }
  std::set<std::string> received;
  for (const auto& [name, content] : FilesIn(home_)) received.insert(content);
  EXPECT_EQ(received, contents) << "none overwrote another";
}

TEST_F(CrashDumpUpload, DumpAboveTheLimitIsDeletedUnsent) {
  FtpTestServer server(home_);
  WriteFile(game_ / "game.dmp", DumpBytes(150001));
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  EXPECT_TRUE(fs::is_empty(home_));
  EXPECT_TRUE(fs::is_empty(game_));
}

TEST_F(CrashDumpUpload, EmptyDumpArrivesAsAnEmptyFile) {
  FtpTestServer server(home_);
  WriteFile(game_ / "game.dmp", "");
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  auto received = FilesIn(home_);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received.begin()->second, "");
  EXPECT_TRUE(fs::is_empty(game_));
}

TEST_F(CrashDumpUpload, OnlyAFileNamedGameDmpIsTouched) {
  FtpTestServer server(home_);
  WriteFile(game_ / "other.dmp", "x");
  WriteFile(game_ / "game.dmp.old", "y");
  fs::create_directory(game_ / "game.dmp");
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  EXPECT_TRUE(fs::is_empty(home_));
  EXPECT_EQ(FilesIn(game_), (std::map<std::string, std::string>{
                                {"game.dmp", "<not a file>"}, {"game.dmp.old", "y"}, {"other.dmp", "x"}}));
}

TEST_F(CrashDumpUpload, ADumpThatWasNotSentIsKeptForTheNextAttempt) {
  const std::string dump = DumpBytes(100);
  WriteFile(game_ / "game.dmp", dump);
  EXPECT_EQ(UploadCrashDump("127.0.0.1", RefusedPort()), "");
  EXPECT_EQ(FilesIn(game_), (std::map<std::string, std::string>{{"game.dmp", dump}}));

  // A server text that is empty or no host name goes nowhere.
  for (const char* server : {"", "127.0.0.1/../x@elsewhere"}) {
    EXPECT_EQ(UploadCrashDump(server, 0), "");
    EXPECT_EQ(FilesIn(game_), (std::map<std::string, std::string>{{"game.dmp", dump}}));
  }

  // The next attempt reaches the server.
  FtpTestServer server(home_);
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  ASSERT_EQ(FilesIn(home_).size(), 1u);
  EXPECT_EQ(FilesIn(home_).begin()->second, dump);
  EXPECT_TRUE(fs::is_empty(game_));
}

TEST_F(CrashDumpUpload, UnreadableDumpGivesTheReasonAndIsKept) {
  FtpTestServer server(home_);
  fs::create_symlink(root_.Path() / "vanished.dmp", game_ / "game.dmp");
  std::string result = UploadCrashDump("127.0.0.1", server.Port());
  EXPECT_NE(result, "");
  EXPECT_LE(result.size(), 253u);
  EXPECT_TRUE(fs::is_empty(home_));
  EXPECT_EQ(FilesIn(game_).size(), 1u);
  EXPECT_TRUE(fs::is_symlink(game_ / "game.dmp"));
}

TEST_F(CrashDumpUpload, DumpNameMatchesRegardlessOfCase) {
  FtpTestServer server(home_);
  WriteFile(game_ / "Game.DMP", "dump");
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  auto received = FilesIn(home_);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received.begin()->second, "dump");
  EXPECT_TRUE(fs::is_empty(game_));
}

// A run that ended mid-transfer left the dump under its upload name.
TEST_F(CrashDumpUpload, ADumpLeftUnderItsUploadNameGoesOutUnderThatName) {
  const std::string left = "game_1700000000_000000042.dmp";
  WriteFile(game_ / left, "interrupted");
  WriteFile(game_ / "game_notes.dmp", "the game's own");
  EXPECT_EQ(UploadCrashDump("127.0.0.1", RefusedPort()), "");
  EXPECT_EQ(FilesIn(game_).count(left), 1u);

  FtpTestServer server(home_);
  EXPECT_EQ(UploadCrashDump("127.0.0.1", server.Port()), "");
  EXPECT_EQ(FilesIn(home_), (std::map<std::string, std::string>{{left, "interrupted"}}));
  EXPECT_EQ(FilesIn(game_), (std::map<std::string, std::string>{{"game_notes.dmp", "the game's own"}}));
}
