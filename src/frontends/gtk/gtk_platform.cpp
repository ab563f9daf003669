#include "frontends/gtk/gtk_platform.h"

#include <glib-unix.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace frontends::gtk {

std::unique_ptr<GtkPlatform> GtkPlatform::Create(WebEngineLoad loadWebEngine) {
  // Without a GPU (and under Xvfb) WebKit must not try accelerated
  // compositing; a setting made by the user wins. Nothing of the window
  // draws with OpenGL either, and GDK's probe of it (half a second with a
  // software renderer) would only delay the first frame.
  setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0);
  setenv("GDK_GL", "disable", 0);
  AccessibilityBridge accessibility;
  const bool opened = gtk_init_check(nullptr, nullptr);
  accessibility.InitDone();
  if (!opened) {
    return nullptr;
  }
  return std::unique_ptr<GtkPlatform>(new GtkPlatform(accessibility, std::move(loadWebEngine)));
}

GtkPlatform::GtkPlatform(AccessibilityBridge accessibility, WebEngineLoad loadWebEngine)
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
          [this] { EndRun(0); }, [this] { OnFirstFrame(); })),
      dialogs_([this] { return window_ ? window_->Widget() : nullptr; }),
      accessibility_(accessibility),
      webEngine_(std::move(loadWebEngine)) {}

void GtkPlatform::OnFirstFrame() {
  webEngine_.Start([this](WebViewFactory factory, const std::string& error) {
    if (factory != nullptr) {
      webPanel_.AttachView(factory);
    } else {
      // The window works on without its news page.
      std::fprintf(stderr, "farLaunch.exe: no news page: %s\n", error.c_str());
    }
  });
  accessibility_.Start();
}

GtkPlatform::~GtkPlatform() {
  // The window is destroyed first, while all it was made with is still there.
  window_.reset();
}

int GtkPlatform::Run(platform::WindowEvents& events) {
  events_ = &events;
  uiThread_.SetEvents(&events);
  closedWith_ = 0;
  {
    // A log-out, a shut-down or Ctrl+C in the terminal closes the window as
    // the window manager would; after Run, they end the process as usual.
    const EventSource hangUp(g_unix_signal_add(SIGHUP, OnCloseSignal<SIGHUP>, this));
    const EventSource interrupt(g_unix_signal_add(SIGINT, OnCloseSignal<SIGINT>, this));
    const EventSource terminate(g_unix_signal_add(SIGTERM, OnCloseSignal<SIGTERM>, this));
    g_main_loop_run(loop_.get());
  }
  uiThread_.SetEvents(nullptr);
  events_ = nullptr;
  return closedWith_;
}

template <int Signal>
gboolean GtkPlatform::OnCloseSignal(gpointer self) {
  static_cast<GtkPlatform*>(self)->EndRun(platform::kClosedBySignal + Signal);
  return G_SOURCE_CONTINUE;
}

void GtkPlatform::EndRun(int closedWith) {
  closedWith_ = closedWith;
  window_->Withdraw();
  g_main_loop_quit(loop_.get());
}

}  // namespace frontends::gtk
