#pragma once
// The well-behaved HTTP server of the download tests, with the answers they
// need: sized bodies, any status, redirect chains.
#include <random>
#include <string>

#include "support/recording_http_server.h"

// Deterministic, non-repeating bytes of a given length.
inline std::string PatternBody(std::size_t size) {
  std::string body(size, '\0');
  std::mt19937 generator(static_cast<unsigned>(size));
  for (char& c : body) c = static_cast<char>(generator());
  return body;
}

class HttpTestPeer : public RecordingHttpServer {
 public:
  HttpTestPeer() {
    // /file/N: N bytes of PatternBody with a known length.
    Route(R"(/file/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(PatternBody(std::stoul(request.matches[1])), "application/octet-stream");
    });
    Route(R"(/status/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
      response.status = std::stoi(request.matches[1]);
      response.set_content("<html>no such file</html>", "text/html");
    });
    // /redirect/N?to=PATH: N redirects in a row, then PATH.
    Route(R"(/redirect/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
      int left = std::stoi(request.matches[1]);
      std::string target = request.get_param_value("to");
      response.set_redirect(left > 1 ? "/redirect/" + std::to_string(left - 1) + "?to=" + target : target);
    });
  }
};
