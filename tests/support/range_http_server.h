#pragma once
// A loopback HTTP server for downloads that go wrong on the way: it serves
// files with ETag/Last-Modified and byte ranges (Range, If-Range, 206, 416)
// and answers each request by the next fault queued for it: a body cut
// after N bytes (closed, left stalled, or held until the test lets it go on), a status such as 503 or 429 with
// Retry-After, a Range ignored, a wrong Content-Range, the file replaced
// once it was served. It counts the body bytes it sends. It closes each
// connection after one answer, or keeps it for the next request.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Which validators the server sends with a file.
struct ServedValidators {
  bool etag = true;
  bool lastModified = true;
};

class RangeHttpServer {
 public:
  using Validators = ServedValidators;

  // How one request is answered; the default serves the file as asked.
  struct Answer {
    int status = 0;          // answer with this status and a short page instead
    std::string retryAfter;  // sent with `status`
    std::optional<std::uint64_t> cutAfter;  // send this many body bytes, then ...
    bool stallAtCut = false;                // ... fall silent instead of closing
    bool holdAtCut = false;                 // ... send the rest once ReleaseHeld is called
    bool ignoreRange = false;               // 200 with the whole file
    bool wrongContentRange = false;         // 206 claiming the range starts at 0
    std::shared_ptr<const std::string> thenServe;  // the file changes after this answer
  };

  enum class Connections { CloseEach, KeepAlive };

  // KeepAlive answers with HTTP/1.1 and reads the next request on a
  // connection whose answer went out whole.
  explicit RangeHttpServer(Connections connections = Connections::CloseEach);
  ~RangeHttpServer();
  RangeHttpServer(const RangeHttpServer&) = delete;
  RangeHttpServer& operator=(const RangeHttpServer&) = delete;

  void Put(const std::string& path, std::shared_ptr<const std::string> content, Validators validators = {});
  void Put(const std::string& path, const std::string& content, Validators validators = {}) {
    Put(path, std::make_shared<const std::string>(content), validators);
  }
  // The next requests for `path` are answered so, in order; then normally.
  void Queue(const std::string& path, const Answer& answer);
  // Answers held at their cut go on to their end (and later ones are not held).
  void ReleaseHeld();

  std::string Url(const std::string& path) const;
  // Body bytes written to the network for `path` (200 and 206 answers).
  std::uint64_t BodyBytesSent(const std::string& path) const;
  // The request heads received for `path`, in order.
  std::vector<std::string> Requests(const std::string& path) const;

 private:
  struct File {
    std::shared_ptr<const std::string> content;
    Validators validators;
    int version = 0;
    std::string ETag() const;
    std::string LastModified() const;
  };

  // A new version of the file, with the validators it had.
  void Replace(const std::string& path, std::shared_ptr<const std::string> content);
  void Serve();
  void Handle(int connection);
  // Reads one request and answers it: true when the answer went out whole.
  bool Exchange(int connection);
  bool ServeFile(int connection, const std::string& path, const std::string& head, const Answer& answer);
  bool SendBody(int connection, const std::string& path, const std::string& content, std::uint64_t from,
                std::uint64_t count);

  const std::string version_;  // of the answers' status lines
  const bool keepAlive_;
  int listener_ = -1;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  bool released_ = false;
  std::map<std::string, File> files_;
  std::map<std::string, std::deque<Answer>> queued_;
  std::map<std::string, std::vector<std::string>> requests_;
  std::map<std::string, std::uint64_t> bodyBytes_;
  std::vector<int> connections_;
  std::vector<std::thread> handlers_;
  std::thread acceptor_;
};
