// The factory farlaunch-webkit.so exports to the window module that loads it.
#include "frontends/gtk/web_view.h"
#include "frontends/webkit/webkit_view.h"

frontends::gtk::WebView* farlaunch_create_web_view(const frontends::gtk::WebViewEvents& events) {
  return new frontends::webkit::WebKitView(events);
}
