#pragma once
// The web panel without a display, and the window's panel where no HTML
// engine is there: Navigate downloads the page over HTTP on a worker thread
// of its own; when the download ends the UI thread delivers
// OnPageDownloadComplete and then OnPageNavigateComplete, always after
// Navigate has returned, as a browser's events arrive. A navigation that
// fails still completes, with no document (a browser shows an error page),
// and the reason is printed. A newer Navigate abandons an older one that is
// still loading; only the newest completes.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/seam.h"

namespace frontends::console {

class HttpWebPanel : public platform::WebPanel {
 public:
  using Delivery = std::function<void(platform::WindowEvents&)>;
  // `deliver` queues a delivery for the UI thread, `report` tells why a page
  // did not load (a line of text); the worker calls both. Pages that declare
  // no charset and are not UTF-8 are read in `codePage`.
  HttpWebPanel(std::function<void(Delivery)> deliver, std::function<void(const std::string&)> report,
               unsigned codePage);
  // Abandons a transfer in progress and waits for the worker.
  ~HttpWebPanel() override;
  HttpWebPanel(const HttpWebPanel&) = delete;
  HttpWebPanel& operator=(const HttpWebPanel&) = delete;

  // `url` in the launcher's code page.
  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

 private:
  void FetchRequests();

  std::function<void(Delivery)> deliver_;
  std::function<void(const std::string&)> report_;
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
