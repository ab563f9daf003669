#include "support/recording_http_server.h"

RecordingHttpServer::RecordingHttpServer() {
  // One handler for every path, so routes and bodies can be added while
  // the server runs.
  server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) { Answer(request, response); });
  // Clients that keep their connections (parallel downloads) keep them for
  // the whole test: httplib would close one after 5 requests.
  server_.set_keep_alive_max_count(100000);
  port_ = server_.bind_to_any_port("127.0.0.1");
  // Bound and listening: connections wait in the backlog until accepted.
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  while (!server_.is_running()) {
    std::this_thread::yield();
  }
}

RecordingHttpServer::~RecordingHttpServer() {
  server_.stop();
  thread_.join();
}

void RecordingHttpServer::Put(const std::string& path, const std::string& body, const std::string& contentType) {
  std::lock_guard<std::mutex> guard(lock_);
  bodies_[path] = Body{body, contentType};
}

void RecordingHttpServer::Route(const std::string& pattern, Handler handler) {
  std::lock_guard<std::mutex> guard(lock_);
  routes_.emplace_back(std::regex(pattern), std::move(handler));
}

std::string RecordingHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int RecordingHttpServer::Hits(const std::string& path) const {
  std::lock_guard<std::mutex> guard(lock_);
  int hits = 0;
  for (const httplib::Request& request : requests_) hits += request.path == path ? 1 : 0;
  return hits;
}

std::vector<httplib::Request> RecordingHttpServer::Requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

void RecordingHttpServer::Answer(const httplib::Request& received, httplib::Response& response) {
  httplib::Request request = received;
  Handler handler;
  {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.push_back(received);
    for (const auto& [pattern, routeHandler] : routes_) {
      if (std::regex_match(request.path, request.matches, pattern)) {
        handler = routeHandler;
        break;
      }
    }
    if (!handler) {
      const auto found = bodies_.find(request.path);
      if (found == bodies_.end()) {
        response.status = 404;
        return;
      }
      response.set_content(found->second.content, found->second.type);
      return;
    }
  }
  // Outside the lock: a route may take its time (a page that stalls).
  handler(request, response);
}
