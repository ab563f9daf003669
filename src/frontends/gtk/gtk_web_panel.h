#pragma once
// The web panel (control 1005) as a WebKitWebView. A finished load reports
// "download complete" and then "navigate complete": the page is whole by
// then, so its visible text can be read at once. Only http and https pages
// are shown.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>

#include "frontends/gtk/event_gate.h"
#include "frontends/gtk/owned.h"
#include "platform/seam.h"

namespace frontends::gtk {

class GtkWebPanel : public platform::WebPanel {
 public:
  GtkWebPanel(EventGate& gate, std::function<void()> onDownloadComplete, std::function<void()> onNavigateComplete);
  ~GtkWebPanel() override;
  GtkWebPanel(const GtkWebPanel&) = delete;
  GtkWebPanel& operator=(const GtkWebPanel&) = delete;

  GtkWidget* Widget() const { return GTK_WIDGET(view_.get()); }
  // Puts the panel at `rect` of `layout`, asking for exactly that size; an
  // empty rectangle hides it.
  void Place(GtkLayout* layout, const platform::Rect& rect, bool visible);

  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

 private:
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  // Lets the panel go only to http and https pages; a refusal is logged.
  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 gpointer unused);

  EventGate& gate_;
  std::function<void()> onDownloadComplete_;
  std::function<void()> onNavigateComplete_;
  GObjectRef<WebKitWebView> view_;
};

}  // namespace frontends::gtk
