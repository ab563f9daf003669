#include "net/response_headers.h"

#include <cstdio>

#include "base/files/ox_letter_case.h"
#include "net/curl_easy_handle.h"

std::size_t CollectResponseHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& headers = *static_cast<ResponseHeaders*>(user);
  const std::size_t bytes = size * count;
  return GuardCurlCallback<std::size_t>(0, [&]() -> std::size_t {
    std::string line(data, bytes);
    if (line.rfind("HTTP/", 0) == 0) {
      headers = ResponseHeaders();
      return bytes;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) return bytes;
    const std::string name = ox_base::FoldLetterCase(line.substr(0, colon));
    const std::size_t begin = line.find_first_not_of(" \t", colon + 1);
    const std::size_t end = line.find_last_not_of(" \t\r\n");
    const std::string value = begin == std::string::npos || end < begin ? "" : line.substr(begin, end - begin + 1);
    if (name == "etag") headers.etag = value;
    else if (name == "last-modified") headers.lastModified = value;
    else if (name == "content-range") headers.contentRange = value;
    else if (name == "retry-after") headers.retryAfter = value;
    return bytes;
  });
}

bool ParseContentRange(const std::string& value, std::uint64_t& first, std::uint64_t& last, std::uint64_t& total) {
  unsigned long long a = 0, b = 0, c = 0;
  int consumed = 0;
  if (std::sscanf(value.c_str(), "bytes %llu-%llu/%llu%n", &a, &b, &c, &consumed) != 3 ||
      static_cast<std::size_t>(consumed) != value.size()) {
    return false;
  }
  first = a;
  last = b;
  total = c;
  return true;
}
