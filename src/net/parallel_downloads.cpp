#include "net/parallel_downloads.h"

#include <algorithm>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "base/files/ox_letter_case.h"
#include "net/curl_multi_handle.h"
#include "net/download_attempt.h"
#include "net/download_rounds.h"
#include "net/shared_rate_limit.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often the caller's cancel question is asked while transfers wait.
constexpr std::chrono::milliseconds kCancelPoll{100};
constexpr const char* kCancelled = "cancelled";

// The bytes stored of all files together.
class ArrivedBytes {
 public:
  explicit ArrivedBytes(const std::function<void(std::uint64_t)>& report) : report_(report) {}

  // One file's stored bytes went from `before` to `now`.
  void Change(std::uint64_t before, std::uint64_t now) {
    total_ = total_ - before + now;
    if (report_ && now != before) report_(total_);
  }

 private:
  const std::function<void(std::uint64_t)>& report_;
  std::uint64_t total_ = 0;
};

// One file's share of the progress.
class FileProgress : public BodyProgress {
 public:
  explicit FileProgress(ArrivedBytes& arrived) : arrived_(arrived) {}

  void Resumed(std::uint64_t have, std::uint64_t) override { Set(have); }
  void Arrived(std::uint64_t arrived, std::uint64_t) override { Set(arrived); }
  void Set(std::uint64_t inHand) {
    arrived_.Change(inHand_, inHand);
    inHand_ = inHand;
  }

 private:
  ArrivedBytes& arrived_;
  std::uint64_t inHand_ = 0;
};

DownloadOptions FileOptions(const ParallelDownload& request, const ParallelDownloadOptions& options) {
  DownloadOptions file;
  file.stallLimit = options.stallLimit;
  file.expected = request.expected;
  file.retry = options.retry;
  return file;
}

// One requested file through its attempts at one address.
struct File {
  File(std::size_t index, std::string url, const ParallelDownload& request, const ParallelDownloadOptions& options,
       ArrivedBytes& arrived)
      : index(index), url(std::move(url)), options(FileOptions(request, options)),
        rounds(this->url, request.localPath, this->options), progress(arrived) {}

  const std::size_t index;
  const std::string url;
  const DownloadOptions options;
  DownloadRounds rounds;
  FileProgress progress;
  DownloadResult result;
  AttemptEnd end;
  std::unique_ptr<DownloadAttempt> attempt;
  bool done = false;
};

class ParallelRun {
 public:
  ParallelRun(const std::vector<ParallelDownload>& requests, const ParallelDownloadOptions& options)
      : requests_(requests),
        options_(options),
        arrived_(options.onProgress),
        maxTransfers_(std::max(options.maxTransfers, 1)) {
    if (options.maxBytesPerSecond > 0) limit_.emplace(options.maxBytesPerSecond);
    files_.reserve(requests.size());
    for (std::size_t index = 0; index < requests.size(); ++index) {
      files_.push_back(std::make_unique<File>(index, requests[index].url, requests[index], options, arrived_));
      ready_.push_back(index);
    }
  }

  ~ParallelRun() {
    for (const auto& [curl, index] : running_) curl_multi_remove_handle(multi_.get(), curl);
  }

  ParallelRun(const ParallelRun&) = delete;
  ParallelRun& operator=(const ParallelRun&) = delete;

  std::vector<DownloadResult> Run() {
    CURLM* multi = multi_.get();
    if (multi == nullptr) return EndAll("the HTTP client could not be set up");
    // Every connection is kept for the next transfer: a few of them carry
    // all the files.
    const long connections = maxTransfers_;
    curl_multi_setopt(multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, connections);
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, connections);
    curl_multi_setopt(multi, CURLMOPT_MAXCONNECTS, connections);

