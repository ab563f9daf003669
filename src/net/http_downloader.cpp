#include "net/http_downloader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/ox_file_handle.h"
#include "base/ox_letter_case.h"
#include "net/curl_easy_handle.h"
#include "net/partial_download.h"

namespace {

constexpr std::size_t kChunkSize = 0x100000;
constexpr long kConnectTimeoutMs = 2000;
constexpr long kMaxRedirects = 10;
constexpr long kReceiveBufferSize = 256 * 1024;
// With a rate limit: libcurl throttles between reads, and reads of 256 KiB
// on a fast link arrive whole before it ever pauses; with 16 KiB it still
// runs some 6 % over, with 4 KiB about 2 % (bench/rate-limit).
constexpr long kLimitedReceiveBufferSize = 4 * 1024;
constexpr const char* kUserAgent = "farLaunch";

struct HeaderListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListFree>;

// The system's words for the error the last failed call left in errno.
std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

// The final answer's headers that resuming and retrying need. libcurl hands
// over the headers of every answer (redirects too); a status line starts
// a new set.
struct ResponseHeaders {
  std::string etag;
  std::string lastModified;
  std::string contentRange;
  std::string retryAfter;
};

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& headers = *static_cast<ResponseHeaders*>(user);
  const std::size_t bytes = size * count;
  return GuardCurlCallback<std::size_t>(0, [&]() -> std::size_t {
    std::string line(data, bytes);
    if (line.rfind("HTTP/", 0) == 0) {
      headers = ResponseHeaders();
      return bytes;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) return bytes;
    const std::string name = ox_base::FoldLetterCase(line.substr(0, colon));
    const std::size_t begin = line.find_first_not_of(" \t", colon + 1);
    const std::size_t end = line.find_last_not_of(" \t\r\n");
    const std::string value = begin == std::string::npos || end < begin ? "" : line.substr(begin, end - begin + 1);
    if (name == "etag") headers.etag = value;
    else if (name == "last-modified") headers.lastModified = value;
    else if (name == "content-range") headers.contentRange = value;
    else if (name == "retry-after") headers.retryAfter = value;
    return bytes;
  });
}

// "bytes FIRST-LAST/TOTAL" of a 206.
bool ParseContentRange(const std::string& value, std::uint64_t& first, std::uint64_t& last, std::uint64_t& total) {
  unsigned long long a = 0, b = 0, c = 0;
  int consumed = 0;
  if (std::sscanf(value.c_str(), "bytes %llu-%llu/%llu%n", &a, &b, &c, &consumed) != 3 ||
      static_cast<std::size_t>(consumed) != value.size()) {
    return false;
  }
  first = a;
  last = b;
  total = c;
  return true;
}

// What one attempt found out besides its result: whether the next attempt
// may get further, and whether the partial file could be used.
struct AttemptEnd {
  // A dropped or refused connection, a stall, a busy server.
  bool transient = false;
  std::optional<std::chrono::seconds> retryAfter;
  // The server would not go on from the partial file's bytes (416, or a
  // range other than the one asked for).
  bool resumeRefused = false;
  // The body went on from the partial file's bytes.
  bool resumed = false;
  // The partial file could not be written (a full disk): what it holds
  // takes room the player needs more than a resumed download.
  bool writeFailed = false;
};

// Where one attempt starts: the partial file, how many of its bytes are
// asked to be gone on from, and what its sidecar says about them.
struct AttemptStart {
  const std::string& url;
  const PartialDownload& part;
  std::uint64_t have = 0;
  PartialMeta meta;
};

// The body of one download. libcurl hands the body over in pieces of its
// own size; they are gathered into 1 MiB chunks so that a chunk is what a
// blocking read of the whole transfer buffer would return: full chunks and
// one shorter last chunk. Each chunk is one step of the progress rule.
class BodyTransfer {
 public:
  BodyTransfer(CURL* curl, const std::string& localPath, platform::MessageTarget& window,
               const DownloadOptions& options, const AttemptStart& start, const ResponseHeaders& headers,
               DownloadResult& result, AttemptEnd& end)
      : curl_(curl),
        window_(window),
        options_(options),
        start_(start),
        headers_(headers),
        result_(result),
        end_(end),
        reportProgress_(localPath.find(".xml") == std::string::npos),
        check_(options.expected) {}

  bool Started() const { return static_cast<bool>(file_); }

