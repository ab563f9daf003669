#include "platform/headless/process_shell.h"

#include <cstdlib>
#include <fstream>
#include <vector>

#include "base/ox_path.h"
#include "base/ox_unicode.h"
#include "platform/headless/spawn.h"

namespace platform::headless {
namespace {

bool IsWindowsExecutable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char magic[2] = {};
  return file.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

ProcessShell::ProcessShell(Console& console, unsigned codePage) : console_(console), codePage_(codePage) {}

bool ProcessShell::StartProgram(const std::string& program, const std::string& parameters) {
  std::string path = ox_base::NativePath(ox_base::CodePageToUtf8(program, codePage_));
  if (path.empty()) return false;
  // A bare name means the file in the current directory, as on Windows.
  if (path.find('/') == std::string::npos) path = "./" + path;
  std::vector<std::string> argv{path};
  if (IsWindowsExecutable(path)) {
    std::string wine = FindOnPath("wine");
    if (wine.empty()) {
      console_.PrintLine("[Shell] " + path + " is a Windows program and wine is not installed");
      return false;
    }
    argv.insert(argv.begin(), wine);
  }
  if (!parameters.empty()) argv.push_back(ox_base::CodePageToUtf8(parameters, codePage_));
  return SpawnDetached(argv);
}

bool ProcessShell::OpenInBrowser(const std::string& url) {
  std::string address = ox_base::CodePageToUtf8(url, codePage_);
  console_.PrintLine("[Browser] " + address);
  if (!HasDisplay()) return true;
  std::string opener = FindOnPath("xdg-open");
  return !opener.empty() && SpawnDetached({opener, address});
}

}  // namespace platform::headless
