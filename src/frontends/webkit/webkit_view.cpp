#include "frontends/webkit/webkit_view.h"

#include <memory>

namespace frontends::webkit {
namespace {

constexpr const char* kVisibleTextScript =
    "document.documentElement ? document.documentElement.innerText : ''";

// The page decides which server the game connects to: it must neither come
// from nor lead to local files or other schemes.
bool IsWebAddress(const char* uri) {
  return uri != nullptr && (g_ascii_strncasecmp(uri, "http:", 5) == 0 || g_ascii_strncasecmp(uri, "https:", 6) == 0);
}

}  // namespace

WebKitView::WebKitView(gtk::WebViewEvents events)
    : events_(std::move(events)),
      // The view holds the widget itself, whichever container shows it.
      view_(WEBKIT_WEB_VIEW(g_object_ref_sink(webkit_web_view_new()))) {
  g_signal_connect(view_.get(), "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(view_.get(), "decide-policy", G_CALLBACK(OnDecidePolicy), this);
}

WebKitView::~WebKitView() { g_signal_handlers_disconnect_by_data(view_.get(), this); }

void WebKitView::Navigate(const std::string& utf8Address) { webkit_web_view_load_uri(view_.get(), utf8Address.c_str()); }

void WebKitView::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
  if (event == WEBKIT_LOAD_FINISHED) {
    static_cast<WebKitView*>(self)->events_.loadFinished();
  }
}

gboolean WebKitView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                    gpointer self) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    return FALSE;
  }
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (IsWebAddress(uri)) return FALSE;
  webkit_policy_decision_ignore(decision);
  static_cast<WebKitView*>(self)->events_.refused(uri != nullptr ? uri : "");
  return TRUE;
}

void WebKitView::ReadVisibleText(std::function<void(std::string)> done) {
  // The request lives until the engine answers.
  auto* request = new std::function<void(std::string)>(std::move(done));
  webkit_web_view_evaluate_javascript(
      view_.get(), kVisibleTextScript, -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        const std::unique_ptr<std::function<void(std::string)>> answer(
            static_cast<std::function<void(std::string)>*>(data));
        const gtk::GObjectRef<JSCValue> value(
            webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr));
        std::string text;
        if (value && jsc_value_is_string(value.get())) {
          text = gtk::GlibText(jsc_value_to_string(value.get())).get();
        }
        (*answer)(std::move(text));
      },
      request);
}

}  // namespace frontends::webkit
