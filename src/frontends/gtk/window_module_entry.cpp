// The factory farlaunch-gtk.so exports to the launcher that loads it.
#include "frontends/gtk/gtk_platform.h"
#include "frontends/posix/module_beside_program.h"
#include "platform/window_module.h"

namespace {

// The web engine's module lies beside the launcher, as this one does.
frontends::gtk::WebViewFactory LoadWebEngineModule(std::string& error) {
  std::string problem;
  void* factory = frontends::posix::LoadSymbolBesideProgram(FARLAUNCH_WEB_MODULE, frontends::gtk::kWebViewFactoryName,
                                                            problem);
  if (factory == nullptr) {
    error = "cannot load the web engine's module (" + problem + ")";
  }
  return reinterpret_cast<frontends::gtk::WebViewFactory>(factory);
}

}  // namespace

platform::Platform* farlaunch_create_window_platform() {
  return frontends::gtk::GtkPlatform::Create(LoadWebEngineModule).release();
}