    while (finished_ < files_.size()) {
      if (options_.cancelled && options_.cancelled()) return EndAll(kCancelled);
      StartDue();
      UnpauseWithinLimit();
      int running = 0;
      if (const CURLMcode code = curl_multi_perform(multi, &running); code != CURLM_OK) {
        return EndAll(curl_multi_strerror(code));
      }
      TakeEnded();
      // The last transfer just ended: waiting on the sockets would only sit out the poll.
      if (finished_ == files_.size()) break;
      if (CanStart()) continue;
      if (const CURLMcode code = curl_multi_poll(multi, nullptr, 0, PollTimeout(), nullptr); code != CURLM_OK) {
        return EndAll(curl_multi_strerror(code));
      }
    }
    return Results();
  }

 private:
  bool CanStart() const {
    if (running_.size() >= static_cast<std::size_t>(maxTransfers_)) return false;
    return !ready_.empty() || (!delayed_.empty() && delayed_.begin()->first <= Clock::now());
  }

  // Files in request order, then retries whose pause is over.
  void StartDue() {
    while (CanStart()) {
      std::size_t index = 0;
      if (!ready_.empty()) {
        index = ready_.front();
        ready_.pop_front();
      } else {
        index = delayed_.begin()->second;
        delayed_.erase(delayed_.begin());
      }
      Start(index);
    }
  }

  void Start(std::size_t index) {
    if (options_.addressBeforeAttempt) MoveTo(index, options_.addressBeforeAttempt(index));
    File& file = *files_[index];
    const AttemptStart& start = file.rounds.Begin();
    file.result = DownloadResult();
    file.end = AttemptEnd();
    file.attempt = std::make_unique<DownloadAttempt>(file.options, start, file.progress, file.result, file.end);
    CURL* curl = file.attempt->Prepare(AttemptSetup{CURL_HTTP_VERSION_1_1, limit_ ? &*limit_ : nullptr});
    if (curl == nullptr || curl_multi_add_handle(multi_.get(), curl) != CURLM_OK) {
      if (file.result.reason.empty()) file.result.reason = "the HTTP client could not be set up";
      file.attempt.reset();
      Finish(file);
      return;
    }
    running_[curl] = index;
  }

  // Transfers that waited for the shared limit go on once it allows.
  void UnpauseWithinLimit() {
    if (!limit_ || limit_->Wait().count() > 0) return;
    for (const auto& [curl, index] : running_) {
      DownloadAttempt& attempt = *files_[index]->attempt;
      if (attempt.Paused()) attempt.Unpause();
    }
  }

  void TakeEnded() {
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
      if (message->msg != CURLMSG_DONE) continue;
      CURL* curl = message->easy_handle;
      const CURLcode code = message->data.result;
      const auto found = running_.find(curl);
      if (found == running_.end()) continue;
      const std::size_t index = found->second;
      File& file = *files_[index];
      curl_multi_remove_handle(multi_.get(), curl);
      if (file.attempt->RunAgain(code) && curl_multi_add_handle(multi_.get(), curl) == CURLM_OK) continue;
      running_.erase(found);
      file.attempt->Complete(code);
      file.attempt.reset();
      RetryNotice notice;
      const DownloadRounds::Next next = file.rounds.After(file.result, file.end, notice);
      // Starting over from the first byte is the same address's business.
      if (next != DownloadRounds::Next::AgainAtOnce && !file.result.ok && options_.addressAfterFailure &&
          MoveTo(index, options_.addressAfterFailure(index, file.result))) {
        ready_.push_front(index);
        continue;
      }
      switch (next) {
        case DownloadRounds::Next::Done:
          Finish(file);
          break;
        case DownloadRounds::Next::AgainAtOnce:
          ready_.push_front(index);
          break;
        case DownloadRounds::Next::AgainAfterPause:
          delayed_.emplace(Clock::now() + notice.pause, index);
          break;
      }
    }
  }

  // The file is asked at `address` (unless empty) from its next attempt
  // on: true when it moved.
  bool MoveTo(std::size_t index, const std::string& address) {
    if (address.empty()) return false;
    // What it stored from the old address is not among the bytes arrived.
    files_[index]->progress.Set(0);
    files_[index] = std::make_unique<File>(index, address, requests_[index], options_, arrived_);
    return true;
  }

  void Finish(File& file) {
    file.done = true;
    ++finished_;
    // A file that failed is not among the bytes arrived.
    if (!file.result.ok) file.progress.Set(0);
    if (options_.onEnded) options_.onEnded(file.index, file.result);
  }

  // Long enough to leave the transfers alone, short enough to ask about
  // cancelling, to start a retry and to go on within the limit in time.
  int PollTimeout() {
    std::chrono::milliseconds timeout = kCancelPoll;
    if (!delayed_.empty()) {
      const auto due = std::chrono::duration_cast<std::chrono::milliseconds>(delayed_.begin()->first - Clock::now());
      timeout = std::min(timeout, std::max(due, std::chrono::milliseconds(0)));
    }
    if (limit_ && AnyPaused()) timeout = std::min(timeout, std::max(limit_->Wait(), std::chrono::milliseconds(1)));
    return static_cast<int>(timeout.count());
  }

  bool AnyPaused() const {
    return std::any_of(running_.begin(), running_.end(),
                       [this](const auto& entry) { return files_[entry.second]->attempt->Paused(); });
  }

  // Every file not done yet ends with `reason`; what arrived of a running
  // transfer is kept for the next call when it can be resumed.
  std::vector<DownloadResult> EndAll(const std::string& reason) {
    for (const auto& [curl, index] : running_) {
      curl_multi_remove_handle(multi_.get(), curl);
      files_[index]->attempt->Abandon();
      files_[index]->attempt.reset();
    }
    running_.clear();
    for (const auto& file : files_) {
      if (file->done) continue;
      file->rounds.Stop();
      file->result.ok = false;
      file->result.reason = reason;
      Finish(*file);
    }
    return Results();
  }

  std::vector<DownloadResult> Results() const {
    std::vector<DownloadResult> results;
    results.reserve(files_.size());
    for (const auto& file : files_) results.push_back(file->result);
    return results;
  }

  const std::vector<ParallelDownload>& requests_;
  const ParallelDownloadOptions& options_;
  ArrivedBytes arrived_;
  const int maxTransfers_;
  std::optional<SharedRateLimit> limit_;
  CurlMultiHandle multi_;
  std::vector<std::unique_ptr<File>> files_;
  std::deque<std::size_t> ready_;
  std::multimap<Clock::time_point, std::size_t> delayed_;
  std::map<CURL*, std::size_t> running_;
  std::size_t finished_ = 0;
};

}  // namespace

std::vector<DownloadResult> DownloadAll(const std::vector<ParallelDownload>& requests,
                                        const ParallelDownloadOptions& options) {
  std::string failure;
  try {
    // The files' folders are read once, not once per file: this call is
    // the one adding names there while it runs.
    const ox_base::OxDirectoryListings listings;
    return ParallelRun(requests, options).Run();
  } catch (const std::exception& exception) {
    failure = exception.what();
  } catch (...) {
    failure = "unexpected failure";
  }
  std::vector<DownloadResult> results(requests.size());
  for (DownloadResult& result : results) result.reason = failure;
  return results;
}
