#include "scripted_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "support/loopback_socket.h"

namespace {

bool SendAll(int fd, const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ScriptedHttpServer::ScriptedHttpServer(std::vector<std::string> parts, Then then)
    : parts_(std::move(parts)), then_(then) {
  listener_ = BindLoopbackSocket(16, port_);
  thread_ = std::thread([this] { Serve(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  shutdown(listener_, SHUT_RDWR);
  thread_.join();
  close(listener_);
}

std::string ScriptedHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ScriptedHttpServer::ReleaseNextPart() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++releasedParts_;
  }
  changed_.notify_all();
}

std::vector<std::string> ScriptedHttpServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void ScriptedHttpServer::Serve() {
  for (;;) {
    int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) return;  // shut down
    Answer(connection);
    close(connection);
  }
}

void ScriptedHttpServer::Answer(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(head.substr(0, head.find("\r\n\r\n") + 4));
  }
  for (std::size_t part = 0; part < parts_.size(); ++part) {
    if (!WaitForRelease(part) || !SendAll(connection, parts_[part])) return;
  }
  if (then_ == Then::Stall) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopping_; });
  } else if (then_ == Then::Reset) {
    // Closing with a zero linger time sends RST instead of FIN.
    linger abort{1, 0};
    setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  }
}

bool ScriptedHttpServer::WaitForRelease(std::size_t part) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || releasedParts_ > part; });
  return !stopping_;
}

UnansweredPort::UnansweredPort() {
  listener_ = BindLoopbackSocket(0, port_);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port_));
  // A backlog of 0 still queues one connection; the rest wait in SYN_SENT.
  for (int i = 0; i < 3; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    fcntl(fd, F_SETFL, O_NONBLOCK);
    connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(fd);
  }
}

UnansweredPort::~UnansweredPort() {
  for (int fd : fillers_) close(fd);
  close(listener_);
}

int RefusedPort() {
  int port = 0;
  close(BindLoopbackSocket(-1, port));
  return port;
}
