#pragma once
// Loads the web engine (web_view.h) on a thread of its own, so that the
// window keeps drawing and answering while the engine's libraries load, and
// hands the engine's factory to the UI thread.
#include <glib.h>

#include <functional>
#include <string>
#include <thread>

#include "frontends/gtk/web_view.h"

namespace frontends::gtk {

// Runs on the loading thread: the factory, or nullptr and why not.
using WebEngineLoad = std::function<WebViewFactory(std::string& error)>;

class WebEngineLoader {
 public:
  explicit WebEngineLoader(WebEngineLoad load) : load_(std::move(load)) {}
  // Waits for a load under way; its result is not delivered any more.
  ~WebEngineLoader();
  WebEngineLoader(const WebEngineLoader&) = delete;
  WebEngineLoader& operator=(const WebEngineLoader&) = delete;

  // Starts the load (the first call only); `loaded` receives its result on
  // the UI thread.
  void Start(std::function<void(WebViewFactory factory, const std::string& error)> loaded);

 private:
  static gboolean Deliver(gpointer self);

  WebEngineLoad load_;
  std::function<void(WebViewFactory, const std::string&)> loaded_;
  std::thread worker_;
  // Written by the worker before it ends, read on the UI thread after.
  WebViewFactory factory_ = nullptr;
  std::string error_;
  guint delivery_ = 0;
  bool delivered_ = false;  // UI thread
};

}  // namespace frontends::gtk
