// Starting the game's client on Windows: its lpCmdLine is the parameter
// string byte for byte, in the game directory.
#include "frontends/windows_services/program_start.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "support/code_page_text.h"
#include "support/temp_dir.h"

namespace frontends::windows_services {
namespace {

using namespace std::chrono_literals;

// The stand-in client (tests/support/windows_client.c), built beside this
// test program.
std::filesystem::path StandInClient() {
  wchar_t self[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  return std::filesystem::path(std::wstring(self, length)).parent_path() / FARLAUNCH_WINDOWS_CLIENT;
}

struct ClientRecord {
  std::string codePage, commandLine, parameters;
};

// What the stand-in client (tests/support/windows_client.c) wrote in
// `directory`, once it has.
bool ReadClientRecord(const std::filesystem::path& directory, ClientRecord& record) {
  const std::string text = ReadFile(directory / "client-command-line.txt");
  std::istringstream lines(text);
  return std::getline(lines, record.codePage) && std::getline(lines, record.commandLine) &&
         std::getline(lines, record.parameters);
}

TEST(StartGameProgram, TheClientsLpCmdLineIsTheParameterStringByteForByte) {
  CurrentTempDir game;
  std::filesystem::copy_file(StandInClient(), game.Path() / "client.exe");
  // Chinese in the code page, runs of blanks, a tab, quotes and a blank at
  // the end: nothing is split, quoted or dropped.
  const std::string parameters = Gbk("ur;areaname=港口 东区;  two\tthen \"quoted\" \\\"end ");
  std::string problem;
  ASSERT_TRUE(StartGameProgram(".\\client.exe", parameters, 936, problem)) << problem;

  ClientRecord record;
  for (int i = 0; i < 300 && !ReadClientRecord(game.Path(), record); ++i) std::this_thread::sleep_for(100ms);
  EXPECT_EQ(record.codePage, "acp 936");
  EXPECT_EQ(record.parameters, parameters);
  const std::string tail = "client.exe\" " + parameters;
  ASSERT_GE(record.commandLine.size(), tail.size()) << record.commandLine;
  EXPECT_EQ(record.commandLine.substr(record.commandLine.size() - tail.size()), tail);
  EXPECT_EQ(record.commandLine.front(), '"');

  EXPECT_FALSE(StartGameProgram(".\\missing.exe", "", 936, problem));
  EXPECT_NE(problem.find("missing.exe could not be started"), std::string::npos) << problem;
}

}  // namespace
}  // namespace frontends::windows_services
