#include "frontends/gtk/gtk_web_panel.h"

#include "base/ox_base.h"
#include "base/ox_log.h"
#include "frontends/gtk/gtk_text.h"

namespace frontends::gtk {
namespace {

struct TextRequest {
  bool done = false;
  std::string text;
};

constexpr const char* kVisibleTextScript =
    "document.documentElement ? document.documentElement.innerText : ''";

// The page decides which server the game connects to: it must neither come
// from nor lead to local files or other schemes.
bool IsWebAddress(const char* uri) {
  return uri != nullptr && (g_ascii_strncasecmp(uri, "http:", 5) == 0 || g_ascii_strncasecmp(uri, "https:", 6) == 0);
}

}  // namespace

GtkWebPanel::GtkWebPanel(EventGate& gate, std::function<void()> onDownloadComplete,
                         std::function<void()> onNavigateComplete)
    : gate_(gate),
      onDownloadComplete_(std::move(onDownloadComplete)),
      onNavigateComplete_(std::move(onNavigateComplete)),
      // The panel holds the view itself, whichever container shows it.
      view_(WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()))) {
  g_signal_connect(view_.get(), "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(view_.get(), "decide-policy", G_CALLBACK(OnDecidePolicy), nullptr);
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

gboolean GtkWebPanel::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                     gpointer) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    return FALSE;
  }
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (IsWebAddress(uri)) return FALSE;
  webkit_policy_decision_ignore(decision);
  // farLaunch.log takes the base library's errors.
  const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
  if (root) {
    root->GetChild("farLaunch")->Error("news page (%s): refused: the panel shows only http and https pages\n",
                                       uri != nullptr ? uri : "");
  }
  return TRUE;
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
