#pragma once
// The web engine's view behind the news panel. Loading the engine's
// libraries takes longer than everything else the window does at start-up,
// so the engine lives in a module of its own (farlaunch-webkit.so) that is
// loaded once the window's first frame is on the screen; GtkWebPanel stands
// in for the view until then.
#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace frontends::gtk {

// What the view reports, on the UI thread.
struct WebViewEvents {
  // A load has finished: the page is whole.
  std::function<void()> loadFinished;
  // A navigation to an address that is not a web page was refused.
  std::function<void(const std::string& utf8Address)> refused;
};

class WebView {
 public:
  virtual ~WebView() = default;
  // The engine's widget, held by the view.
  virtual GtkWidget* Widget() const = 0;
  virtual void Navigate(const std::string& utf8Address) = 0;
  // Asks for the visible text of the loaded document; `done` receives it
  // (UTF-8; empty without a document) from the main loop, later.
  virtual void ReadVisibleText(std::function<void(std::string)> done) = 0;
};

// Makes a view on the UI thread; the caller owns it.
using WebViewFactory = WebView* (*)(const WebViewEvents& events);

}  // namespace frontends::gtk

extern "C" {
// What farlaunch-webkit.so exports.
frontends::gtk::WebView* farlaunch_create_web_view(const frontends::gtk::WebViewEvents& events);
}

namespace frontends::gtk {
constexpr char kWebViewFactoryName[] = "farlaunch_create_web_view";
}  // namespace frontends::gtk