  // Called when the body begins (or the transfer ended without one): only
  // the final answer's status 200 (or 206 to a resumed request) opens the
  // partial file, and a length that cannot be known fails (nothing could
  // resume such a file: it goes).
  bool Start() {
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &result_.httpStatus);
    if (start_.have > 0 && result_.httpStatus == 206) return StartResumed();
    if (start_.have > 0 && result_.httpStatus == 416) {
      end_.resumeRefused = true;
      return Fail("HTTP 416 to a request for the bytes from " + std::to_string(start_.have));
    }
    if (result_.httpStatus != 200) {
      end_.transient = IsTransientStatus(result_.httpStatus);
      end_.retryAfter = ParseRetryAfter(headers_.retryAfter);
      return Fail("HTTP " + std::to_string(result_.httpStatus));
    }
    // A 200 to a resumed request is the whole file again: it changed, or
    // the server does not serve ranges.
    if (!Open("wb")) return false;
    curl_off_t length = -1;
    curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length < 0) return Fail("the server announced no length");
    result_.bytesExpected = static_cast<std::uint64_t>(length);
    if (TooLarge(*result_.bytesExpected)) {
      return FailTooLarge("larger than " + std::to_string(options_.maxBytes) + " bytes (" + std::to_string(length) +
                  " announced)");
    }
    if (std::string problem = check_.CheckLength(*result_.bytesExpected); !problem.empty()) {
      return Reject(std::move(problem));
    }
    if (options_.resume && length > 0) {
      // A weak ETag cannot vouch for bytes in a range request.
      const bool strong = headers_.etag.rfind("W/", 0) != 0;
      start_.part.SaveMeta(PartialMeta{start_.url, strong ? headers_.etag : std::string(), headers_.lastModified,
                                       *result_.bytesExpected, options_.expected});
    }
    buffer_.resize(kChunkSize);
    return true;
  }

  bool Append(const char* data, std::size_t size) {
    if (TooLarge(result_.bytesReceived + used_ + size)) {
      return FailTooLarge("larger than " + std::to_string(options_.maxBytes) + " bytes");
    }
    while (size > 0) {
      std::size_t room = buffer_.size() - used_;
      std::size_t piece = std::min(size, room);
      std::copy(data, data + piece, buffer_.data() + used_);
      used_ += piece;
      data += piece;
      size -= piece;
      if (used_ == buffer_.size() && !WriteChunk()) return false;
    }
    return true;
  }

  // The end of the body is the final, empty read: the last chunk is
  // written and the percentage still owed is posted.
  bool Finish() {
    if (used_ > 0 && !WriteChunk()) return false;
    PostPendingProgress();
    buffer_ = std::vector<char>();
    if (!file_.Close()) {
      end_.writeFailed = true;
      return Fail(SystemError());
    }
    if (result_.bytesReceived != result_.bytesExpected) {
      return Fail("the body ended after " + std::to_string(result_.bytesReceived) + " of " +
                  std::to_string(*result_.bytesExpected) + " bytes");
    }
    if (std::string problem = check_.Finish(); !problem.empty()) return Reject(std::move(problem));
    std::string problem;
    if (!start_.part.Promote(problem)) return Fail(std::move(problem));
    return true;
  }

  // After a failed transfer: what arrived of the unfinished chunk is kept
  // too, for the next attempt to go on from.
  void KeepReceived() {
    if (file_ && used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_.get()) == used_) {
      result_.bytesReceived += used_;
    }
    used_ = 0;
  }

  // The body ended before its announced length (a connection closed early
  // without an error from libcurl).
  bool EndedShort() const { return result_.bytesExpected && result_.bytesReceived < *result_.bytesExpected; }

 private:
  bool Open(const char* mode) {
    file_ = ox_base::FileHandle::Open(start_.part.PartPath(), mode);
    if (!file_) return Fail("cannot create " + start_.part.PartPath() + ": " + SystemError());
    // Writes go out in whole chunks already; stdio's buffer would only copy.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    return true;
  }

  // A 206 goes on from the partial file only when it starts where the file
  // stops and describes the same file; the hash takes the bytes already
  // there first.
  bool StartResumed() {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::uint64_t total = 0;
    curl_off_t length = -1;
    curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    const bool sameValidator = start_.meta.etag.empty() || headers_.etag.empty() || headers_.etag == start_.meta.etag;
    if (!ParseContentRange(headers_.contentRange, first, last, total) || first != start_.have ||
        last + 1 != total || total != start_.meta.length || length < 0 ||
        static_cast<std::uint64_t>(length) != total - first || !sameValidator) {
      end_.resumeRefused = true;
      return Fail("the server went on with Content-Range \"" + headers_.contentRange + "\" for bytes from " +
                  std::to_string(start_.have) + " of " + std::to_string(start_.meta.length));
    }
    result_.bytesExpected = total;
    if (TooLarge(total)) return FailTooLarge("larger than " + std::to_string(options_.maxBytes) + " bytes");
    if (std::string problem = check_.CheckLength(total); !problem.empty()) return Reject(std::move(problem));
    if (!HashPartialFile() || !Open("ab")) return false;
    result_.bytesReceived = start_.have;
    result_.resumedFrom = start_.have;
    end_.resumed = true;
    buffer_.resize(kChunkSize);
    // The bar starts where the last download stopped.
    if (reportProgress_) window_.PostWindowMessage(platform::WM_DOWNLOAD_PROGRESS, 0, Percent(start_.have));
    return true;
  }

  bool HashPartialFile() {
    ox_base::FileHandle existing = ox_base::FileHandle::Open(start_.part.PartPath(), "rb");
    std::vector<char> piece(kChunkSize);
    std::uint64_t left = start_.have;
    while (existing && left > 0) {
      const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, piece.size()));
      if (std::fread(piece.data(), 1, want, existing.get()) != want) break;
      check_.Update(std::string_view(piece.data(), want));
      left -= want;
    }
    if (left == 0) return true;
    end_.resumeRefused = true;
    return Fail("cannot read " + start_.part.PartPath() + ": " + SystemError());
  }

  int Percent(std::uint64_t bytes) const {
    return static_cast<int>(static_cast<double>(bytes) * 100.0 / static_cast<double>(*result_.bytesExpected));
  }

  bool TooLarge(std::uint64_t bytes) const { return options_.maxBytes != 0 && bytes > options_.maxBytes; }
  bool FailTooLarge(std::string reason) {
    result_.tooLarge = true;
    return Fail(std::move(reason));
  }

  bool Fail(std::string reason) {
    result_.reason = std::move(reason);
    return false;
  }

  // A file that is not the expected one must not be installed by anyone:
  // it goes at once.
  bool Reject(std::string reason) {
    file_.Close();
    start_.part.Discard();
    result_.contentMismatch = true;
    return Fail(std::move(reason));
  }

  // A chunk's percentage is posted only once the next read has completed,
  // so it goes out when the following chunk (or the end) arrives.
  bool WriteChunk() {
    PostPendingProgress();
    if (std::fwrite(buffer_.data(), 1, used_, file_.get()) != used_) {
      end_.writeFailed = true;
      return Fail(SystemError());
    }
    check_.Update(std::string_view(buffer_.data(), used_));
    result_.bytesReceived += used_;
    used_ = 0;
    pendingPercent_ = Percent(result_.bytesReceived);
    return true;
  }

  void PostPendingProgress() {
    if (pendingPercent_ && reportProgress_) window_.PostWindowMessage(platform::WM_DOWNLOAD_PROGRESS, 0, *pendingPercent_);
    pendingPercent_.reset();
  }

  CURL* curl_;
  platform::MessageTarget& window_;
  const DownloadOptions& options_;
  const AttemptStart& start_;
  const ResponseHeaders& headers_;
  DownloadResult& result_;
  AttemptEnd& end_;
  const bool reportProgress_;
  ContentCheck check_;
  ox_base::FileHandle file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::optional<int> pendingPercent_;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& transfer = *static_cast<BodyTransfer*>(user);
  const std::size_t bytes = size * count;
  return GuardCurlCallback<std::size_t>(0, [&]() -> std::size_t {
    if (!transfer.Started() && !transfer.Start()) return 0;
    return transfer.Append(data, bytes) ? bytes : 0;
  });
}

