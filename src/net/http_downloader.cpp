#include "net/http_downloader.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
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

// The body of one download. libcurl hands the body over in pieces of its
// own size; they are gathered into 1 MiB chunks so that a chunk is what a
// blocking read of the whole transfer buffer would return: full chunks and
// one shorter last chunk. Each chunk is one step of the progress rule.
class BodyTransfer {
 public:
  BodyTransfer(CURL* curl, const std::string& localPath, platform::MessageTarget& window)
      : curl_(curl),
        localPath_(localPath),
        window_(window),
        reportProgress_(localPath.find(".xml") == std::string::npos) {}

  bool Started() const { return static_cast<bool>(file_); }

  // Called when the body begins (or the transfer ended without one): only
  // the final answer's status 200 opens the local file, and a length that
  // cannot be known fails after the file was created, leaving it empty.
  bool Start() {
    long status = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) return false;
    // Names from the documents may carry Windows forms (".\client.zip").
    file_ = ox_base::FileHandle::Open(ox_base::NativePath(localPath_), "wb");
    if (!file_) return false;
    // Writes go out in whole chunks already; stdio's buffer would only copy.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    curl_off_t length = -1;
    curl_easy_getinfo(curl_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length < 0) return false;
    length_ = static_cast<std::uint64_t>(length);
    buffer_.resize(kChunkSize);
    return true;
  }

  bool Append(const char* data, std::size_t size) {
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
    return file_.Close() && written_ == length_;
  }

 private:
  // A chunk's percentage is posted only once the next read has completed,
  // so it goes out when the following chunk (or the end) arrives.
  bool WriteChunk() {
    PostPendingProgress();
    if (std::fwrite(buffer_.data(), 1, used_, file_.get()) != used_) return false;
    written_ += used_;
    used_ = 0;
    pendingPercent_ = static_cast<int>(static_cast<double>(written_) * 100.0 / static_cast<double>(length_));
    return true;
  }

  void PostPendingProgress() {
    if (pendingPercent_ && reportProgress_) window_.PostMessage(platform::WM_DOWNLOAD_PROGRESS, 0, *pendingPercent_);
    pendingPercent_.reset();
  }

  CURL* curl_;
  const std::string& localPath_;
  platform::MessageTarget& window_;
  const bool reportProgress_;
  ox_base::FileHandle file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::uint64_t length_ = 0;
  std::uint64_t written_ = 0;
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

// Only a connect that failed is tried once more. A server that was reached
// and then failed or fell silent is not asked again: a stall would only
// double the wait.
bool ConnectFailed(CURL* curl, CURLcode result) {
  if (result == CURLE_COULDNT_CONNECT) return true;
  if (result != CURLE_OPERATION_TIMEDOUT) return false;
  curl_off_t connectTime = 0;
  curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
  return connectTime == 0;
}

bool Download(const std::string& url, const std::string& localPath, platform::MessageTarget& window,
              std::chrono::seconds stallLimit) {
  CurlEasyHandle handle;
  CURL* curl = handle.get();
  if (curl == nullptr) return false;

  // Caches and proxies must fetch from the origin: a stale server document
  // or archive would install the wrong version.
  HeaderList headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
  if (!headers || curl_slist_append(headers.get(), "Pragma: no-cache") == nullptr) return false;

  BodyTransfer transfer(curl, localPath, window);
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
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stallLimit.count()));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // Larger socket reads than libcurl's 16 KiB default: fewer calls per chunk.
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

  CURLcode result = curl_easy_perform(curl);
  if (ConnectFailed(curl, result)) result = curl_easy_perform(curl);
  if (result != CURLE_OK) return false;
  // An empty body never reaches OnBody; the status and length rules still apply.
  if (!transfer.Started() && !transfer.Start()) return false;
  return transfer.Finish();
}

}  // namespace

bool HttpDownloader::DownloadFile(const std::string& url, const std::string& localPath,
                                  platform::MessageTarget& window, std::chrono::seconds stallLimit) {
  try {
    return Download(url, localPath, window, stallLimit);
  } catch (...) {
    return false;
  }
}
