#include "frontends/gtk/gtk_platform.h"

#include <cstdlib>

namespace frontends::gtk {

std::unique_ptr<GtkPlatform> GtkPlatform::Create() {
  // Without a GPU (and under Xvfb) WebKit must not try accelerated
  // compositing; a setting made by the user wins. Nothing of the window
  // draws with OpenGL either, and GDK's probe of it (half a second with a
  // software renderer) would only delay the first frame.
  setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
  setenv("GDK_GL", "disable", 0);
  if (!gtk_init_check(nullptr, nullptr)) {
    return nullptr;
  }
  return std::unique_ptr<GtkPlatform>(new GtkPlatform());
}

GtkPlatform::GtkPlatform()
    : loop_(g_main_loop_new(nullptr, FALSE)),
      uiThread_(gate_),
      webPanel_(
          gate_,
          [this] {
            if (events_ != nullptr) {
              events_->OnPageDownloadComplete();
            }
          },
          [this] {
            if (events_ != nullptr) {
              events_->OnPageNavigateComplete();
            }
          }),
      window_(std::make_unique<GtkMainWindow>(
          webPanel_,
          [this](int id) {
            gate_.Deliver([this, id] {
              if (events_ != nullptr) {
                events_->OnCommand(id);
              }
            });
          },
          [this] { g_main_loop_quit(loop_.get()); })),
      dialogs_([this] { return window_ ? window_->Widget() : nullptr; }) {}

GtkPlatform::~GtkPlatform() {
  // The window is destroyed first, while all it was made with is still there.
  window_.reset();
}

int GtkPlatform::Run(platform::WindowEvents& events) {
  events_ = &events;
  uiThread_.SetEvents(&events);
  g_main_loop_run(loop_.get());
  uiThread_.SetEvents(nullptr);
  events_ = nullptr;
  return 0;
}

}  // namespace frontends::gtk
