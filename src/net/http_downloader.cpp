#include "net/http_downloader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "base/ox_file_handle.h"
#include "base/ox_path.h"
#include "net/curl_easy_handle.h"

namespace {

constexpr std::size_t kChunkSize = 0x100000;
constexpr long kConnectTimeoutMs = 2000;
constexpr long kMaxRedirects = 10;
constexpr long kReceiveBufferSize = 256 * 1024;
constexpr const char* kUserAgent = "farLaunch";

struct HeaderListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListFree>;

// The system's words for the error the last failed call left in errno.
std::string SystemError() { return std::error_code(errno, std::generic_category()).message(); }

// The body of one download. libcurl hands the body over in pieces of its
// own size; they are gathered into 1 MiB chunks so that a chunk is what a
// blocking read of the whole transfer buffer would return: full chunks and
// one shorter last chunk. Each chunk is one step of the progress rule.
class BodyTransfer {
 public:
  BodyTransfer(CURL* curl, const std::string& localPath, platform::MessageTarget& window,
               const DownloadOptions& options, DownloadResult& result)
      : curl_(curl),
        localPath_(localPath),
        window_(window),
        options_(options),
        result_(result),
        reportProgress_(localPath.find(".xml") == std::string::npos),
        check_(options.expected) {}

  bool Started() const { return static_cast<bool>(file_); }

  // Called when the body begins (or the transfer ended without one): only
  // the final answer's status 200 opens the local file, and a length that
  // cannot be known fails after the file was created, leaving it empty.
  bool Start() {
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &result_.httpStatus);
    if (result_.httpStatus != 200) return Fail("HTTP " + std::to_string(result_.httpStatus));
    // Names from the documents may carry Windows forms (".\client.zip").
    file_ = ox_base::FileHandle::Open(ox_base::NativePath(localPath_), "wb");
    if (!file_) return Fail("cannot create " + localPath_ + ": " + SystemError());
    // Writes go out in whole chunks already; stdio's buffer would only copy.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    curl_off_t length = -1;
    curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length < 0) return Fail("the server announced no length");
    result_.bytesExpected = static_cast<std::uint64_t>(length);
    if (TooLarge(*result_.bytesExpected)) {
      return Fail("larger than " + std::to_string(options_.maxBytes) + " bytes (" + std::to_string(length) +
                  " announced)");
    }
    if (std::string problem = check_.CheckLength(*result_.bytesExpected); !problem.empty()) {
      return Reject(std::move(problem));
    }
    buffer_.resize(kChunkSize);
    return true;
  }

  bool Append(const char* data, std::size_t size) {
    if (TooLarge(result_.bytesReceived + used_ + size)) {
      return Fail("larger than " + std::to_string(options_.maxBytes) + " bytes");
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
    if (!file_.Close()) return Fail(SystemError());
    if (result_.bytesReceived != result_.bytesExpected) {
      return Fail("the body ended after " + std::to_string(result_.bytesReceived) + " of " +
                  std::to_string(*result_.bytesExpected) + " bytes");
    }
    if (std::string problem = check_.Finish(); !problem.empty()) return Reject(std::move(problem));
    return true;
  }

 private:
  bool TooLarge(std::uint64_t bytes) const { return options_.maxBytes != 0 && bytes > options_.maxBytes; }

  bool Fail(std::string reason) {
    result_.reason = std::move(reason);
    return false;
  }

  // A file that is not the expected one must not be installed by anyone:
  // it goes at once.
  bool Reject(std::string reason) {
    file_.Close();
    std::remove(ox_base::NativePath(localPath_).c_str());
    result_.contentMismatch = true;
    return Fail(std::move(reason));
  }

  // A chunk's percentage is posted only once the next read has completed,
  // so it goes out when the following chunk (or the end) arrives.
  bool WriteChunk() {
    PostPendingProgress();
    if (std::fwrite(buffer_.data(), 1, used_, file_.get()) != used_) return Fail(SystemError());
    check_.Update(std::string_view(buffer_.data(), used_));
    result_.bytesReceived += used_;
    used_ = 0;
    pendingPercent_ = static_cast<int>(static_cast<double>(result_.bytesReceived) * 100.0 /
                                       static_cast<double>(*result_.bytesExpected));
    return true;
  }

  void PostPendingProgress() {
    if (pendingPercent_ && reportProgress_) window_.PostMessage(platform::WM_DOWNLOAD_PROGRESS, 0, *pendingPercent_);
    pendingPercent_.reset();
  }

  CURL* curl_;
  const std::string& localPath_;
  platform::MessageTarget& window_;
  const DownloadOptions& options_;
  DownloadResult& result_;
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
      problem = NothingReceived(curl) ? "no connection within " + std::to_string(kConnectTimeoutMs / 1000) + " seconds"
                                      : "no data for " + std::to_string(options.stallLimit.count()) + " seconds";
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

void Download(const std::string& url, const std::string& localPath, platform::MessageTarget& window,
              const DownloadOptions& options, DownloadResult& result) {
  CurlEasyHandle handle;
  CURL* curl = handle.get();
  if (curl == nullptr) {
    result.reason = "the HTTP client could not be set up";
    return;
  }

  // Caches and proxies must fetch from the origin: a stale server document
  // or archive would install the wrong version.
  HeaderList headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
  if (!headers || curl_slist_append(headers.get(), "Pragma: no-cache") == nullptr) {
    result.reason = "out of memory";
    return;
  }

  char detail[CURL_ERROR_SIZE] = "";
  BodyTransfer transfer(curl, localPath, window, options, result);
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
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
  // Larger socket reads than libcurl's 16 KiB default: fewer calls per chunk.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

  CURLcode code = curl_easy_perform(curl);
  if (ConnectFailed(curl, code)) {
    detail[0] = '\0';
    code = curl_easy_perform(curl);
  }
  if (code != CURLE_OK) {
    // A refusal of our own (status, length, disk) is the better reason.
    if (result.reason.empty()) result.reason = TransferProblem(curl, code, detail, options, result);
    return;
  }
  // An empty body never reaches OnBody; the status and length rules still apply.
  if (!transfer.Started() && !transfer.Start()) return;
  result.ok = transfer.Finish();
}

}  // namespace

DownloadResult HttpDownloader::DownloadFile(const std::string& url, const std::string& localPath,
                                            platform::MessageTarget& window, const DownloadOptions& options) {
  DownloadResult result;
  try {
    Download(url, localPath, window, options, result);
  } catch (const std::exception& exception) {
    result.ok = false;
    result.reason = exception.what();
  } catch (...) {
    result.ok = false;
    result.reason = "unexpected failure";
  }
  return result;
}
