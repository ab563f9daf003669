#include "frontends/gtk/web_engine_loader.h"

namespace frontends::gtk {

WebEngineLoader::~WebEngineLoader() {
  if (!worker_.joinable()) {
    return;
  }
  worker_.join();
  if (!delivered_) {
    g_source_remove(delivery_);
  }
}

void WebEngineLoader::Start(std::function<void(WebViewFactory, const std::string&)> loaded) {
  if (worker_.joinable()) {
    return;
  }
  loaded_ = std::move(loaded);
  worker_ = std::thread([this] {
    factory_ = load_(error_);
    delivery_ = g_idle_add(Deliver, this);
  });
}

gboolean WebEngineLoader::Deliver(gpointer self) {
  auto* loader = static_cast<WebEngineLoader*>(self);
  loader->delivered_ = true;
  loader->loaded_(loader->factory_, loader->error_);
  return G_SOURCE_REMOVE;
}

}  // namespace frontends::gtk
