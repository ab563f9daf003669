#pragma once
// A real HTTP server on loopback (cpp-httplib) for the tests' downloads,
// update sites and web pages: it serves what a test puts there, answers
// routes a test adds, and records every request it receives.
#include <httplib.h>

#include <functional>
#include <map>
#include <mutex>
#include <regex>
#include <string>
#include <thread>
#include <vector>

class RecordingHttpServer {
 public:
  // Answers a GET whose path matched a route; request.matches holds the
  // route's groups.
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

  // Listening on 127.0.0.1 (a free port) once constructed.
  RecordingHttpServer();
  ~RecordingHttpServer();
  RecordingHttpServer(const RecordingHttpServer&) = delete;
  RecordingHttpServer& operator=(const RecordingHttpServer&) = delete;

  // Serves `body` at `path` (e.g. "/servercfg.xml").
  void Put(const std::string& path, const std::string& body,
           const std::string& contentType = "application/octet-stream");
  // Answers GETs whose whole path matches `pattern`; routes are tried in
  // the order they were added, before the bodies put. Anything else is 404.
  void Route(const std::string& pattern, Handler handler);

  // The full address of a path on this server.
  std::string Url(const std::string& path) const;
  // How many requests the path has had (the query left out).
  int Hits(const std::string& path) const;
  // Every request received so far, in order.
  std::vector<httplib::Request> Requests() const;

 private:
  struct Body {
    std::string content;
    std::string type;
  };
  void Answer(const httplib::Request& request, httplib::Response& response);

  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  mutable std::mutex lock_;
  std::vector<std::pair<std::regex, Handler>> routes_;
  std::map<std::string, Body> bodies_;
  std::vector<httplib::Request> requests_;
};