bool NothingReceived(CURL* curl) {
  curl_off_t connectTime = 0;
  curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
  return connectTime == 0;
}

// Only a connect that failed is tried once more. A server that was reached
// and then failed or fell silent is not asked again: a stall would only
// double the wait.
bool ConnectFailed(CURL* curl, CURLcode result) {
  if (result == CURLE_COULDNT_CONNECT) return true;
  return result == CURLE_OPERATION_TIMEDOUT && NothingReceived(curl);
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
        problem = NothingReceived(curl) ? "no connection within " + std::to_string(kConnectTimeoutMs / 1000) +
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

// One request: from the partial file's end when `start.have` is not 0.
void Attempt(const std::string& url, const std::string& localPath, platform::MessageTarget& window,
             const DownloadOptions& options, const AttemptStart& start, DownloadResult& result, AttemptEnd& end) {
  CurlEasyHandle handle;
  CURL* curl = handle.get();
  if (curl == nullptr) {
    result.reason = "the HTTP client could not be set up";
    return;
  }

  // Caches and proxies must fetch from the origin: a stale server document
  // or archive would install the wrong version.
  std::vector<std::string> lines = {"Cache-Control: no-cache", "Pragma: no-cache"};
  if (start.have > 0) {
    lines.push_back("Range: bytes=" + std::to_string(start.have) + "-");
    // The rest of the same file, or the whole file when it changed.
    const std::string& validator = start.meta.etag.empty() ? start.meta.lastModified : start.meta.etag;
    if (!validator.empty()) lines.push_back("If-Range: " + validator);
  }
  HeaderList headers;
  for (const std::string& line : lines) {
    // Appending keeps the list's head; only the first append makes one.
    curl_slist* head = curl_slist_append(headers.get(), line.c_str());
    if (head == nullptr) {
      result.reason = "out of memory";
      return;
    }
    if (!headers) headers.reset(head);
  }

  char detail[CURL_ERROR_SIZE] = "";
  ResponseHeaders response;
  BodyTransfer transfer(curl, localPath, window, options, start, response, result, end);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(options.stallLimit.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(std::chrono::milliseconds(options.deadline).count()));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
  // Larger socket reads than libcurl's 16 KiB default: fewer calls per
  // chunk, unless a limit needs the small reads to hold.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE,
                   options.maxBytesPerSecond > 0 ? kLimitedReceiveBufferSize : kReceiveBufferSize);
  curl_easy_setopt(curl, CURLOPT_MAX_RECV_SPEED_LARGE, static_cast<curl_off_t>(options.maxBytesPerSecond));
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &response);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

  CURLcode code = curl_easy_perform(curl);
  if (ConnectFailed(curl, code)) {
    detail[0] = '\0';
    code = curl_easy_perform(curl);
  }
  if (code != CURLE_OK) {
    // Kept first: the reason names every byte held, the unfinished chunk's too.
    transfer.KeepReceived();
    // A refusal of our own (status, length, disk) is the better reason.
    if (result.reason.empty()) {
      result.reason = TransferProblem(curl, code, detail, options, result);
      end.transient = IsTransientTransfer(code);
    }
    return;
  }
  // An empty body never reaches OnBody; the status and length rules still apply.
  if (!transfer.Started() && !transfer.Start()) return;
  result.ok = transfer.Finish();
  end.transient = !result.ok && transfer.EndedShort();
}

