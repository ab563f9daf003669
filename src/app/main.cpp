// farLaunch.exe: the launcher runs in the game directory (its current
// directory), in a window when a display is present and on the console
// otherwise.
#include <cstdlib>
#include <memory>

#include "app/cfarlaunch_app.h"
#include "platform/gtk/gtk_platform.h"
#include "platform/headless/headless_platform.h"
#include "update/launcher_messages.h"

namespace {

bool DisplayPresent() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

std::unique_ptr<platform::Platform> MakePlatform() {
  if (DisplayPresent()) {
    if (std::unique_ptr<platform::Platform> window = platform::gtk::GtkPlatform::Create()) {
      return window;
    }
  }
  return std::make_unique<platform::headless::HeadlessPlatform>(kLauncherCodePage);
}

}  // namespace

int main() {
  const std::unique_ptr<platform::Platform> platform = MakePlatform();
  CfarLaunchApp(*platform).InitInstance();
}
