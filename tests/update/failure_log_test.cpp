// farLaunch.log: one line per failure with its reason, the base library's
// errors beside them, bounded in size, and an echo for the console.
#include <regex>
#include <sstream>
#include <thread>

#include "base/log/ox_log.h"
#include "update/site/failure_log.h"
#include "update/site/failure_log_file.h"
#include "update/update_fixture.h"

namespace {

// Keeps the messages an echo receives.
class RecordingEcho : public ox_base::OxLogOutput {
 public:
  explicit RecordingEcho(std::vector<std::string>& lines) : OxLogOutput("recording echo"), lines_(lines) {}
  void Write(const ox_base::OxLogEvent& event) override { lines_.push_back(event.message); }

 private:
  std::vector<std::string>& lines_;
};

using FailureLogFacility = UpdateFixture;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(FailureLogFacility, OneLinePerFailureWithTheBaseLibrarysErrorsBeside) {
  LogFailure("before", "", "nothing is open yet");
  EXPECT_FALSE(dir.Has("farLaunch.log"));

  std::vector<std::string> echoed;
  ASSERT_TRUE(ox_base::oxBaseInit("+[base]\nName = \"patch\"\n[base.engine]\n", nullptr, 0));
  OpenFailureLog(ox_base::SmartPtr<ox_base::OxLogOutput>(new RecordingEcho(echoed)));
  EXPECT_FALSE(dir.Has("farLaunch.log")) << "no file until a failure comes";

  LogFailure("patch-0002.zip", "http://127.0.0.1/patch-0002.zip", "HTTP 404");
  LogFailure(Gbk("地图.zip"), "", "CRC mismatch in data/map.dat");
  ox_base::OxBase::GetBaseLog()->Error("OxFile: File open failed: %s\n", "data/x");
  ox_base::OxBase::GetRootLog()->Info("Base initialized.\n");

  const std::vector<std::string> lines = Lines(FailureLog());
  ASSERT_EQ(lines.size(), 3u) << FailureLog();
  const std::regex stamp(R"(\[\d{8} \d\d:\d\d:\d\d ERROR (farLaunch|Base)\] .*)");
  for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, stamp)) << line;
  EXPECT_NE(lines[0].find("] patch-0002.zip (http://127.0.0.1/patch-0002.zip): HTTP 404"), std::string::npos);
  EXPECT_NE(lines[1].find("] 地图.zip: CRC mismatch in data/map.dat"), std::string::npos) << "kept in UTF-8";
  EXPECT_NE(lines[2].find("ERROR Base] OxFile: File open failed: data/x"), std::string::npos);
  EXPECT_EQ(echoed.size(), 3u);
}

TEST_F(FailureLogFacility, FailuresOfSeveralThreadsAreAllKept) {
  OpenTheFailureLog();
  auto fail = [](const char* what) {
    for (int i = 0; i < 200; ++i) LogFailure(what, "", "reason " + std::to_string(i));
  };
  std::thread worker(fail, "worker");
  fail("window");
  worker.join();
  EXPECT_EQ(Lines(FailureLog()).size(), 400u);
}

TEST_F(FailureLogFacility, AFullFileMakesRoomAndKeepsThePreviousOne) {
  FailureLogFile file("farLaunch.log", 200, ox_base::kLauncherCodePage);
  ox_base::OxLogEvent event;
  event.category = "farLaunch";
  event.priority = ox_base::OX_LOG_ERROR;
  // Four lines fit in 200 bytes.
  for (int i = 0; i < 9; ++i) {
    event.message = "failure " + std::to_string(i) + "\n";
    file.Write(event);
  }
  const std::string current = dir.Read("farLaunch.log");
  const std::string previous = dir.Read("farLaunch.log.1");
  EXPECT_LE(current.size(), 200u);
  EXPECT_LE(previous.size(), 200u);
  EXPECT_NE(current.find("failure 8"), std::string::npos) << current;
  EXPECT_NE(previous.find("failure 4"), std::string::npos) << previous;
  EXPECT_NE(previous.find("failure 7"), std::string::npos) << previous;
  EXPECT_EQ((current + previous).find("failure 3"), std::string::npos) << "older lines give way";
}

}  // namespace
