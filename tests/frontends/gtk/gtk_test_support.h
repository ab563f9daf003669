#pragma once
// Helpers for tests that open the real window.
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "frontends/gtk/gtk_platform.h"
#include "frontends/webkit/webkit_view.h"
#include "platform/canvas.h"

// Without an X server the window tests skip, except where the test runner
// promised one (scripts/test sets FARLAUNCH_REQUIRE_DISPLAY): there a
// missing display is a failure, so CI never passes them silently.
#define GTK_TEST_NEEDS_DISPLAY(platform)                                   \
  do {                                                                     \
    if (!(platform)) {                                                     \
      if (gtk_test::DisplayRequired()) FAIL() << "no X display";           \
      GTEST_SKIP() << "no X display";                                      \
    }                                                                      \
  } while (0)

namespace gtk_test {

// The web engine linked into the test instead of loaded from its module.
inline frontends::gtk::WebView* LinkedWebEngine(const frontends::gtk::WebViewEvents& events) {
  return new frontends::webkit::WebKitView(events);
}

// The window with the linked web engine; nullptr without a display.
inline std::unique_ptr<frontends::gtk::GtkPlatform> OpenWindow() {
  return frontends::gtk::GtkPlatform::Create([](std::string&) { return &LinkedWebEngine; });
}

inline bool DisplayRequired() {
  const char* required = std::getenv("FARLAUNCH_REQUIRE_DISPLAY");
  return required != nullptr && *required != '\0';
}

// Runs the main loop until `done` holds or the deadline passes.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = std::chrono::seconds(60)) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// What the X server shows on the whole screen; also saved as PNG at `path`.
inline platform::Bitmap Screenshot(const std::string& path) {
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root), gdk_window_get_height(root));
  platform::Bitmap bitmap;
  if (shot == nullptr) {
    return bitmap;
  }
  gdk_pixbuf_save(shot, path.c_str(), "png", nullptr, nullptr);
  bitmap.width = gdk_pixbuf_get_width(shot);
  bitmap.height = gdk_pixbuf_get_height(shot);
  const int channels = gdk_pixbuf_get_n_channels(shot);
  const int stride = gdk_pixbuf_get_rowstride(shot);
  const guchar* pixels = gdk_pixbuf_get_pixels(shot);
  bitmap.rgba.resize(static_cast<std::size_t>(bitmap.width) * bitmap.height * 4);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      const guchar* p = pixels + y * stride + x * channels;
      std::uint8_t* q = &bitmap.rgba[(static_cast<std::size_t>(y) * bitmap.width + x) * 4];
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
      q[3] = 255;
    }
  }
  g_object_unref(shot);
  return bitmap;
}

// True when `screen` shows `image` (from its corner) over `area`.
inline bool ShowsImage(const platform::Bitmap& screen, const platform::Bitmap& image, const platform::Rect& area) {
  if (screen.Empty() || image.Empty()) {
    return false;
  }
  for (int y = 0; y < area.Height() && y < image.height; ++y) {
    for (int x = 0; x < area.Width() && x < image.width; ++x) {
      if (screen.PixelAt(area.left + x, area.top + y) != image.PixelAt(x, y)) {
        return false;
      }
    }
  }
  return true;
}

// An events sink that records what the window delivers.
class RecordingEvents : public platform::WindowEvents {
 public:
  std::function<void(int)> onTimer = [](int) {};
  std::function<void(int)> onCommand = [](int) {};
  std::function<void()> onNavigateComplete = [] {};
  std::vector<std::uint32_t> messages;
  int downloadCompletes = 0;

  void OnTimer(int timerId) override { onTimer(timerId); }
  void OnMessage(std::uint32_t message, std::uintptr_t, std::intptr_t) override { messages.push_back(message); }
  void OnCommand(int controlId) override { onCommand(controlId); }
  void OnPageDownloadComplete() override { ++downloadCompletes; }
  void OnPageNavigateComplete() override { onNavigateComplete(); }
};

}  // namespace gtk_test
