#pragma once
// A loopback port that takes connections and never answers them: a request
// to it stalls until the client gives up, or until the server goes away
// (its pending connections are then reset).
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "support/loopback_socket.h"

class SilentServer {
 public:
  SilentServer() {
    // The kernel completes the handshakes; nobody ever accepts them.
    listener_ = BindLoopbackSocket(64, port_);
  }
  ~SilentServer() { close(listener_); }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  int listener_ = -1;
  int port_ = 0;
};
