#include "frontends/console/page_fetch.h"

#include "net/curl_easy_handle.h"

namespace frontends::console {
namespace {

constexpr size_t kMaxPageBytes = 16 * 1024 * 1024;

struct Transfer {
  std::string body;
  bool tooLarge = false;
  const std::function<bool()>* keepGoing = nullptr;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  return GuardCurlCallback<size_t>(0, [&]() -> size_t {
    if (transfer->body.size() + bytes > kMaxPageBytes) {
      transfer->tooLarge = true;
      return 0;  // aborts the transfer
    }
    transfer->body.append(data, bytes);
    return bytes;
  });
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<Transfer*>(user);
  return GuardCurlCallback(1, [&] { return (*transfer->keepGoing)() ? 0 : 1; });
}

}  // namespace

FetchedPage FetchPage(const std::string& url, const std::function<bool()>& keepGoing) {
  FetchedPage page;
  // The shared handle: libcurl's one-time global set-up comes with it.
  const CurlEasyHandle curl;
  CURL* h = curl.get();
  if (h == nullptr) {
    page.error = "cannot start a transfer";
    return page;
  }
  Transfer transfer;
  transfer.keepGoing = &keepGoing;
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, 30L);
  // A server that stops sending for a minute has stopped.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

  CURLcode rc = curl_easy_perform(h);
  if (rc == CURLE_UNSUPPORTED_PROTOCOL) {
    page.refused = true;
    page.error = "refused: the panel shows only http and https pages";
    return page;
  }
  if (rc != CURLE_OK) {
    page.error = transfer.tooLarge ? "page larger than 16 MiB" : curl_easy_strerror(rc);
    return page;
  }
  page.received = true;
  page.body = std::move(transfer.body);
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &page.status);
  char* contentType = nullptr;
  if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType != nullptr) {
    page.contentType = contentType;
  }
  if (page.status >= 400) page.error = "HTTP status " + std::to_string(page.status);
  return page;
}

}  // namespace frontends::console
