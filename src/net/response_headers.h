#pragma once
// The final answer's headers that resuming and retrying need, gathered by
// libcurl's header callback. libcurl hands over the headers of every answer
// (redirects too); a status line starts a new set.
#include <cstddef>
#include <cstdint>
#include <string>

struct ResponseHeaders {
  std::string etag;
  std::string lastModified;
  std::string contentRange;
  std::string retryAfter;
};

// CURLOPT_HEADERFUNCTION with a ResponseHeaders as its data.
std::size_t CollectResponseHeader(char* data, std::size_t size, std::size_t count, void* headers);

// "bytes FIRST-LAST/TOTAL" of a 206.
bool ParseContentRange(const std::string& value, std::uint64_t& first, std::uint64_t& last, std::uint64_t& total);
