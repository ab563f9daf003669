#include "frontends/console/http_web_panel.h"

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"
#include "base/text/ox_unicode.h"
#include "frontends/console/html_charset.h"
#include "frontends/console/html_visible_text.h"
#include "frontends/console/page_fetch.h"

namespace frontends::console {

HttpWebPanel::HttpWebPanel(std::function<void(Delivery)> deliver, std::function<void(const std::string&)> report,
                           unsigned codePage)
    : deliver_(std::move(deliver)), report_(std::move(report)), codePage_(codePage) {}

HttpWebPanel::~HttpWebPanel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  requested_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void HttpWebPanel::Navigate(const std::string& url) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requestedUrl_ = ox_base::CodePageToUtf8(url, codePage_);
    ++newestNavigation_;
    if (!worker_.joinable()) worker_ = std::thread(&HttpWebPanel::FetchRequests, this);
  }
  requested_.notify_all();
}

void HttpWebPanel::FetchRequests() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    requested_.wait(lock, [this] { return stopping_ || fetchedNavigation_ != newestNavigation_; });
    if (stopping_) return;
    std::uint64_t navigation = newestNavigation_;
    std::string url = requestedUrl_;
    fetchedNavigation_ = navigation;
    lock.unlock();

    FetchedPage page = FetchPage(url, [this, navigation] {
      std::lock_guard<std::mutex> guard(mutex_);
      return !stopping_ && newestNavigation_ == navigation;
    });

    lock.lock();
    if (stopping_ || newestNavigation_ != navigation) continue;  // abandoned
    if (page.refused) {
      // farLaunch.log takes the base library's errors; the console echoes them.
      const ox_base::SmartPtr<ox_base::OxLog> root = ox_base::OxBase::GetRootLog();
      if (root) root->GetChild("farLaunch")->Error("news page (%s): %s\n", url.c_str(), page.error.c_str());
    } else if (!page.error.empty()) {
      report_("[Page] " + url + ": " + page.error);
    }
    deliver_([this, navigation, page = std::move(page)](platform::WindowEvents& events) mutable {
      // A Navigate made after this download was queued wins.
      if (newestNavigation_ != navigation) return;
      hasDocument_ = page.received;
      body_ = std::move(page.body);
      contentType_ = std::move(page.contentType);
      events.OnPageDownloadComplete();
      events.OnPageNavigateComplete();
    });
  }
}

std::string HttpWebPanel::VisibleText() {
  if (!hasDocument_) return "";
  unsigned codePage = HtmlCodePage(body_, contentType_, codePage_);
  std::string body = body_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? body_.substr(3) : body_;
  return VisibleTextOfHtml(ox_base::CodePageToUtf8(body, codePage));
}

}  // namespace frontends::console
