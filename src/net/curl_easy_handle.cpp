#include "net/curl_easy_handle.h"

#ifndef _WIN32
#include <sys/socket.h>
#endif

namespace {

// curl_global_init is not safe to race, and downloads start on several
// threads; a function-local static runs it exactly once.
struct CurlLibrary {
  CurlLibrary() { curl_global_init(CURL_GLOBAL_DEFAULT); }
  ~CurlLibrary() { curl_global_cleanup(); }
};

#ifndef _WIN32
// A socket a child inherits outlives the transfer: a web panel process
// started during a crash dump upload kept its data connection open, so the
// server never saw the end of the file. (Windows starts programs with an
// explicit list of inherited handles.)
curl_socket_t OpenSocketClosedOnExec(void*, curlsocktype, curl_sockaddr* address) {
  return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}
#endif

}  // namespace

void EnsureCurlLibrary() { static CurlLibrary library; }

CurlEasyHandle::CurlEasyHandle() : handle_(nullptr) {
  EnsureCurlLibrary();
  handle_ = curl_easy_init();
#ifndef _WIN32
  if (handle_ != nullptr) curl_easy_setopt(handle_, CURLOPT_OPENSOCKETFUNCTION, OpenSocketClosedOnExec);
#endif
}

CurlEasyHandle::~CurlEasyHandle() {
  if (handle_ != nullptr) curl_easy_cleanup(handle_);
}
