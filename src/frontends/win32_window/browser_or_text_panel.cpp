#include "frontends/win32_window/browser_or_text_panel.h"

#include <utility>

namespace frontends::win32_window {

BrowserOrTextPanel::BrowserOrTextPanel(EmbeddedBrowser* browser, std::string whyNoBrowser,
                                       platform::WebPanel& textReader, Clock::duration patience,
                                       std::function<Clock::time_point()> now, std::function<void(Delivery)> deliver,
                                       std::function<void(const std::string&)> giveUp,
                                       std::function<void(const std::string&)> announce)
    : browser_(browser),
      whyNoBrowser_(std::move(whyNoBrowser)),
      textReader_(textReader),
      patience_(patience),
      now_(std::move(now)),
      deliver_(std::move(deliver)),
      giveUp_(std::move(giveUp)),
      announce_(std::move(announce)) {}

std::string BrowserOrTextPanel::OverdueReason(Clock::duration patience) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(patience).count();
  return "the browser control gave no document within " + std::to_string(seconds) + " s";
}

void BrowserOrTextPanel::Navigate(const std::string& url) {
  if (browser_ == nullptr) {
    if (!announced_) {
      announced_ = true;
      announce_("news page read as text: " + whyNoBrowser_);
    }
    textReader_.Navigate(url);
    return;
  }
  pendingUrl_ = url;
  due_ = now_() + patience_;
  if (!browser_->Navigate(url)) FallBack("the browser control refused " + url);
}

std::string BrowserOrTextPanel::VisibleText() { return browser_ != nullptr ? text_ : textReader_.VisibleText(); }

void BrowserOrTextPanel::NavigationEnded() {
  if (browser_ != nullptr && due_) due_ = now_() + patience_;
}

void BrowserOrTextPanel::DocumentCompleted() {
  if (browser_ == nullptr) return;
  std::optional<std::string> text = browser_->BodyText();
  if (!text) return;  // a frame's event, or no engine behind the control
  due_.reset();
  pendingUrl_.clear();
  if (!announced_) {
    announced_ = true;
    announce_("news page shown by the browser control");
  }
  // Handed on as the text reader hands on its pages: after this event has
  // returned, download first, then navigation.
  deliver_([this, text = std::move(*text)](platform::WindowEvents& events) {
    text_ = text;
    events.OnPageDownloadComplete();
    events.OnPageNavigateComplete();
  });
}

void BrowserOrTextPanel::CheckDeadline() {
  if (browser_ == nullptr || !due_ || now_() < *due_) return;
  if (browser_->HasDocument()) {
    due_.reset();  // an engine is there: its document completes when the page is in
  } else {
    FallBack(OverdueReason(patience_));
  }
}

void BrowserOrTextPanel::FallBack(const std::string& why) {
  browser_ = nullptr;
  due_.reset();
  announced_ = true;
  giveUp_(why);
  announce_("news page read as text: " + why);
  if (!pendingUrl_.empty()) textReader_.Navigate(std::exchange(pendingUrl_, std::string()));
}

}  // namespace frontends::win32_window
