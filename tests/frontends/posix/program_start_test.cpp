// Starting the game client: found whatever the letter case of its name, and
// a Windows client receiving through wine exactly its parameter string.
#include "frontends/posix/program_start.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/code_page_text.h"
#include "support/temp_dir.h"
#include "support/wine_client.h"

namespace frontends::posix {
namespace {

namespace fs = std::filesystem;

// Waits for a file the detached program writes.
bool WaitFor(const fs::path& file, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!fs::exists(file)) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The parameter string of a login on a server whose name holds a blank.
std::string Parameters(const std::string& area) {
  return "ur;ip=127.0.0.1;port=7003;areaname=" + area + ";tx_ip=127.0.0.1;LT=0;UNAME=demo;SERIAL=SN-1;UID=1;" +
         "SERVERID=3;SERVERNAME=" + area + ";PayUrl=http://127.0.0.1/pay;Server=S3;Qid=Q1;" +
         "ClientUrl=http://127.0.0.1/client;CurServerID=3";
}

TEST(WineArguments, ThePiecesBetweenBlanksAreExactUnlessWineWouldChangeThem) {
  bool exact = false;
  EXPECT_EQ(WineArguments("ur;areaname=Harbour East;x=1", exact),
            (std::vector<std::string>{"ur;areaname=Harbour", "East;x=1"}));
  EXPECT_TRUE(exact);
  EXPECT_EQ(WineArguments("", exact), std::vector<std::string>{});
  EXPECT_TRUE(exact);
  // What wine's joining would not give back.
  EXPECT_EQ(WineArguments("a  b ", exact), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(exact) << "a run of blanks and a blank at the end";
  EXPECT_EQ(WineArguments("a\tb", exact), std::vector<std::string>{"a\tb"});
  EXPECT_FALSE(exact) << "wine quotes a piece holding a tab";
  WineArguments("name=\"x\"", exact);
  EXPECT_FALSE(exact) << "wine writes a quote as \\\"";
}

TEST(StartGameProgram, TheClientIsFoundWhateverTheLetterCaseOfItsName) {
  CurrentTempDir dir;
  std::ofstream("Client.exe") << "#!/bin/sh\nprintf '%s' \"$1\" > args.part && mv args.part args.txt\n";
  fs::permissions("Client.exe", fs::perms::owner_all);
  std::string problem;
  const std::string parameters = Parameters(Gbk("港口 东区"));
  ASSERT_TRUE(StartGameProgram(".\\client.exe", parameters, 936, problem)) << problem;
  ASSERT_TRUE(WaitFor("args.txt", std::chrono::seconds(30)));
  EXPECT_EQ(ReadFile("args.txt"), Parameters("港口 东区")) << "a native client gets one UTF-8 argument";
}

TEST(StartGameProgram, AWindowsClientSeesItsParameterStringByteForByte) {
  if (const std::optional<std::string> missing = WineMissing()) GTEST_SKIP() << *missing;
  const WinePrefix prefix;
  CurrentTempDir dir;
  fs::copy_file(*WindowsClient(), "client.exe");
  fs::permissions("client.exe", fs::perms::owner_all);
  const std::string parameters = Parameters(Gbk("港口 东区"));
  std::string problem;
  ASSERT_TRUE(StartGameProgram(".\\client.exe", parameters, 936, problem)) << problem;
  // The first start of wine sets its prefix up; that takes a while.
  ASSERT_TRUE(WaitFor("client-command-line.txt", std::chrono::seconds(240)));
  const std::optional<WindowsCommandLine> seen = ReadWindowsCommandLine(".");
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->codePage, 936u) << "Chinese text arrives in the launcher's code page";
  EXPECT_EQ(seen->parameters, parameters);
  const std::string tail = " " + parameters;
  ASSERT_GT(seen->commandLine.size(), tail.size());
  EXPECT_EQ(seen->commandLine.substr(seen->commandLine.size() - tail.size()), tail);
  EXPECT_EQ(seen->commandLine.front(), '"') << "the program's own name comes first, quoted";
}

}  // namespace
}  // namespace frontends::posix
