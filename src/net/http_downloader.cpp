#include "net/http_downloader.h"

#include <exception>
#include <optional>
#include <thread>

#include "net/download_attempt.h"
#include "net/download_rounds.h"

namespace {

// The window's progress rule: the percentage of the body in hand, posted
// whenever it changes, so the bar follows the bytes as the network
// delivers them rather than the 1 MiB chunks they are stored in (a chunk
// takes seconds on a slow line). Downloads of documents (".xml" names)
// post none.
class WindowProgress : public BodyProgress {
 public:
  WindowProgress(platform::MessageTarget& window, const std::string& localPath)
      : window_(window), report_(localPath.find(".xml") == std::string::npos) {}

  void Resumed(std::uint64_t have, std::uint64_t total) override { Show(have, total); }
  void Arrived(std::uint64_t arrived, std::uint64_t total) override { Show(arrived, total); }

 private:
  void Show(std::uint64_t bytes, std::uint64_t total) {
    const int percent = static_cast<int>(static_cast<double>(bytes) * 100.0 / static_cast<double>(total));
    if (!report_ || percent == posted_) return;
    posted_ = percent;
    window_.PostWindowMessage(platform::WM_DOWNLOAD_PROGRESS, 0, percent);
  }

  platform::MessageTarget& window_;
  const bool report_;
  std::optional<int> posted_;
};

DownloadResult Download(const std::string& url, const std::string& localPath, platform::MessageTarget& window,
                        const DownloadOptions& options) {
  DownloadRounds rounds(url, localPath, options);
  for (;;) {
    const AttemptStart& start = rounds.Begin();
    DownloadResult result;
    AttemptEnd end;
    WindowProgress progress(window, localPath);
    {
      DownloadAttempt attempt(options, start, progress, result, end);
      if (CURL* curl = attempt.Prepare(AttemptSetup{})) {
        CURLcode code = curl_easy_perform(curl);
        if (attempt.RunAgain(code)) code = curl_easy_perform(curl);
        attempt.Complete(code);
      }
    }
    RetryNotice notice;
    switch (rounds.After(result, end, notice)) {
      case DownloadRounds::Next::Done:
        return result;
      case DownloadRounds::Next::AgainAtOnce:
        continue;
      case DownloadRounds::Next::AgainAfterPause:
        if (options.onRetry) options.onRetry(notice);
        std::this_thread::sleep_for(notice.pause);
        notice.phase = RetryNotice::Phase::Starting;
        if (options.onRetry) options.onRetry(notice);
        continue;
    }
  }
}

}  // namespace

DownloadResult HttpDownloader::DownloadFile(const std::string& url, const std::string& localPath,
                                            platform::MessageTarget& window, const DownloadOptions& options) {
  try {
    return Download(url, localPath, window, options);
  } catch (const std::exception& exception) {
    DownloadResult result;
    result.reason = exception.what();
    return result;
  } catch (...) {
    DownloadResult result;
    result.reason = "unexpected failure";
    return result;
  }
}
