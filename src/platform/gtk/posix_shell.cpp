#include "platform/gtk/posix_shell.h"

#include <gio/gio.h>

#include <fstream>
#include <vector>

#include "base/ox_path.h"
#include "platform/gtk/gtk_text.h"

namespace platform::gtk {
namespace {

bool IsWindowsExecutable(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[2] = {};
  return in.read(magic, 2) && magic[0] == 'M' && magic[1] == 'Z';
}

}  // namespace

bool PosixShell::StartProgram(const std::string& program, const std::string& parameters) {
  std::string path = ox_base::NativePath(program);
  if (path.find('/') == std::string::npos) {
    path = "./" + path;  // never searched on PATH: it is a file of the game directory
  }
  std::vector<std::string> argv;
  if (IsWindowsExecutable(path)) {
    gchar* wine = g_find_program_in_path("wine");
    if (wine == nullptr) {
      return false;
    }
    argv.push_back(wine);
    g_free(wine);
  }
  argv.push_back(path);
  if (!parameters.empty()) {
    argv.push_back(ToUtf8(parameters));
  }
  std::vector<gchar*> raw;
  for (std::string& arg : argv) {
    raw.push_back(arg.data());
  }
  raw.push_back(nullptr);
  return g_spawn_async(nullptr, raw.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, nullptr) != FALSE;
}

bool PosixShell::OpenInBrowser(const std::string& url) {
  return g_app_info_launch_default_for_uri(ToUtf8(url).c_str(), nullptr, nullptr) != FALSE;
}

}  // namespace platform::gtk
