#pragma once
// Downloads one web page for the console's web panel (libcurl, through
// net's shared handle).
#include <functional>
#include <string>

namespace frontends::console {

struct FetchedPage {
  bool received = false;  // a server answered with a document
  long status = 0;        // its HTTP status
  std::string contentType;
  std::string body;
  std::string error;  // why nothing was received, or the HTTP status
  // The address is not on the web (file:, data: ...): the page decides
  // which server the game connects to, and must not read local files.
  bool refused = false;
};

// Fetches `url` (http or https only) as a browser would: following redirects, any status
// answered with a document counts as received. `keepGoing` is asked during
// the transfer; returning false abandons it. Pages above 16 MiB are refused.
FetchedPage FetchPage(const std::string& url, const std::function<bool()>& keepGoing);

}  // namespace frontends::console
