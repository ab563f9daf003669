#include "platform/gtk/posix_shell.h"

#include <gio/gio.h>

#include "platform/gtk/gtk_text.h"
#include "platform/posix/program_start.h"

namespace platform::gtk {

bool PosixShell::StartProgram(const std::string& program, const std::string& parameters) {
  std::string problem;
  return posix::StartGameProgram(program, parameters, kLauncherCodePage, problem);
}

bool PosixShell::OpenInBrowser(const std::string& url) {
  return g_app_info_launch_default_for_uri(ToUtf8(url).c_str(), nullptr, nullptr) != FALSE;
}

}  // namespace platform::gtk
