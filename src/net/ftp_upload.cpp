#include "net/ftp_upload.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "net/curl_easy_handle.h"

namespace {

constexpr const char* kUserName = "ftpft";
constexpr const char* kPassword = "qmzvkr";
// The upload runs once on the UI thread at start-up; an unreachable or
// silent server must not hold the window up for long.
constexpr long kConnectTimeoutMs = 5000;
constexpr long kStallLimitSeconds = 30;

struct UrlFree {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct TextFree {
  void operator()(char* text) const { curl_free(text); }
};

// The address is assembled part by part so that a server text carrying
// "/", "@" or ":" cannot redirect the upload elsewhere: it must be a host.
std::string FtpAddress(const std::string& server, const std::string& remoteName) {
  std::unique_ptr<CURLU, UrlFree> url(curl_url());
  if (!url) return {};
  std::string path = "/" + remoteName;
  if (curl_url_set(url.get(), CURLUPART_SCHEME, "ftp", 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_HOST, server.c_str(), 0) != CURLUE_OK ||
      curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) != CURLUE_OK) {
    return {};
  }
  char* text = nullptr;
  if (curl_url_get(url.get(), CURLUPART_URL, &text, 0) != CURLUE_OK) return {};
  std::unique_ptr<char, TextFree> owned(text);
  return text;
}

struct Upload {
  const std::vector<char>& bytes;
  std::size_t sent = 0;
};

std::size_t OnRead(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto& upload = *static_cast<Upload*>(user);
  return GuardCurlCallback<std::size_t>(CURL_READFUNC_ABORT, [&] {
    const std::size_t piece = std::min(size * count, upload.bytes.size() - upload.sent);
    if (piece > 0) std::memcpy(buffer, upload.bytes.data() + upload.sent, piece);
    upload.sent += piece;
    return piece;
  });
}

}  // namespace

bool UploadByFtp(const std::string& server, int port, const std::string& remoteName,
                 const std::vector<char>& bytes) {
  if (port < 0 || port > 65535) return false;
  std::string address = FtpAddress(server, remoteName);
  if (address.empty()) return false;
  CurlEasyHandle handle;
  CURL* curl = handle.get();
  if (curl == nullptr) return false;

  Upload upload{bytes};
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PORT, static_cast<long>(port));
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(curl, CURLOPT_USERNAME, kUserName);
  curl_easy_setopt(curl, CURLOPT_PASSWORD, kPassword);
  // A direct connection: the dump server is never reached through a proxy.
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  // No PORT command means passive mode.
  curl_easy_setopt(curl, CURLOPT_FTPPORT, nullptr);
  curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, OnRead);
  curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallLimitSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  return curl_easy_perform(curl) == CURLE_OK;
}
