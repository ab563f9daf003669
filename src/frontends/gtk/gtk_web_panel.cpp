#include "frontends/gtk/gtk_web_panel.h"

#include "frontends/gtk/gtk_text.h"

namespace frontends::gtk {
namespace {

struct TextRequest {
  bool done = false;
  std::string text;
};

constexpr const char* kVisibleTextScript =
    "document.documentElement ? document.documentElement.innerText : ''";

}  // namespace

GtkWebPanel::GtkWebPanel(EventGate& gate, std::function<void()> onDownloadComplete,
                         std::function<void()> onNavigateComplete)
    : gate_(gate),
      onDownloadComplete_(std::move(onDownloadComplete)),
      onNavigateComplete_(std::move(onNavigateComplete)),
      // The panel holds the view itself, whichever container shows it.
      view_(WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()))) {
  g_signal_connect(view_.get(), "load-changed", G_CALLBACK(OnLoadChanged), this);
}

GtkWebPanel::~GtkWebPanel() { g_signal_handlers_disconnect_by_data(view_.get(), this); }

void GtkWebPanel::Place(GtkLayout* layout, const platform::Rect& rect, bool visible) {
  GtkWidget* widget = Widget();
  if (gtk_widget_get_parent(widget) == nullptr) {
    gtk_layout_put(layout, widget, rect.left, rect.top);
  } else {
    gtk_layout_move(layout, widget, rect.left, rect.top);
  }
  gtk_widget_set_size_request(widget, std::max(rect.Width(), 0), std::max(rect.Height(), 0));
  gtk_widget_set_visible(widget, visible && rect.Width() > 0 && rect.Height() > 0);
}

void GtkWebPanel::Navigate(const std::string& url) { webkit_web_view_load_uri(view_.get(), ToUtf8(url).c_str()); }

void GtkWebPanel::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
  if (event != WEBKIT_LOAD_FINISHED) {
    return;
  }
  auto* panel = static_cast<GtkWebPanel*>(self);
  panel->gate_.Deliver([panel] {
    panel->onDownloadComplete_();
    panel->onNavigateComplete_();
  });
}

std::string GtkWebPanel::VisibleText() {
  TextRequest request;
  webkit_web_view_evaluate_javascript(
      view_.get(), kVisibleTextScript, -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* req = static_cast<TextRequest*>(data);
        const GObjectRef<JSCValue> value(
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr));
        if (value && jsc_value_is_string(value.get())) {
          req->text = GlibText(jsc_value_to_string(value.get())).get();
        }
        req->done = true;
      },
      &request);
  // The answer comes through the main loop; the launcher's own handlers
  // wait behind the gate meanwhile.
  EventGate::Hold hold(gate_);
  while (!request.done) {
    g_main_context_iteration(nullptr, TRUE);
  }
  return request.text;
}

}  // namespace frontends::gtk
