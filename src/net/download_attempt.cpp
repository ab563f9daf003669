#include "net/download_attempt.h"

#include <string>
#include <vector>

#include "net/shared_rate_limit.h"

namespace {

constexpr long kConnectTimeoutMs = 2000;
constexpr long kMaxRedirects = 10;
constexpr long kReceiveBufferSize = 256 * 1024;
// With a rate limit: libcurl throttles between reads, and reads of 256 KiB
// on a fast link arrive whole before it ever pauses; with 16 KiB it still
// runs some 6 % over, with 4 KiB about 2 % (bench/rate-limit). A shared
// limit waits between reads too.
constexpr long kLimitedReceiveBufferSize = 4 * 1024;
constexpr const char* kUserAgent = "farLaunch";

// No byte of the request went out: the connect itself failed. (A kept-alive
// connection has no connect time of its own, so that cannot tell.)
bool NeverConnected(CURL* curl) {
  long requestBytes = 0;
  curl_easy_getinfo(curl, CURLINFO_REQUEST_SIZE, &requestBytes);
  return requestBytes == 0;
}

bool ConnectFailed(CURL* curl, CURLcode result) {
  if (result == CURLE_COULDNT_CONNECT) return true;
  return result == CURLE_OPERATION_TIMEDOUT && NeverConnected(curl);
}

// Failures of the connection itself, which a later attempt may not meet.
bool IsTransientTransfer(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
      return true;
    default:
      return false;
  }
}

// libcurl's failure in words, with how far the body had come.
std::string TransferProblem(CURL* curl, CURLcode code, const std::string& detail, const DownloadOptions& options,
                            const DownloadResult& result) {
  std::string problem;
  switch (code) {
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
      problem = detail.find("reset") != std::string::npos ? "connection reset" : detail;
      break;
    case CURLE_PARTIAL_FILE:
      problem = "connection closed";
      break;
    case CURLE_GOT_NOTHING:
      problem = "the server closed the connection without answering";
      break;
    case CURLE_OPERATION_TIMEDOUT:
      // The attempt's whole deadline rather than a stall or a connect: only
      // the total timeout gets libcurl's "Operation timed out after".
      if (options.deadline.count() > 0 && detail.rfind("Operation timed out", 0) == 0) {
        problem = "not complete within " + std::to_string(options.deadline.count()) + " seconds";
      } else {
        problem = NeverConnected(curl) ? "no connection within " + std::to_string(kConnectTimeoutMs / 1000) +
                                             " seconds"
                                       : "no data for " + std::to_string(options.stallLimit.count()) + " seconds";
      }
      break;
    default:
      problem = detail.empty() ? curl_easy_strerror(code) : detail;
      break;
  }
  if (result.bytesExpected) {
    problem += " after " + std::to_string(result.bytesReceived) + " of " + std::to_string(*result.bytesExpected) +
               " bytes";
  }
  return problem;
}

}  // namespace

DownloadAttempt::DownloadAttempt(const DownloadOptions& options, const AttemptStart& start, BodyProgress& progress,
                                 DownloadResult& result, AttemptEnd& end)
    : options_(options),
      start_(start),
      result_(result),
      end_(end),
      headers_(nullptr, curl_slist_free_all),
      transfer_(handle_.get(), options, start, response_, progress, result, end) {}

DownloadAttempt::~DownloadAttempt() = default;

CURL* DownloadAttempt::Prepare(const AttemptSetup& setup) {
  CURL* curl = handle_.get();
  if (curl == nullptr) {
    result_.reason = "the HTTP client could not be set up";
    return nullptr;
  }

  // Caches and proxies must fetch from the origin: a stale server document
  // or archive would install the wrong version.
  std::vector<std::string> lines = {"Cache-Control: no-cache", "Pragma: no-cache"};
  if (start_.have > 0) {
    lines.push_back("Range: bytes=" + std::to_string(start_.have) + "-");
    // The rest of the same file, or the whole file when it changed.
    const std::string& validator = start_.meta.etag.empty() ? start_.meta.lastModified : start_.meta.etag;
    if (!validator.empty()) lines.push_back("If-Range: " + validator);
  }
  for (const std::string& line : lines) {
    // Appending keeps the list's head; only the first append makes one.
    curl_slist* head = curl_slist_append(headers_.get(), line.c_str());
    if (head == nullptr) {
      result_.reason = "out of memory";
      return nullptr;
    }
    if (!headers_) headers_.reset(head);
  }

  sharedLimit_ = setup.sharedLimit;
  const bool limited = sharedLimit_ != nullptr || options_.maxBytesPerSecond > 0;
  curl_easy_setopt(curl, CURLOPT_URL, start_.url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, setup.httpVersion);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers_.get());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options_.stallLimit.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(std::chrono::milliseconds(options_.deadline).count()));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail_);
  // Larger socket reads than libcurl's 16 KiB default: fewer calls per
  // chunk, unless a limit needs the small reads to hold.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, limited ? kLimitedReceiveBufferSize : kReceiveBufferSize);
  curl_easy_setopt(curl, CURLOPT_MAX_RECV_SPEED_LARGE,
                   static_cast<curl_off_t>(sharedLimit_ != nullptr ? 0 : options_.maxBytesPerSecond));
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectResponseHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response_);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
  return curl;
}

bool DownloadAttempt::RunAgain(CURLcode code) {
  // Run again as it was, the request asks for what it asked before: only
  // right while nothing of the body is held.
  if (ranAgain_ || transfer_.Started() || !ConnectFailed(handle_.get(), code)) return false;
  ranAgain_ = true;
  detail_[0] = '\0';
  return true;
}

void DownloadAttempt::Complete(CURLcode code) {
  if (code != CURLE_OK) {
    // Kept first: the reason names every byte held, the unfinished chunk's too.
    transfer_.KeepReceived();
    // A refusal of our own (status, length, disk) is the better reason.
    if (result_.reason.empty()) {
      result_.reason = TransferProblem(handle_.get(), code, detail_, options_, result_);
      end_.transient = IsTransientTransfer(code);
    }
    return;
  }
  // An empty body never reaches OnBody; the status and length rules still apply.
  if (!transfer_.Started() && !transfer_.Start()) return;
  result_.ok = transfer_.Finish();
  end_.transient = !result_.ok && transfer_.EndedShort();
}

void DownloadAttempt::Abandon() { transfer_.KeepReceived(); }

void DownloadAttempt::Unpause() {
  paused_ = false;
  curl_easy_pause(handle_.get(), CURLPAUSE_CONT);
}

std::size_t DownloadAttempt::OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& attempt = *static_cast<DownloadAttempt*>(user);
  const std::size_t bytes = size * count;
  return GuardCurlCallback<std::size_t>(0, [&]() -> std::size_t {
    if (attempt.sharedLimit_ != nullptr && !attempt.sharedLimit_->Take(bytes)) {
      attempt.paused_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    BodyTransfer& transfer = attempt.transfer_;
    if (!transfer.Started() && !transfer.Start()) return 0;
    return transfer.Append(data, bytes) ? bytes : 0;
  });
}
