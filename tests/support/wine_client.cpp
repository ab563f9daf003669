#include "support/wine_client.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include <sys/wait.h>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

bool OnPath(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

std::optional<fs::path> WindowsClient() {
  const fs::path client = FARLAUNCH_WINDOWS_CLIENT;
  if (client.empty() || !fs::exists(client)) return std::nullopt;
  return client;
}

std::optional<bool> WindowMinimised(const std::string& windowClass, const std::string& display) {
  const std::string command = "DISPLAY='" + display + "' wine '" + std::string(FARLAUNCH_WINDOW_PROBE) + "' " +
                              windowClass + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) return std::nullopt;
  return WEXITSTATUS(status) == 1;
}

std::optional<std::string> WineMissing() {
  if (!WindowsClient()) return "no stand-in Windows client: x86_64-w64-mingw32-gcc was missing at configure time";
  if (!OnPath("wine") || !OnPath("wineserver")) return "wine is not installed (scripts/setup installs it)";
  return std::nullopt;
}

std::optional<WindowsCommandLine> ReadWindowsCommandLine(const fs::path& directory) {
  const fs::path file = directory / "client-command-line.txt";
  if (!fs::exists(file)) return std::nullopt;
  std::istringstream lines(ReadFile(file));
  WindowsCommandLine record;
  std::string acp;
  if (!std::getline(lines, acp) || acp.rfind("acp ", 0) != 0) return std::nullopt;
  record.codePage = static_cast<unsigned>(std::stoul(acp.substr(4)));
  std::getline(lines, record.commandLine);
  std::getline(lines, record.parameters);
  return record;
}

// No menu entries in the user's desktop, no offer to download .NET or the
// HTML engine while the prefix is set up.
WinePrefix::WinePrefix()
    : environment_{{"WINEPREFIX", FARLAUNCH_WINE_PREFIX}, {"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "winemenubuilder.exe,mscoree,mshtml=d"}} {
  for (const auto& [name, value] : environment_) {
    const char* old = std::getenv(name.c_str());
    saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    setenv(name.c_str(), value.c_str(), 1);
  }
}

WinePrefix::~WinePrefix() {
  // Also ends what the launcher started there and left running.
  std::system("wineserver -k >/dev/null 2>&1");
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}
