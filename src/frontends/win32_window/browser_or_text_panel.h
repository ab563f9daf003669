#pragma once
// The news panel's choice between the embedded browser control and the text
// reader. Each navigation of the browser must bring an HTML document (still
// loading or complete) within `patience` of its last sign of progress (its
// start, the end of its navigation); one that does not shows that the
// control has no HTML engine (Debian's wine has none), and from then on the
// page is read as text by `textReader`, starting with the address that was
// waiting. A slow page whose document is there is waited for. A browser
// that cannot be made, or refuses an address, gives way at once. UI thread
// only.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/seam.h"

namespace frontends::win32_window {

// What the panel needs of the browser control.
class EmbeddedBrowser {
 public:
  virtual ~EmbeddedBrowser() = default;
  // `url` in the launcher's code page; false when the control refused it.
  virtual bool Navigate(const std::string& url) = 0;
  // Whether the control holds an HTML document, complete or not.
  virtual bool HasDocument() = 0;
  // The visible text of the loaded document's body (UTF-8); none while the
  // control has no document.
  virtual std::optional<std::string> BodyText() = 0;
};

class BrowserOrTextPanel : public platform::WebPanel {
 public:
  using Clock = std::chrono::steady_clock;
  using Delivery = std::function<void(platform::WindowEvents&)>;

  // `browser` may be null (it could not be made; `whyNoBrowser` says why).
  // `deliver` queues a delivery for the UI thread; `giveUp` is told, once,
  // why the browser is done with: it then takes the browser away (hides
  // and frees it) and the panel never touches it again. `announce` is told
  // which reader is in use, once.
  BrowserOrTextPanel(EmbeddedBrowser* browser, std::string whyNoBrowser, platform::WebPanel& textReader,
                     Clock::duration patience, std::function<Clock::time_point()> now,
                     std::function<void(Delivery)> deliver, std::function<void(const std::string& why)> giveUp,
                     std::function<void(const std::string& which)> announce);

  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

  // The browser's events: the top frame's navigation ended (its document may
  // still be loading), and a document finished loading.
  void NavigationEnded();
  void DocumentCompleted();
  // Falls back to the text reader when a document is overdue (a timer asks).
  void CheckDeadline();

  bool UsesBrowser() const { return browser_ != nullptr; }
  static std::string OverdueReason(Clock::duration patience);

 private:
  void FallBack(const std::string& why);

  EmbeddedBrowser* browser_;
  std::string whyNoBrowser_;
  platform::WebPanel& textReader_;
  Clock::duration patience_;
  std::function<Clock::time_point()> now_;
  std::function<void(Delivery)> deliver_;
  std::function<void(const std::string&)> giveUp_;
  std::function<void(const std::string&)> announce_;

  bool announced_ = false;
  std::string pendingUrl_;                // the browser's navigation without its document yet
  std::optional<Clock::time_point> due_;  // when that document is overdue
  std::string text_;                      // the browser's last document
};

}  // namespace frontends::win32_window
