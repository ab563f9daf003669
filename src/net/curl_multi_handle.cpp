#include "net/curl_multi_handle.h"

#include "net/curl_easy_handle.h"

CurlMultiHandle::CurlMultiHandle() : handle_(nullptr) {
  EnsureCurlLibrary();
  handle_ = curl_multi_init();
}

CurlMultiHandle::~CurlMultiHandle() {
  if (handle_ != nullptr) curl_multi_cleanup(handle_);
}
