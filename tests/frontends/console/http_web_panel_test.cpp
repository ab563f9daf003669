#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "frontends/console/captured_output.h"
#include "frontends/console/console_platform.h"
#include "frontends/console/recording_events.h"
#include "support/code_page_text.h"
#include "support/recorded_failure_log.h"
#include "support/recording_http_server.h"
#include "support/temp_dir.h"

namespace frontends::console {
namespace {

const std::string kServerNames = "\xE7\x94\xB5\xE4\xBF\xA1\xE4\xB8\x80\xE5\x8C\xBA";  // 电信一区 (UTF-8)

// The publisher's page site: a GBK page that declares its charset only in
// <meta>, a UTF-8 page declared by the server, and a page that never
// finishes until the test lets it.
class PageServer {
 public:
  PageServer() {
    std::string gbkPage = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                          "<title>t</title><script>var x = 1;</script></head><body><p>" +
                          kServerNames + "</p><p>RunClient[[a;b]]</p></body></html>";
    server_.Put("/gbk", Gbk(gbkPage), "text/html");
    server_.Put("/utf8", "<div>" + kServerNames + " &amp; more</div>", "text/html; charset=UTF-8");
    server_.Route("/redirect", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/utf8"); });
    server_.Route("/stalled", [this](const httplib::Request&, httplib::Response& res) {
      std::unique_lock<std::mutex> lock(mutex_);
      stalledArrived_ = true;
      released_.notify_all();
      released_.wait_for(lock, std::chrono::seconds(20), [this] { return release_; });
      res.set_content("<p>stalled page</p>", "text/html");
    });
  }

  ~PageServer() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      release_ = true;
    }
    released_.notify_all();
  }

  std::string Url(const std::string& path) const { return server_.Url(path); }

  void WaitForStalledRequest() {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait_for(lock, std::chrono::seconds(20), [this] { return stalledArrived_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool release_ = false;
  bool stalledArrived_ = false;
  RecordingHttpServer server_;  // stops first, after the stalled page is released
};

class HttpWebPanelTest : public testing::Test {
 protected:
  HttpWebPanelTest() : platform_(936, out_.File()) {}

  // Navigates from the loop thread, as the launcher does, and runs until the
  // navigation completes. Returns the events seen and the page text.
  std::string NavigateAndRead(const std::vector<std::string>& urls) {
    bool navigateReturned = false;
    events_.after = [&](const std::string& event) {
      if (event == "download complete") {
        EXPECT_TRUE(navigateReturned);
      }
      if (event == "navigate complete") {
        text_ = platform_.GetWebPanel().VisibleText();
        platform_.RequestClose();
      }
    };
    platform_.GetUiThread().RunOnUiThread([&] {
      for (const std::string& url : urls) platform_.GetWebPanel().Navigate(url);
      navigateReturned = true;
    });
    platform_.Run(events_);
    return text_;
  }

  std::string Console() const { return out_.Text(); }

  PageServer server_;
  CapturedOutput out_;
  ConsolePlatform platform_;
  RecordingEvents events_;
  std::string text_;
};

TEST_F(HttpWebPanelTest, DeliversBothEventsOnTheLoopThreadWithTheVisibleText) {
  EXPECT_EQ(platform_.GetWebPanel().VisibleText(), "");  // no document yet

  EXPECT_EQ(NavigateAndRead({server_.Url("/gbk")}), kServerNames + "\nRunClient[[a;b]]");
  EXPECT_EQ(events_.log, (std::vector<std::string>{"download complete", "navigate complete"}));
  for (std::thread::id id : events_.threads) EXPECT_EQ(id, std::this_thread::get_id());

  EXPECT_EQ(NavigateAndRead({server_.Url("/redirect")}), kServerNames + " & more");
}

TEST_F(HttpWebPanelTest, OnlyTheNewestNavigationCompletes) {
  // Two navigations in one go: the first never gets to complete.
  EXPECT_EQ(NavigateAndRead({server_.Url("/gbk"), server_.Url("/utf8")}), kServerNames + " & more");
  EXPECT_EQ(events_.log, (std::vector<std::string>{"download complete", "navigate complete"}));

  // A navigation while the page is still loading abandons that page.
  platform_.GetWebPanel().Navigate(server_.Url("/stalled"));
  std::thread second([&] {
    server_.WaitForStalledRequest();
    platform_.GetUiThread().RunOnUiThread([&] { platform_.GetWebPanel().Navigate(server_.Url("/redirect")); });
  });
  events_.after = [&](const std::string& event) {
    if (event == "navigate complete") platform_.RequestClose();
  };
  platform_.Run(events_);
  second.join();
  EXPECT_EQ(platform_.GetWebPanel().VisibleText(), kServerNames + " & more");
  EXPECT_EQ(events_.log.size(), 4u);
}

TEST_F(HttpWebPanelTest, AFailedNavigationCompletesWithoutADocument) {
  ASSERT_FALSE(NavigateAndRead({server_.Url("/gbk")}).empty());
  // Nothing listens on port 1.
  EXPECT_EQ(NavigateAndRead({"http://127.0.0.1:1/news"}), "");
  EXPECT_EQ(events_.log.size(), 4u);
  EXPECT_NE(Console().find("[Page] http://127.0.0.1:1/news: "), std::string::npos) << Console();
  // The page decides which server the game connects to: never a local
  // file, and the refusal is logged.
  const RecordedFailureLog log;
  const TempDir dir;
  const std::string local = "file://" + dir.Write("local.html", "<p>local secret</p>");
  EXPECT_EQ(NavigateAndRead({local}), "");
  EXPECT_EQ(events_.log.size(), 6u);
  EXPECT_EQ(log.Text(), "news page (" + local + "): refused: the panel shows only http and https pages\n");
}

}  // namespace
}  // namespace frontends::console
