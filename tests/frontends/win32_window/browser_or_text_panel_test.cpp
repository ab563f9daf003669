// The news panel's choice between the browser control and the text reader,
// on a clock the test moves: no test waits for the real seconds.
#include "frontends/win32_window/browser_or_text_panel.h"

#include <gtest/gtest.h>

#include <vector>

#include "frontends/console/recording_events.h"

namespace frontends::win32_window {
namespace {

using namespace std::chrono_literals;
using Clock = BrowserOrTextPanel::Clock;
constexpr auto kPatience = 5s;

class FakeBrowser : public EmbeddedBrowser {
 public:
  bool Navigate(const std::string& url) override {
    navigated.push_back(url);
    return accepts;
  }
  bool HasDocument() override { return loading || body; }
  std::optional<std::string> BodyText() override { return body; }

  std::vector<std::string> navigated;
  bool accepts = true;
  bool loading = false;  // a document, not complete
  std::optional<std::string> body;
};

class FakeReader : public platform::WebPanel {
 public:
  void Navigate(const std::string& url) override { navigated.push_back(url); }
  std::string VisibleText() override { return "text of " + navigated.back(); }

  std::vector<std::string> navigated;
};

class BrowserOrTextPanelTest : public ::testing::Test {
 protected:
  std::unique_ptr<BrowserOrTextPanel> Panel(EmbeddedBrowser* browser, const std::string& whyNoBrowser = "") {
    return std::make_unique<BrowserOrTextPanel>(
        browser, whyNoBrowser, reader_, kPatience, [this] { return now_; },
        [this](BrowserOrTextPanel::Delivery delivery) { queued_.push_back(std::move(delivery)); },
        [this](const std::string& why) { givenUp_.push_back(why); },
        [this](const std::string& which) { told_.push_back(which); });
  }
  void DeliverQueued() {
    for (auto& delivery : std::exchange(queued_, {})) delivery(events_);
  }

  Clock::time_point now_{};
  FakeBrowser browser_;
  FakeReader reader_;
  std::vector<BrowserOrTextPanel::Delivery> queued_;
  std::vector<std::string> givenUp_;
  std::vector<std::string> told_;
  console::RecordingEvents events_;
};

// An engine is behind the control: its documents are read, however slow the page.
TEST_F(BrowserOrTextPanelTest, TheBrowsersDocumentIsReadAndHandedOnAsTheReaderHandsItsPage) {
  auto panel = Panel(&browser_);
  panel->Navigate("http://127.0.0.1/news");
  browser_.loading = true;
  now_ += 1h;
  panel->CheckDeadline();
  EXPECT_TRUE(panel->UsesBrowser());
  browser_.body = "RunClient [[a;b]]";
  panel->DocumentCompleted();
  EXPECT_TRUE(events_.log.empty()) << "handed on later, as the reader's worker hands on its page";
  DeliverQueued();

  EXPECT_EQ(events_.log, (std::vector<std::string>{"download complete", "navigate complete"}));
  EXPECT_EQ(panel->VisibleText(), "RunClient [[a;b]]");
  EXPECT_TRUE(panel->UsesBrowser());
  EXPECT_TRUE(reader_.navigated.empty());
  EXPECT_TRUE(givenUp_.empty());
  EXPECT_EQ(told_, std::vector<std::string>{"news page shown by the browser control"});
}

// Debian's wine: the control takes the address and fetches the page, but no
// document ever comes; the end of the navigation gives it more time.
TEST_F(BrowserOrTextPanelTest, NoDocumentWithinThePatienceAfterTheNavigationsEndHandsTheAddressToTheReader) {
  auto panel = Panel(&browser_);
  panel->Navigate("http://127.0.0.1/old");
  panel->Navigate("http://127.0.0.1/news");
  now_ += 4s;
  panel->NavigationEnded();
  panel->DocumentCompleted();  // no document behind it
  now_ += 4s;
  panel->CheckDeadline();
  EXPECT_TRUE(panel->UsesBrowser());
  EXPECT_TRUE(reader_.navigated.empty());

  now_ += 1s;
  panel->CheckDeadline();
  EXPECT_FALSE(panel->UsesBrowser());
  EXPECT_EQ(reader_.navigated, std::vector<std::string>{"http://127.0.0.1/news"});
  EXPECT_EQ(givenUp_, std::vector<std::string>{"the browser control gave no document within 5 s"});
  EXPECT_EQ(told_, std::vector<std::string>{"news page read as text: the browser control gave no document within 5 s"});
  EXPECT_EQ(panel->VisibleText(), "text of http://127.0.0.1/news");

  // From now on the reader reads every page; the browser is left alone.
  browser_.body = "late";
  panel->DocumentCompleted();
  panel->Navigate("http://127.0.0.1/back");
  DeliverQueued();
  EXPECT_TRUE(events_.log.empty());
  EXPECT_EQ(browser_.navigated.size(), 2u);
  EXPECT_EQ(reader_.navigated.back(), "http://127.0.0.1/back");
  EXPECT_EQ(givenUp_.size(), 1u);
}

TEST_F(BrowserOrTextPanelTest, ABrowserThatCannotBeMadeOrRefusesTheAddressGivesWayAtOnce) {
  auto without = Panel(nullptr, "the browser control cannot be made: CoCreateInstance failed");
  without->Navigate("http://127.0.0.1/news");
  EXPECT_EQ(reader_.navigated, std::vector<std::string>{"http://127.0.0.1/news"});
  EXPECT_EQ(told_, std::vector<std::string>{"news page read as text: the browser control cannot be made: "
                                            "CoCreateInstance failed"});

  browser_.accepts = false;
  auto refusing = Panel(&browser_);
  refusing->Navigate("http://127.0.0.1/refused");
  EXPECT_FALSE(refusing->UsesBrowser());
  EXPECT_EQ(reader_.navigated.back(), "http://127.0.0.1/refused");
  EXPECT_EQ(givenUp_, std::vector<std::string>{"the browser control refused http://127.0.0.1/refused"});
}

}  // namespace
}  // namespace frontends::win32_window
