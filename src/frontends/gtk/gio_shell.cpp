#include "frontends/gtk/gio_shell.h"

#include <gio/gio.h>

#include "frontends/gtk/gtk_text.h"
#include "frontends/posix/program_start.h"

namespace frontends::gtk {

platform::StartResult GioShell::StartProgram(const std::string& program, const std::string& parameters) {
  platform::StartResult result;
  result.started = posix::StartGameProgram(program, parameters, ox_base::kLauncherCodePage, result.problem);
  return result;
}

bool GioShell::OpenInBrowser(const std::string& url) {
  return g_app_info_launch_default_for_uri(ToUtf8(url).c_str(), nullptr, nullptr) != FALSE;
}

}  // namespace frontends::gtk
