#pragma once
// One libcurl multi handle, released on every path.
#include <curl/curl.h>

class CurlMultiHandle {
 public:
  // get() is null when no handle could be made.
  CurlMultiHandle();
  ~CurlMultiHandle();
  CurlMultiHandle(const CurlMultiHandle&) = delete;
  CurlMultiHandle& operator=(const CurlMultiHandle&) = delete;

  CURLM* get() const { return handle_; }

 private:
  CURLM* handle_;
};
