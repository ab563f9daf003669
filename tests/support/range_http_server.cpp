#include "support/range_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "support/loopback_socket.h"

namespace {

bool SendAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The value of header `name` (given as "Name: ") in a request head.
std::string HeaderValue(const std::string& head, const std::string& name) {
  std::string lower = head;
  std::string key = "\r\n" + name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
  const std::size_t at = lower.find(key);
  if (at == std::string::npos) return {};
  const std::size_t begin = at + key.size();
  return head.substr(begin, head.find("\r\n", begin) - begin);
}

}  // namespace

std::string RangeHttpServer::File::ETag() const { return validators.etag ? "\"v" + std::to_string(version) + "\"" : ""; }

std::string RangeHttpServer::File::LastModified() const {
  return validators.lastModified ? "Tue, 01 Dec 2026 10:00:" + std::string(version < 10 ? "0" : "") +
                                       std::to_string(version % 60) + " GMT"
                                 : "";
}

RangeHttpServer::RangeHttpServer(Connections connections)
    : version_(connections == Connections::KeepAlive ? "HTTP/1.1 " : "HTTP/1.0 "),
      keepAlive_(connections == Connections::KeepAlive) {
  listener_ = BindLoopbackSocket(16, port_);
  acceptor_ = std::thread([this] { Serve(); });
}

RangeHttpServer::~RangeHttpServer() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    for (int connection : connections_) shutdown(connection, SHUT_RDWR);
  }
  stopped_.notify_all();
  shutdown(listener_, SHUT_RDWR);
  acceptor_.join();
  for (std::thread& handler : handlers_) handler.join();
  close(listener_);
}

void RangeHttpServer::Put(const std::string& path, std::shared_ptr<const std::string> content, Validators validators) {
  std::lock_guard<std::mutex> lock(mutex_);
  File& file = files_[path];
  file.content = std::move(content);
  file.validators = validators;
  file.version += 1;
}

void RangeHttpServer::Replace(const std::string& path, std::shared_ptr<const std::string> content) {
  std::lock_guard<std::mutex> lock(mutex_);
  File& file = files_[path];
  file.content = std::move(content);
  file.version += 1;
}

void RangeHttpServer::Queue(const std::string& path, const Answer& answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  queued_[path].push_back(answer);
}

std::string RangeHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::uint64_t RangeHttpServer::BodyBytesSent(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = bodyBytes_.find(path);
  return found == bodyBytes_.end() ? 0 : found->second;
}

std::vector<std::string> RangeHttpServer::Requests(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = requests_.find(path);
  return found == requests_.end() ? std::vector<std::string>() : found->second;
}

void RangeHttpServer::Serve() {
  for (;;) {
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) return;
    // A small send buffer keeps the count of bytes sent close to what the
    // client received when it goes away mid-body.
    const int sendBuffer = 256 * 1024;
    setsockopt(connection, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.push_back(connection);
    handlers_.emplace_back([this, connection] { Handle(connection); });
  }
}

void RangeHttpServer::Handle(int connection) {
  while (Exchange(connection) && keepAlive_) {
  }
  // The connection stays registered until the server goes: the destructor
  // shuts down what is still open.
  std::lock_guard<std::mutex> lock(mutex_);
  connections_.erase(std::remove(connections_.begin(), connections_.end(), connection), connections_.end());
  close(connection);
}

bool RangeHttpServer::Exchange(int connection) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos) {
    const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    head.append(buffer, static_cast<std::size_t>(n));
  }
  const std::size_t pathStart = head.find(' ') + 1;
  const std::string target = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
  const std::string path = target.substr(0, target.find('?'));
  Answer answer;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_[path].push_back(head);
    auto& queue = queued_[path];
    if (!queue.empty()) {
      answer = queue.front();
      queue.pop_front();
    }
  }
  bool whole = false;
  if (answer.status != 0) {
    const std::string page = "<html>status " + std::to_string(answer.status) + "</html>";
    std::string reply = version_ + std::to_string(answer.status) + " Fault\r\nContent-Length: " +
                        std::to_string(page.size()) + "\r\n";
    if (!answer.retryAfter.empty()) reply += "Retry-After: " + answer.retryAfter + "\r\n";
    reply += "\r\n" + page;
    whole = SendAll(connection, reply.data(), reply.size());
  } else {
    whole = ServeFile(connection, path, head, answer);
  }
  if (answer.thenServe) Replace(path, answer.thenServe);
  return whole;
}

bool RangeHttpServer::ServeFile(int connection, const std::string& path, const std::string& head,
                                const Answer& answer) {
  File file;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = files_.find(path);
    if (found == files_.end()) {
      const std::string reply = version_ + "404 Not Found\r\nContent-Length: 0\r\n\r\n";
      return SendAll(connection, reply.data(), reply.size());
    }
    file = found->second;
  }
  const std::string& content = *file.content;
  const std::uint64_t size = content.size();
  unsigned long long from = 0;
  const std::string range = HeaderValue(head, "Range: ");
  const std::string ifRange = HeaderValue(head, "If-Range: ");
  const bool sameFile = ifRange.empty() || ifRange == file.ETag() || ifRange == file.LastModified();
  const bool ranged = !answer.ignoreRange && sameFile && std::sscanf(range.c_str(), "bytes=%llu-", &from) == 1;
  std::string reply;
  if (ranged && from >= size) {
    reply = version_ + "416 Range Not Satisfiable\r\nContent-Range: bytes */" + std::to_string(size) +
            "\r\nContent-Length: 0\r\n\r\n";
    return SendAll(connection, reply.data(), reply.size());
  }
  if (!ranged) from = 0;
  if (ranged) {
    const std::uint64_t claimed = answer.wrongContentRange ? 0 : from;
    reply = version_ + "206 Partial Content\r\nContent-Range: bytes " + std::to_string(claimed) + "-" +
            std::to_string(size - 1) + "/" + std::to_string(size) + "\r\n";
  } else {
    reply = version_ + "200 OK\r\n";
  }
  reply += "Accept-Ranges: bytes\r\nContent-Length: " + std::to_string(size - from) + "\r\n";
  if (!file.ETag().empty()) reply += "ETag: " + file.ETag() + "\r\n";
  if (!file.LastModified().empty()) reply += "Last-Modified: " + file.LastModified() + "\r\n";
  reply += "\r\n";
  if (!SendAll(connection, reply.data(), reply.size())) return false;
  const std::uint64_t count = std::min<std::uint64_t>(size - from, answer.cutAfter.value_or(size));
  if (!SendBody(connection, path, content, from, count)) return false;
  if (!answer.cutAfter) return true;
  if (answer.stallAtCut || answer.holdAtCut) {
    std::unique_lock<std::mutex> lock(mutex_);
    stopped_.wait(lock, [&] { return stopping_ || (answer.holdAtCut && released_); });
    if (stopping_ || !answer.holdAtCut) return false;
  }
  return answer.holdAtCut && SendBody(connection, path, content, from + count, size - from - count);
}

void RangeHttpServer::ReleaseHeld() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
  }
  stopped_.notify_all();
}

bool RangeHttpServer::SendBody(int connection, const std::string& path, const std::string& content,
                               std::uint64_t from, std::uint64_t count) {
  constexpr std::uint64_t kPiece = 64 * 1024;
  for (std::uint64_t sent = 0; sent < count;) {
    const std::uint64_t piece = std::min(kPiece, count - sent);
    if (!SendAll(connection, content.data() + from + sent, piece)) return false;
    sent += piece;
    std::lock_guard<std::mutex> lock(mutex_);
    bodyBytes_[path] += piece;
  }
  return true;
}