// Attempts until the file is complete, a failure is not transient, or the
// retries are used up. A partial file is kept between attempts and after
// the last one when it can be resumed.
DownloadResult Download(const std::string& url, const std::string& localPath, platform::MessageTarget& window,
                        const DownloadOptions& options) {
  const PartialDownload part(localPath);
  bool startedOver = false;
  int retries = 0;
  for (int attempts = 1;; ++attempts) {
    AttemptStart start{url, part, 0, {}};
    if (options.resume) start.have = part.ResumableBytes(url, options.expected, start.meta);
    if (start.have == 0) part.DiscardMeta();
    DownloadResult result;
    AttemptEnd end;
    Attempt(url, localPath, window, options, start, result, end);
    result.attempts = attempts;
    if (result.ok) return result;
    // Bytes that the server would not go on from, or that turn out not to
    // be the file's, are dropped, once: the whole file is asked for.
    if (!startedOver && (end.resumeRefused || (end.resumed && result.contentMismatch))) {
      startedOver = true;
      part.Discard();
      continue;
    }
    if (!end.transient || retries >= options.retry.retries) {
      PartialMeta unused;
      if (!options.resume || end.writeFailed || part.ResumableBytes(url, options.expected, unused) == 0) {
        part.Discard();
      }
      return result;
    }
    ++retries;
    const std::chrono::milliseconds pause = options.retry.PauseBefore(retries, end.retryAfter);
    RetryNotice notice{RetryNotice::Phase::Pausing, retries, options.retry.retries, result.reason, pause};
    if (options.onRetry) options.onRetry(notice);
    std::this_thread::sleep_for(pause);
    notice.phase = RetryNotice::Phase::Starting;
    if (options.onRetry) options.onRetry(notice);
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
