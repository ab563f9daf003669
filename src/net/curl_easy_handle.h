#pragma once
// One libcurl easy handle per transfer, released on every path; and the
// guard every libcurl callback body runs in.
#include <curl/curl.h>

// Initialises libcurl for the process, once, whichever thread comes first.
void EnsureCurlLibrary();

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

// Runs a callback's body for libcurl. Nothing may unwind through libcurl's
// C frames: an exception becomes `onException`, the answer that makes
// libcurl abort the transfer (0 bytes taken, a non-zero progress answer,
// CURL_READFUNC_ABORT).
template <typename Result, typename Body>
Result GuardCurlCallback(Result onException, const Body& body) noexcept {
  try {
    return body();
  } catch (...) {
    return onException;
  }
}
