#pragma once
// A loopback HTTP peer that misbehaves on purpose: it answers every
// connection with fixed bytes and then closes or falls silent, so that
// missing lengths, early closes and stalls can be produced exactly.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScriptedHttpServer {
 public:
  enum class Then { Close, Stall, Reset };

  // `parts` are sent in order; before each part after the first the server
  // waits for ReleaseNextPart(). After the last part it closes the
  // connection or keeps it open without sending until destroyed.
  ScriptedHttpServer(std::vector<std::string> parts, Then then);
  explicit ScriptedHttpServer(std::string response, Then then = Then::Close)
      : ScriptedHttpServer(std::vector<std::string>{std::move(response)}, then) {}
  ~ScriptedHttpServer();

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  void ReleaseNextPart();
  // The request heads received so far, each up to and including the blank line.
  std::vector<std::string> Requests();

 private:
  void Serve();
  void Answer(int connection);
  bool WaitForRelease(std::size_t part);

  std::vector<std::string> parts_;
  Then then_;
  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t releasedParts_ = 1;
  bool stopping_ = false;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A loopback port whose connects never complete: a listener with a full
// accept queue drops further SYNs, so the client's connect times out.
class UnansweredPort {
 public:
  UnansweredPort();
  ~UnansweredPort();
  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

// A loopback port with nothing listening: connects are refused.
int RefusedPort();
