#pragma once
// A well-behaved HTTP server on loopback (cpp-httplib) with the answers the
// download tests need, recording every request it receives.
#include <httplib.h>

#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

// Deterministic, non-repeating bytes of a given length.
inline std::string PatternBody(std::size_t size) {
  std::string body(size, '\0');
  std::mt19937 generator(static_cast<unsigned>(size));
  for (char& c : body) c = static_cast<char>(generator());
  return body;
}

class HttpTestPeer {
 public:
  HttpTestPeer() {
    // /file/N: N bytes of PatternBody with a known length.
    server_.Get(R"(/file/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
      Record(request);
      response.set_content(PatternBody(std::stoul(request.matches[1])), "application/octet-stream");
    });
    server_.Get(R"(/status/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
      Record(request);
      response.status = std::stoi(request.matches[1]);
      response.set_content("<html>no such file</html>", "text/html");
    });
    // /redirect/N?to=PATH: N redirects in a row, then PATH.
    server_.Get(R"(/redirect/(\d+))", [this](const httplib::Request& request, httplib::Response& response) {
      Record(request);
      int left = std::stoi(request.matches[1]);
      std::string target = request.get_param_value("to");
      response.set_redirect(left > 1 ? "/redirect/" + std::to_string(left - 1) + "?to=" + target : target);
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }

  ~HttpTestPeer() {
    server_.stop();
    thread_.join();
  }

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  std::vector<httplib::Request> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  void Record(const httplib::Request& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<httplib::Request> requests_;
};
