#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "frontends/console/console.h"
#include "frontends/console/process_shell.h"
#include "support/code_page_text.h"
#include "support/temp_dir.h"

namespace frontends::console {
namespace {

namespace fs = std::filesystem;

// A stand-in program: writes its argument count, working directory and
// arguments (one per line) to `record`, renaming at the end so a reader
// never sees half a file.
void WriteRecorder(const fs::path& script, const std::string& record) {
  std::ofstream(script) << "#!/bin/sh\n"
                        << "{ echo \"$#\"; pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > " << record
                        << ".part && /bin/mv " << record << ".part " << record << "\n";
  fs::permissions(script, fs::perms::owner_all);
}

// Waits for the detached program to leave its record.
std::string ReadRecord(const fs::path& record) {
  for (int i = 0; i < 1000 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return ReadFile(record);
}

class ProcessShellTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::current_path();  // the canonical form pwd prints
    out_ = std::tmpfile();
    console_ = std::make_unique<Console>(out_, false);
    shell_ = std::make_unique<ProcessShell>(*console_, 936);
    const char* path = std::getenv("PATH");
    path_ = path != nullptr ? path : "";
  }

  void TearDown() override {
    setenv("PATH", path_.c_str(), 1);
    std::fclose(out_);
  }

  CurrentTempDir temp_;
  fs::path dir_;
  std::FILE* out_ = nullptr;
  std::unique_ptr<Console> console_;
  std::unique_ptr<ProcessShell> shell_;
  std::string path_;
};

TEST_F(ProcessShellTest, HandsTheParametersOverAsOneArgumentInTheCurrentDirectory) {
  WriteRecorder(dir_ / "client.exe", "args.txt");
  // A client command line with spaces, quotes, shell characters and a
  // Chinese server name in the launcher's code page.
  const std::string parameters = "ur;ip=10.0.0.1;port=7000;areaname=" + Gbk("电信一区") +
                                 " \"quoted\" 'single' $HOME `id` *;UNAME=a b";
  ASSERT_TRUE(shell_->StartProgram(".\\client.exe", parameters));
  EXPECT_EQ(ReadRecord(dir_ / "args.txt"), "1\n" + dir_.string() + "\n" +
                                               "ur;ip=10.0.0.1;port=7000;areaname=电信一区 \"quoted\" 'single' "
                                               "$HOME `id` *;UNAME=a b\n");

  // A restart passes no parameters: no argument at all.
  fs::remove(dir_ / "args.txt");
  ASSERT_TRUE(shell_->StartProgram("client.exe", ""));
  EXPECT_EQ(ReadRecord(dir_ / "args.txt"), "0\n" + dir_.string() + "\n");
}

TEST_F(ProcessShellTest, ReportsProgramsThatCannotStart) {
  EXPECT_FALSE(shell_->StartProgram(".\\missing.exe", "x"));
  std::ofstream(dir_ / "plain.txt") << "not a program\n";
  EXPECT_FALSE(shell_->StartProgram("plain.txt", "x"));
  EXPECT_FALSE(shell_->StartProgram("", "x"));
}

TEST_F(ProcessShellTest, RunsWindowsProgramsThroughWineWhenItIsThere) {
  std::ofstream(dir_ / "game.exe", std::ios::binary) << "MZ\x90\0 a Windows program";
  setenv("PATH", (dir_ / "bin").c_str(), 1);
  EXPECT_FALSE(shell_->StartProgram(".\\game.exe", "ur;ip=1"));

  fs::create_directories(dir_ / "bin");
  WriteRecorder(dir_ / "bin" / "wine", "wine.txt");
  ASSERT_TRUE(shell_->StartProgram(".\\GAME.EXE", "ur;ip=1 2"));
  // Wine joins its arguments with blanks into the Windows command line.
  EXPECT_EQ(ReadRecord(dir_ / "wine.txt"), "3\n" + dir_.string() + "\n./game.exe\nur;ip=1\n2\n");
}

TEST_F(ProcessShellTest, OpensAddressesOnTheConsoleAndWithADisplayInTheBrowser) {
  const char* display = std::getenv("DISPLAY");
  std::string savedDisplay = display != nullptr ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  fs::create_directories(dir_ / "bin");
  WriteRecorder(dir_ / "bin" / "xdg-open", "browser.txt");
  setenv("PATH", (dir_ / "bin").c_str(), 1);

  EXPECT_TRUE(shell_->OpenInBrowser("http://example.com/download?a=1&b=2"));
  setenv("DISPLAY", ":99", 1);
  EXPECT_TRUE(shell_->OpenInBrowser("http://example.com/full"));
  std::string opened = ReadRecord(dir_ / "browser.txt");

  if (savedDisplay.empty()) {
    unsetenv("DISPLAY");
  } else {
    setenv("DISPLAY", savedDisplay.c_str(), 1);
  }
  EXPECT_EQ(opened, "1\n" + dir_.string() + "\nhttp://example.com/full\n");
  std::fflush(out_);
  std::rewind(out_);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof(line), out_), nullptr);
  EXPECT_STREQ(line, "[Browser] http://example.com/download?a=1&b=2\n");
}

}  // namespace
}  // namespace frontends::console
