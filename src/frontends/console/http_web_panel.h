#pragma once
// The web panel without a display: Navigate downloads the page over HTTP on
// a worker thread of its own; when the download ends the loop delivers
// OnPageDownloadComplete and then OnPageNavigateComplete, always after
// Navigate has returned, as a browser's events arrive. A navigation that
// fails still completes, with no document (a browser shows an error page),
// and the reason is printed. A newer Navigate abandons an older one that is
// still loading; only the newest completes.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "frontends/console/console.h"
#include "frontends/console/event_loop.h"
#include "platform/seam.h"

namespace frontends::console {

class HttpWebPanel : public platform::WebPanel {
 public:
  // Pages that declare no charset and are not UTF-8 are read in `codePage`.
  HttpWebPanel(EventLoop& loop, Console& console, unsigned codePage);
  // Abandons a transfer in progress and waits for the worker.
  ~HttpWebPanel() override;
  HttpWebPanel(const HttpWebPanel&) = delete;
  HttpWebPanel& operator=(const HttpWebPanel&) = delete;

  // `url` in the launcher's code page.
  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

 private:
  void FetchRequests();

  EventLoop& loop_;
  Console& console_;
  unsigned codePage_;

  // Shared with the worker.
  std::mutex mutex_;
  std::condition_variable requested_;
  std::string requestedUrl_;
  std::atomic<std::uint64_t> newestNavigation_{0};
  std::uint64_t fetchedNavigation_ = 0;
  bool stopping_ = false;
  std::thread worker_;

  // The loaded document; UI thread only.
  bool hasDocument_ = false;
  std::string body_;
  std::string contentType_;
};

}  // namespace frontends::console
