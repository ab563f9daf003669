#pragma once
// The news panel's view on WebKitGTK. Only http and https pages are shown.
#include <webkit2/webkit2.h>

#include "frontends/gtk/owned.h"
#include "frontends/gtk/web_view.h"

namespace frontends::webkit {

class WebKitView : public gtk::WebView {
 public:
  explicit WebKitView(gtk::WebViewEvents events);
  ~WebKitView() override;
  WebKitView(const WebKitView&) = delete;
  WebKitView& operator=(const WebKitView&) = delete;

  GtkWidget* Widget() const override { return GTK_WIDGET(view_.get()); }
  void Navigate(const std::string& utf8Address) override;
  void ReadVisibleText(std::function<void(std::string)> done) override;

 private:
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 gpointer self);

  gtk::WebViewEvents events_;
  gtk::GObjectRef<WebKitWebView> view_;
};

}  // namespace frontends::webkit
