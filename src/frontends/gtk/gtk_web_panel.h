#pragma once
// The web panel (control 1005). It stands in for the engine's view until
// the engine is loaded (see web_view.h): placements and the latest
// navigation wait and are handed over when the view comes. A finished load
// reports "download complete" and then "navigate complete": the page is
// whole by then, so its visible text can be read at once.
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "frontends/gtk/event_gate.h"
#include "frontends/gtk/web_view.h"
#include "platform/seam.h"

namespace frontends::gtk {

class GtkWebPanel : public platform::WebPanel {
 public:
  GtkWebPanel(EventGate& gate, std::function<void()> onDownloadComplete, std::function<void()> onNavigateComplete);
  ~GtkWebPanel() override;
  GtkWebPanel(const GtkWebPanel&) = delete;
  GtkWebPanel& operator=(const GtkWebPanel&) = delete;

  // The engine's view once it has come; nullptr before.
  GtkWidget* Widget() const { return view_ ? view_->Widget() : nullptr; }
  // Puts the panel at `rect` of `layout`, asking for exactly that size; an
  // empty rectangle hides it.
  void Place(GtkLayout* layout, const platform::Rect& rect, bool visible);
  // Makes the view with the engine's factory and shows it where the panel
  // was placed, with the navigation asked for meanwhile.
  void AttachView(WebViewFactory factory);
  // Events for the engine's view.
  WebViewEvents ViewEvents();

  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

 private:
  struct Placement {
    GtkLayout* layout;
    platform::Rect rect;
    bool visible;
  };
  void ApplyPlacement();

  EventGate& gate_;
  std::function<void()> onDownloadComplete_;
  std::function<void()> onNavigateComplete_;
  std::optional<Placement> placement_;
  std::optional<std::string> waitingNavigation_;  // UTF-8
  std::unique_ptr<WebView> view_;
};

}  // namespace frontends::gtk
