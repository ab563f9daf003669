#include "net/curl_easy_handle.h"

#include "net/curl_socket.h"

namespace {

// curl_global_init is not safe to race, and downloads start on several
// threads; a function-local static runs it exactly once.
struct CurlLibrary {
  CurlLibrary() { curl_global_init(CURL_GLOBAL_DEFAULT); }
  ~CurlLibrary() { curl_global_cleanup(); }
};

}  // namespace

void EnsureCurlLibrary() { static CurlLibrary library; }

CurlEasyHandle::CurlEasyHandle() : handle_(nullptr) {
  EnsureCurlLibrary();
  handle_ = curl_easy_init();
  if (handle_ != nullptr) KeepSocketsFromStartedPrograms(handle_);
}

CurlEasyHandle::~CurlEasyHandle() {
  if (handle_ != nullptr) curl_easy_cleanup(handle_);
}
