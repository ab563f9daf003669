#include "frontends/gtk/gtk_web_panel.h"

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "frontends/gtk/gtk_text.h"

namespace frontends::gtk {

GtkWebPanel::GtkWebPanel(EventGate& gate, std::function<void()> onDownloadComplete,
                         std::function<void()> onNavigateComplete)
    : gate_(gate),
      onDownloadComplete_(std::move(onDownloadComplete)),
      onNavigateComplete_(std::move(onNavigateComplete)) {}

GtkWebPanel::~GtkWebPanel() = default;

WebViewEvents GtkWebPanel::ViewEvents() {
  WebViewEvents events;
  events.loadFinished = [this] {
    gate_.Deliver([this] {
      onDownloadComplete_();
      onNavigateComplete_();
    });
  };
  events.refused = [](const std::string& address) {
    // farLaunch.log takes the base library's errors.
    const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
    if (root) {
      root->GetChild("farLaunch")->Error("news page (%s): refused: the panel shows only http and https pages\n",
                                         address.c_str());
    }
  };
  return events;
}

void GtkWebPanel::AttachView(WebViewFactory factory) {
  view_.reset(factory(ViewEvents()));
  ApplyPlacement();
  if (waitingNavigation_) {
    view_->Navigate(*waitingNavigation_);
    waitingNavigation_.reset();
  }
}

void GtkWebPanel::Place(GtkLayout* layout, const platform::Rect& rect, bool visible) {
  placement_ = Placement{layout, rect, visible};
  ApplyPlacement();
}

void GtkWebPanel::ApplyPlacement() {
  GtkWidget* widget = Widget();
  if (widget == nullptr || !placement_) {
    return;
  }
  const Placement& at = *placement_;
  if (gtk_widget_get_parent(widget) == nullptr) {
    gtk_layout_put(at.layout, widget, at.rect.left, at.rect.top);
  } else {
    gtk_layout_move(at.layout, widget, at.rect.left, at.rect.top);
  }
  gtk_widget_set_size_request(widget, std::max(at.rect.Width(), 0), std::max(at.rect.Height(), 0));
  gtk_widget_set_visible(widget, at.visible && at.rect.Width() > 0 && at.rect.Height() > 0);
}

void GtkWebPanel::Navigate(const std::string& url) {
  if (view_) {
    view_->Navigate(ToUtf8(url));
  } else {
    // Only the latest address counts, as a navigation replaces the one
    // before.
    waitingNavigation_ = ToUtf8(url);
  }
}

std::string GtkWebPanel::VisibleText() {
  if (!view_) {
    return "";
  }
  bool done = false;
  std::string text;
  view_->ReadVisibleText([&done, &text](std::string answer) {
    text = std::move(answer);
    done = true;
  });
  // The answer comes through the main loop; the launcher's own handlers
  // wait behind the gate meanwhile.
  EventGate::Hold hold(gate_);
  while (!done) {
    g_main_context_iteration(nullptr, TRUE);
  }
  return text;
}

}  // namespace frontends::gtk
