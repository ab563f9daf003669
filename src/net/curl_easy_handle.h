#pragma once
// One libcurl easy handle per transfer, released on every path.
#include <curl/curl.h>

class CurlEasyHandle {
 public:
  // Initialises libcurl for the process on first use; get() is null when
  // no handle could be made.
  CurlEasyHandle();
  ~CurlEasyHandle();
  CurlEasyHandle(const CurlEasyHandle&) = delete;
  CurlEasyHandle& operator=(const CurlEasyHandle&) = delete;

  CURL* get() const { return handle_; }

 private:
  CURL* handle_;
};
