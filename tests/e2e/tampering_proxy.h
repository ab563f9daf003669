#pragma once
// A hostile HTTP proxy between the launcher and its update site, as a
// hostile Wi-Fi or a rogue proxy setting puts one there: it passes every
// answer on from the site, but changes one byte of the file whose address
// ends in the tampered path.
#include <string>

#include "support/recording_http_server.h"

namespace e2e {

class TamperingProxy {
 public:
  // `tamperedPath` empty: an honest proxy.
  explicit TamperingProxy(std::string tamperedPath) : tamperedPath_(std::move(tamperedPath)) {
    // A proxy is asked for the whole address: "GET http://host:port/path".
    server_.Route("http://([^/]+)(/.*)", [this](const httplib::Request& request, httplib::Response& response) {
      httplib::Client origin("http://" + request.matches[1].str());
      const httplib::Result answer = origin.Get(request.matches[2].str());
      if (!answer) {
        response.status = 502;
        return;
      }
      std::string body = answer->body;
      if (!tamperedPath_.empty() && !body.empty() && EndsWith(request.matches[2].str(), tamperedPath_)) {
        body[body.size() / 2] = static_cast<char>(body[body.size() / 2] ^ 0x01);
      }
      response.status = answer->status;
      response.set_content(body, answer->get_header_value("Content-Type"));
    });
  }

  // The address to give the launcher as its http_proxy.
  std::string Url() const { return server_.Url(""); }

 private:
  static bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  }

  std::string tamperedPath_;
  RecordingHttpServer server_;
};

}  // namespace e2e
