#pragma once
// The stand-in Windows client (tests/support/windows_client.c, built with
// MinGW when the cross compiler is installed), the window probe
// (window_probe.c) and the wine they run in: a
// wine prefix in the build tree, made on first use and kept between runs.
// Tests using it carry the label "wine": they take turns with the prefix.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

// The built client, or nothing when this build has none.
std::optional<std::filesystem::path> WindowsClient();

// How a top-level window of `windowClass` stands, asked through wine (in
// the prefix of the environment, on `display`): nothing when there is no
// such window, else whether it is minimised.
std::optional<bool> WindowMinimised(const std::string& windowClass, const std::string& display);

// Why wine tests cannot run here, or nothing when they can.
std::optional<std::string> WineMissing();

// What the client wrote down (client-command-line.txt).
struct WindowsCommandLine {
  unsigned codePage = 0;       // GetACP()
  std::string commandLine;     // GetCommandLineA()
  std::string parameters;      // WinMain's lpCmdLine
};
// The record in `directory`, once the client has written it; nothing when
// there is none (yet).
std::optional<WindowsCommandLine> ReadWindowsCommandLine(const std::filesystem::path& directory);

// The wine prefix of the tests for as long as the object lives: the
// variables that send wine there (and keep it quiet), set in this process
// too, so the programs it starts inherit them. Its wine server is stopped
// at the end, so no wine process outlives the test.
class WinePrefix {
 public:
  WinePrefix();
  ~WinePrefix();
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;

  const std::map<std::string, std::string>& Environment() const { return environment_; }

 private:
  std::map<std::string, std::string> environment_;
  std::map<std::string, std::optional<std::string>> saved_;
};
